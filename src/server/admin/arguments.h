// Command-line arguments of the administration commands: positional words and
// "--name value" / "--flag" options, with checked conversions. A mistake throws
// CommandError with the exit code that the command returns.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "admin/commands.h"
#include "store/store.h"

namespace orvenda::server {

class CommandError : public std::runtime_error {
 public:
  CommandError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
  int Code() const { return code_; }

 private:
  int code_;
};

class Arguments {
 public:
  // `valued` names the options that take a value; `flags` those that do not. Any
  // other "--word" is a usage error. Repeated valued options keep every value. A
  // command that takes --db also takes --pg (see OpenDatabase).
  Arguments(const std::vector<std::string>& args, const std::set<std::string>& valued,
            const std::set<std::string>& flags);

  const std::vector<std::string>& Positional() const { return positional_; }
  // The positional word at `i`, or a usage error naming `what`.
  const std::string& Word(std::size_t i, const char* what) const;
  void ExpectWords(std::size_t n) const;  // usage error when more are given

  bool Flag(const std::string& name) const { return flags_.count(name) != 0; }
  std::optional<std::string> Value(const std::string& name) const;
  std::vector<std::string> Values(const std::string& name) const;

 private:
  std::vector<std::string> positional_;
  std::set<std::string> flags_;
  std::multimap<std::string, std::string> values_;
};

// Conversions; `what` names the value in the error message (exit code kExitInvalid).
std::int64_t ParseInteger(const std::string& text, const char* what, std::int64_t lo,
                          std::int64_t hi);
double ParseNumber(const std::string& text, const char* what);
// Decimal Windows colour value (red in the low byte) or #RRGGBB.
std::int32_t ParseColor(const std::string& text, const char* what);
// "A,B,..." into exactly n parts.
std::vector<std::string> SplitList(const std::string& text, std::size_t n, const char* what);
AccessLevel ParseAccessLevel(const std::string& text);

// The database named by --db PATH (SQLite) or --pg CONNINFO (PostgreSQL); one of them
// is required.
std::unique_ptr<Store> OpenDatabase(const Arguments& args);

}  // namespace orvenda::server
