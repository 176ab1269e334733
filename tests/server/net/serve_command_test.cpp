// The real executable: `orvenda-server serve` as a child process, its log file, and a
// clean stop on SIGTERM and SIGINT.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include "server_rig.h"

namespace orvenda::server::test {
namespace {

TEST(ServeCommand, RealExecutableServesAndStopsCleanlyOnSignals) {
  for (const int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    TempDir dir;
    OpenStore(dir / "map.db");
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

}  // namespace
}  // namespace orvenda::server::test
