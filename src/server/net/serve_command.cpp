#include "net/serve_command.h"

#include <algorithm>
#include <asio/io_context.hpp>
#include <asio/signal_set.hpp>
#include <charconv>
#include <csignal>
#include <fstream>
#include <iostream>
#include <thread>

#include "admin/commands.h"
#include "net/server.h"
#include "store/site_copy.h"

namespace orvenda::server {
namespace {

constexpr const char* kUsage =
    "usage: orvenda-server serve [--config FILE] --db PATH | --pg CONNINFO\n"
    "  [--port N (1001; 0 picks a free one)]\n"
    "  [--listen ADDR (127.0.0.1)] [--threads N (2)] [--log FILE] [--max-connections N (256)]\n"
    "  [--max-message BYTES (1048576)] [--idle-timeout S (1800)] [--handshake-timeout S (30)]\n"
    "  [--send-timeout S (60)] [--session-lifetime S (43200)] [--client-version X.Y.Z (1.0.0)]\n"
    "  [--login-attempts N (5): failed logins per account in the window]\n"
    "  [--login-address-attempts N (30): failed logins per address in the window]\n"
    "  [--login-window S (60)] [--max-logins N (8): password checks under way]\n"
    "  [--max-logins-per-address N (2)] [--password-threads N (2)] [--check-config]\n"
    "A --config FILE sets any of these, one a line as `name = value` (the name without\n"
    "its dashes; # starts a comment); options on the command line override it.\n"
    "--check-config reads and judges the options, then ends without serving.\n";

template <typename T>
bool ToNumber(const std::string& text, T& out, T min, T max) {
  T value{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size() || value < min || value > max) {
    return false;
  }
  out = value;
  return true;
}

bool Seconds(const std::string& text, std::chrono::milliseconds& out) {
  long long s = 0;
  if (!ToNumber<long long>(text, s, 1, 10LL * 365 * 24 * 3600)) return false;
  out = std::chrono::seconds(s);
  return true;
}

bool Version(const std::string& text, ClientVersion& v) {
  const auto a = text.find('.');
  const auto b = a == std::string::npos ? a : text.find('.', a + 1);
  if (b == std::string::npos) return false;
  return ToNumber<std::int16_t>(text.substr(0, a), v.major, 0, 32767) &&
         ToNumber<std::int16_t>(text.substr(a + 1, b - a - 1), v.minor, 0, 32767) &&
         ToNumber<std::int16_t>(text.substr(b + 1), v.revision, 0, 32767);
}

// Applies one option with its value; false for a bad value.
bool Apply(ServeOptions& o, const std::string& name, const std::string& value) {
  ServerConfig& c = o.config;
  if (name == "--db") return !(o.db = value).empty();
  if (name == "--pg") return !(o.pg = value).empty();
  if (name == "--listen") return !(c.listen = value).empty();
  if (name == "--log") return !(c.logFile = value).empty();
  if (name == "--port") return ToNumber<std::uint16_t>(value, c.port, 0, 65535);  // 0: any
  if (name == "--threads") return ToNumber(value, c.threads, 1, 64);
  if (name == "--max-connections") return ToNumber(value, c.maxConnections, 1, 100000);
  if (name == "--max-message") return ToNumber(value, c.maxMessage, 64, 256 * 1024 * 1024);
  if (name == "--idle-timeout") return Seconds(value, c.idleTimeout);
  if (name == "--handshake-timeout") return Seconds(value, c.handshakeTimeout);
  if (name == "--send-timeout") return Seconds(value, c.sendTimeout);
  if (name == "--session-lifetime") return Seconds(value, c.sessionLifetime);
  if (name == "--login-window") return Seconds(value, c.login.window);
  if (name == "--login-attempts") return ToNumber(value, c.login.accountAttempts, 1, 1000);
  if (name == "--login-address-attempts")
    return ToNumber(value, c.login.addressAttempts, 1, 100000);
  if (name == "--max-logins") return ToNumber(value, c.login.inProgress, 1, 10000);
  if (name == "--max-logins-per-address")
    return ToNumber(value, c.login.inProgressPerAddress, 1, 10000);
  if (name == "--password-threads") return ToNumber(value, c.passwordThreads, 1, 64);
  if (name == "--client-version") return Version(value, c.requiredVersion);
  return false;
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Applies the settings of a configuration file; false with the line's number and
// what is wrong with it.
bool ApplyFile(ServeOptions& o, const std::string& path, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot read the configuration file " + path;
    return false;
  }
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    line = Trimmed(line.substr(0, line.find('#')));
    if (line.empty()) continue;
    const auto equals = line.find('=');
    const std::string name = Trimmed(line.substr(0, equals));
    const std::string value = equals == std::string::npos ? "" : Trimmed(line.substr(equals + 1));
    const std::string where = path + ":" + std::to_string(number) + ": ";
    if (equals == std::string::npos || name.empty() || name[0] == '-' || name == "config") {
      error = where + "expected `name = value`, not \"" + line + "\"";
      return false;
    }
    if (!Apply(o, "--" + name, value)) {
      error = where + "unknown setting or bad value: " + name + " = " + value;
      return false;
    }
  }
  return true;
}

}  // namespace

