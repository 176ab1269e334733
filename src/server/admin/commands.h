// Subcommand dispatch of orvenda-server. Kept apart from main() so that tests run the
// commands in-process with their own streams.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace orvenda::server {

// Exit codes of every subcommand.
enum ExitCode : int {
  kExitOk = 0,
  kExitFailure = 1,   // the operation failed (database, import source...)
  kExitUsage = 2,     // bad command line
  kExitNotFound = 3,  // unknown user, map or layer
  kExitInvalid = 4,   // a value out of range (access level, zoom, colour...)
};

struct CommandIo {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
};

struct CommandEntry {
  const char* name;
  const char* summary;
  int (*run)(const std::vector<std::string>& args, CommandIo& io);  // args after the name
};

// The table of subcommands (commands.cpp); the network loop adds its "serve" row there.
const std::vector<CommandEntry>& CommandTable();

// args[0] is the subcommand name.
int RunCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
               std::ostream& err);

}  // namespace orvenda::server
