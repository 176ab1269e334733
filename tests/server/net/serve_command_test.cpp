// The real executable: `orvenda-server serve` as a child process, its log file, and a
// clean stop on SIGTERM and SIGINT.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <regex>

#include "server_rig.h"

extern char** environ;

namespace orvenda::server::test {
namespace {

TEST(ServeCommand, RealExecutableServesAndStopsCleanlyOnSignals) {
  for (const int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    TempDir dir;
    OpenStore(dir / "map.db");
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
    // It ends by itself within a generous bound, and is killed when it does not.
    int status = 0;
    const bool ended = WaitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; });
    if (!ended) ::kill(pid, SIGKILL);
    EXPECT_TRUE(ended && WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    text = ReadFile(log);
    EXPECT_NE(text.find("stopped"), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace orvenda::server::test