std::optional<ServeOptions> ParseServeArgs(const std::vector<std::string>& args,
                                           std::string& error) {
  ServeOptions o;
  // The file first, wherever the option stands, so that the command line overrides it.
  for (std::size_t i = 0; i + 1 < args.size(); i += 2) {
    if (args[i] == "--config" && !ApplyFile(o, args[i + 1], error)) return std::nullopt;
  }
  for (std::size_t i = 0; i < args.size(); i += 2) {
    if (i + 1 >= args.size()) {
      error = "option " + args[i] + " needs a value";
      return std::nullopt;
    }
    if (args[i] == "--config") continue;
    if (!Apply(o, args[i], args[i + 1])) {
      error = "bad option or value: " + args[i] + " " + args[i + 1];
      return std::nullopt;
    }
  }
  if (o.db.empty() == o.pg.empty()) {
    error = "one of --db PATH and --pg CONNINFO is required";
    return std::nullopt;
  }
  return o;
}

int RunServe(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    out << kUsage;
    return kExitOk;
  }
  // --check-config, as sshd -t: the options read and judged, nothing served.
  std::vector<std::string> words = args;
  const auto check = std::find(words.begin(), words.end(), "--check-config");
  const bool checkOnly = check != words.end();
  if (checkOnly) words.erase(check);
  std::string error;
  const auto options = ParseServeArgs(words, error);
  if (!options) {
    err << "orvenda-server serve: " << error << "\n" << (checkOnly ? "" : kUsage);
    return kExitUsage;
  }
  if (checkOnly) {
    out << "configuration ok: database " << (options->pg.empty() ? options->db : "PostgreSQL")
        << ", " << options->config.listen << ":" << options->config.port << "\n";
    return kExitOk;
  }
  // Beyond a file size limit (ulimit -f, a quota) a write fails with EFBIG, and the
  // store refuses that write as on a full disk; the signal would end the whole server.
  std::signal(SIGXFSZ, SIG_IGN);
  ServerLog log(options->config.logFile, err);
  if (!log.Ok()) {
    err << "orvenda-server serve: cannot open log file " << options->config.logFile << "\n";
    return kExitFailure;
  }
  try {
    // The signal set exists before any thread starts, so no thread misses the signals.
    asio::io_context signals;
    asio::signal_set set(signals, SIGINT, SIGTERM);
    // The store factory: each thread of the server opens its own connection.
    const std::string at = options->pg.empty() ? options->db : "pg:" + options->pg;
    OpenStoreAt(at);  // fail early, before binding, when the database cannot be opened
    Server server(
        options->config, [at] { return OpenStoreAt(at).store; }, log);
    set.async_wait([&](const asio::error_code& ec, int signal) {
      if (!ec) log.Line("signal " + std::to_string(signal) + " received");
      server.Stop();
    });
    server.Start();
    signals.run();
    server.Wait();
    log.Line("stopped");
    return kExitOk;
  } catch (const std::exception& e) {
    log.Line(std::string("cannot serve: ") + e.what());
    return kExitFailure;
  }
}

}  // namespace orvenda::server
