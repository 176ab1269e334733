// The real executable: `orvenda-server serve` as a child process, its log file, and a
// clean stop on SIGTERM and SIGINT.
#include "net/serve_command.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <fstream>

#include "server_rig.h"

namespace orvenda::server::test {
namespace {

TEST(ServeCommand, RealExecutableServesAndStopsCleanlyOnSignals) {
  for (const int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    TempDir dir;
    OpenTestStore(dir / "map.db");
    ServeChild server(ORVENDA_SERVER_EXE, dir / "map.db", dir / "server.log");
    ASSERT_NE(server.Port(), 0) << ReadFile(dir / "server.log");
    ProtocolClient c(server.Port());
    EXPECT_TRUE(Ask(c, CellRequest(1, {1, 1}), 102));
    // It ends by itself within a generous bound, and is killed when it does not.
    const auto status = server.Stop(signal);
    EXPECT_TRUE(c.ClosedByServer());
    EXPECT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << status.value_or(-1);
    const std::string text = ReadFile(dir / "server.log");
    EXPECT_NE(text.find("stopped"), std::string::npos) << text;
  }
}

// A configuration file sets what the flags set, the command line wins, and a bad line
// is told by its number.
TEST(ServeCommand, ConfigurationFileUnderTheCommandLine) {
  TempDir dir;
  const auto write = [&](const std::string& text) {
    std::ofstream(dir / "server.conf") << text;
    return (dir / "server.conf").string();
  };
  const std::string good = write(
      "# a site\ndb = /var/lib/orvenda/map.db\n\nport=2001  # ours\n"
      "threads = 4\nlogin-window = 90\n");
  std::string error;
  const auto o = ParseServeArgs({"--threads", "3", "--config", good}, error);
  ASSERT_TRUE(o) << error;
  EXPECT_EQ(o->db, "/var/lib/orvenda/map.db");
  EXPECT_EQ(o->config.port, 2001);
  EXPECT_EQ(o->config.threads, 3) << "the command line overrides the file";
  EXPECT_EQ(o->config.login.window, std::chrono::seconds(90));

  const std::pair<std::string, std::string> bad[] = {
      {"db = x\nthreads = 0\n", ":2: unknown setting or bad value: threads = 0"},
      {"db = x\n\ncolour = red\n", ":3: unknown setting or bad value: colour = red"},
      {"--port = 3\n", ":1: expected `name = value`"},
      {"port 3\n", ":1: expected `name = value`"},
      {"config = other.conf\n", ":1: expected `name = value`"},
      {"db = x\npg = dbname=orvenda\n", "one of --db PATH and --pg CONNINFO"},
      {"port = 3\n", "one of --db PATH and --pg CONNINFO"},
  };
  for (const auto& [text, why] : bad) {
    EXPECT_FALSE(ParseServeArgs({"--config", write(text)}, error)) << text;
    EXPECT_NE(error.find(why), std::string::npos) << error;
  }
  EXPECT_EQ(ParseServeArgs({"--pg", "host=db dbname=orvenda"}, error).value().pg,
            "host=db dbname=orvenda");
  EXPECT_FALSE(ParseServeArgs({"--config", (dir / "missing.conf").string()}, error));
  EXPECT_NE(error.find("cannot read"), std::string::npos) << error;
}

}  // namespace
}  // namespace orvenda::server::test
