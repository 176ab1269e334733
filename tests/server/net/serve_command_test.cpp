// The real executable: `orvenda-server serve` as a child process, its options, its
// log file, and a clean stop on SIGTERM and SIGINT.
#include "net/serve_command.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <regex>
#include <tuple>

#include "server_rig.h"

extern char** environ;

namespace orvenda::server::test {
namespace {

TEST(ServeCommand, ParsesItsOptionsAndRefusesBadOnes) {
  struct Row {
    const char* what;
    std::vector<std::string> args;
    bool ok;
  };
  const std::vector<Row> rows = {
      {"only the database", {"--db", "x.db"}, true},
      {"every option",
       {"--db", "x.db", "--port", "1234", "--listen", "0.0.0.0", "--threads", "3",
        "--client-version", "2.1.7", "--idle-timeout", "60", "--login-attempts", "9"},
       true},
      {"no database", {"--port", "1001"}, false},
      {"port too large", {"--db", "x.db", "--port", "65536"}, false},
      {"option without value", {"--db", "x.db", "--port"}, false},
      {"unknown option", {"--db", "x.db", "--colour", "red"}, false},
      {"version with two parts", {"--db", "x.db", "--client-version", "2.1"}, false},
      {"zero timeout", {"--db", "x.db", "--idle-timeout", "0"}, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    std::string error;
    const auto o = ParseServeArgs(row.args, error);
    EXPECT_EQ(o.has_value(), row.ok) << error;
  }
  std::string error;
  const auto o = ParseServeArgs(rows[1].args, error);
  ASSERT_TRUE(o);
  const ServerConfig& c = o->config;
  EXPECT_EQ(std::tie(c.port, c.listen, c.threads, c.loginAttempts),
            std::tuple(1234, "0.0.0.0", 3, 9));
  EXPECT_EQ(
      std::tuple(c.requiredVersion.major, c.requiredVersion.minor, c.requiredVersion.revision),
      std::tuple(2, 1, 7));
  EXPECT_EQ(c.idleTimeout, std::chrono::seconds(60));
}

// The child's exit code once it has ended (128 after a signal); -1, and killed, when it
// does not end within a generous bound.
int ExitCode(pid_t pid) {
  int status = 0;
  if (WaitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }))
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  return -1;
}

TEST(ServeCommand, RealExecutableServesAndStopsCleanlyOnSignals) {
  for (const int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    TempDir dir;
    OpenStore(dir / "map.db")->AddUser("ana", "not a hash", false);
    const std::string db = (dir / "map.db").string(), log = (dir / "server.log").string();
    std::vector<std::string> args = {ORVENDA_SERVER_EXE, "serve", "--db",  db,
                                     "--port",           "0",     "--log", log};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, ORVENDA_SERVER_EXE, nullptr, nullptr, argv.data(), environ), 0);

    // The log says where it listens.
    std::smatch match;
    const std::regex listening("listening on 127\\.0\\.0\\.1:([0-9]+)");
    std::string text;
    ASSERT_TRUE(WaitFor([&] { return std::regex_search(text = ReadFile(log), match, listening); }))
        << text;
    ProtocolClient c(static_cast<std::uint16_t>(std::stoi(match[1].str())));
    EXPECT_TRUE(Ask(c, CellRequest(1, {1, 1}), 102));
    ::kill(pid, signal);
    EXPECT_TRUE(c.ClosedByServer());
    EXPECT_EQ(ExitCode(pid), 0);
    text = ReadFile(log);
    EXPECT_NE(text.find("connected"), std::string::npos) << text;
    EXPECT_NE(text.find("refused grid cell (2): no map open"), std::string::npos) << text;
    EXPECT_NE(text.find("stopped"), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace orvenda::server::test
