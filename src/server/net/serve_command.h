#pragma once
// `orvenda-server serve --db PATH | --pg CONNINFO [options]`: runs the map server
// until SIGINT or SIGTERM.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "net/server_config.h"

namespace orvenda::server {

// The options of the serve command; nothing and a message in `error` for a bad line.
struct ServeOptions {
  std::string db;
  std::string pg;  // a libpq connection string; the SQLite file `db` when empty
  ServerConfig config;
};
std::optional<ServeOptions> ParseServeArgs(const std::vector<std::string>& args,
                                           std::string& error);

// args are the words after "serve". Returns the process exit code.
int RunServe(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// One line for the program's usage text.
inline constexpr const char* kServeSummary =
    "--db PATH | --pg CONNINFO [--port N] [--listen ADDR] [--log FILE] ...  serve maps";

}  // namespace orvenda::server
