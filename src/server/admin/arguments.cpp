#include "admin/arguments.h"

#include <charconv>
#include <cmath>

#include "store/site_copy.h"

namespace orvenda::server {

Arguments::Arguments(const std::vector<std::string>& args, const std::set<std::string>& valued,
                     const std::set<std::string>& flags) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() < 3 || a.compare(0, 2, "--") != 0) {
      positional_.push_back(a);
      continue;
    }
    const std::string name = a.substr(2);
    if (flags.count(name)) {
      flags_.insert(name);
    } else if (valued.count(name) || (name == "pg" && valued.count("db"))) {
      if (i + 1 >= args.size()) throw CommandError(kExitUsage, "option " + a + " needs a value");
      values_.emplace(name, args[++i]);
    } else {
      throw CommandError(kExitUsage, "unknown option " + a);
    }
  }
}

const std::string& Arguments::Word(std::size_t i, const char* what) const {
  if (i >= positional_.size()) throw CommandError(kExitUsage, std::string("missing ") + what);
  return positional_[i];
}

void Arguments::ExpectWords(std::size_t n) const {
  if (positional_.size() > n)
    throw CommandError(kExitUsage, "unexpected argument '" + positional_[n] + "'");
}

std::optional<std::string> Arguments::Value(const std::string& name) const {
  auto it = values_.find(name);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

std::vector<std::string> Arguments::Values(const std::string& name) const {
  std::vector<std::string> out;
  auto [b, e] = values_.equal_range(name);
  for (auto it = b; it != e; ++it) out.push_back(it->second);
  return out;
}

std::int64_t ParseInteger(const std::string& text, const char* what, std::int64_t lo,
                          std::int64_t hi) {
  std::int64_t v = 0;
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || p != text.data() + text.size() || text.empty())
    throw CommandError(kExitInvalid,
                       std::string(what) + " must be a whole number, not '" + text + "'");
  if (v < lo || v > hi)
    throw CommandError(kExitInvalid, std::string(what) + " must be from " + std::to_string(lo) +
                                         " to " + std::to_string(hi));
  return v;
}

double ParseNumber(const std::string& text, const char* what) {
  double v = 0;
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || p != text.data() + text.size() || text.empty() || !std::isfinite(v))
    throw CommandError(kExitInvalid, std::string(what) + " must be a number, not '" + text + "'");
  return v;
}

std::int32_t ParseColor(const std::string& text, const char* what) {
  if (!text.empty() && text[0] == '#') {
    std::uint32_t rgb = 0;
    auto [p, ec] = std::from_chars(text.data() + 1, text.data() + text.size(), rgb, 16);
    if (text.size() != 7 || ec != std::errc() || p != text.data() + text.size())
      throw CommandError(kExitInvalid, std::string(what) + " must be #RRGGBB or a number");
    // Windows colour values hold red in the low byte.
    const std::uint32_t r = rgb >> 16, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return static_cast<std::int32_t>(r | (g << 8) | (b << 16));
  }
  return static_cast<std::int32_t>(ParseInteger(text, what, 0, 0xFFFFFF));
}

std::vector<std::string> SplitList(const std::string& text, std::size_t n, const char* what) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const auto comma = text.find(',', start);
    parts.push_back(text.substr(start, comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (parts.size() != n)
    throw CommandError(kExitInvalid, std::string(what) + " needs " + std::to_string(n) +
                                         " comma-separated values, not '" + text + "'");
  return parts;
}

AccessLevel ParseAccessLevel(const std::string& text) {
  static const std::map<std::string, AccessLevel> names = {{"none", AccessLevel::NoAccess},
                                                           {"viewer", AccessLevel::Viewer},
                                                           {"editor", AccessLevel::Editor},
                                                           {"draw", AccessLevel::Draw}};
  if (auto it = names.find(text); it != names.end()) return it->second;
  if (text.size() == 1 && text[0] >= '0' && text[0] <= '3')
    return static_cast<AccessLevel>(text[0] - '0');
  throw CommandError(kExitInvalid,
                     "access level must be 0-3 or none, viewer, editor, draw, not '" + text + "'");
}

std::unique_ptr<Store> OpenDatabase(const Arguments& args) {
  auto db = args.Value("db");
  auto pg = args.Value("pg");
  if (db && pg) throw CommandError(kExitUsage, "give --db PATH or --pg CONNINFO, not both");
  if (pg) return OpenStoreAt("pg:" + *pg).store;
  if (!db) throw CommandError(kExitUsage, "missing --db PATH (or --pg CONNINFO)");
  return OpenStore(*db);
}

}  // namespace orvenda::server
