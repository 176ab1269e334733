// Two real server programs on one PostgreSQL database: a handle issued by one opens
// the map on the other, an edit through either reaches the viewers of both once, a
// feed whose database connection was cut catches up with what was stored meanwhile,
// the viewers of a killed process go on through the other, and a process whose
// database connections are all cut refuses what meets the loss and goes on.
#include <gtest/gtest.h>
#include <signal.h>

#include <regex>

#include "protocol/editmessages.h"
#include "server_rig.h"

namespace orvenda::server::test {
namespace {

// The next message of `c`, which must be a 250; its operation and element.
std::pair<int, std::int32_t> NextChange(ProtocolClient& c) {
  auto m = c.Receive();
  if (!m || ProtocolClient::CodeOf(*m) != 250) return {-1, -1};
  const LayerChange change = ReadLayerChange(*m);
  return {change.operation, change.elementId};
}

// The database backend of the process's change feed, from its latest log line.
int FeedBackend(const std::filesystem::path& log) {
  const std::string text = ReadFile(log);
  const std::regex line("database backend ([0-9]+)");
  int pid = 0;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), line); it != std::sregex_iterator();
       ++it)
    pid = std::stoi((*it)[1].str());
  return pid;
}

TEST(SharedSite, TwoProcessesShareHandlesAndEditsAndOneGoesOnWhenTheOtherDies) {
  if (!TestingPostgres()) GTEST_SKIP() << "several processes share only a PostgreSQL database";
  TempDir dir;
  const auto db = dir / "map.db";
  const TestData d = BuildTestDatabase(db);
  OpenTestStore(db)->SetAccess(d.ana, d.roads, AccessLevel::Draw);
  OpenTestStore(db)->SetAccess(d.bob, d.roads, AccessLevel::Viewer);
  auto first = std::make_unique<ServeChild>(ORVENDA_SERVER_EXE, db, dir / "first.log");
  ServeChild second(ORVENDA_SERVER_EXE, db, dir / "second.log");
  ASSERT_NE(first->Port(), 0);
  ASSERT_NE(second.Port(), 0);

  // Each logs in on the first process; bob's handle opens the map on the second.
  const std::int32_t anaHandle = Login(first->Port(), "ana", "secreta");
  auto ana = std::make_unique<ProtocolClient>(first->Port());
  ASSERT_EQ(OpenMap(*ana, anaHandle, TestData::kMap), 0);
  ProtocolClient bob(second.Port());
  ASSERT_EQ(OpenMap(bob, Login(first->Port(), "bob", "bobpass"), TestData::kMap), 0);
  EXPECT_NE(OpenMap(bob, 12345, TestData::kMap), 0) << "an unknown handle is refused";

  const std::vector<::orvenda::Point> line = {{-100.3, 25.0}, {-100.2, 25.1}};
  const std::vector<std::string> values = {"Morelos", "1", "2.5", "3"};
  auto newRoad = [&] { return WriteNewElement({206, d.roads, {}, line, 0.5f, 0.5f, values}); };
  auto renumber = [&](std::int32_t element, const char* lanes) {
    return WriteValuesEdit({d.roads, {}, element, {"Morelos", "1", "2.5", lanes}});
  };
  auto expectOnce = [&](ProtocolClient& c, std::pair<int, std::int32_t> change) {
    EXPECT_EQ(NextChange(c), change);
    // The next message answers a request: the change came once.
    EXPECT_TRUE(Ask(c, CellRequest(d.places, {1157, 797}), 102));
  };

  ASSERT_TRUE(ana->Send(newRoad().buffer()));
  expectOnce(*ana, {1, 5});
  expectOnce(bob, {1, 5});

  // The second process's feed loses its connection; what is stored before it listens
  // again reaches bob from the log.
  const int backend = FeedBackend(dir / "second.log");
  ASSERT_GT(backend, 0);
  ExecSql(db, "SELECT pg_terminate_backend(" + std::to_string(backend) + ")");
  ASSERT_TRUE(ana->Send(renumber(5, "4").buffer()));
  for (ProtocolClient* c : {ana.get(), &bob}) {
    EXPECT_EQ(NextChange(*c), std::pair(3, 5));
    EXPECT_EQ(NextChange(*c), std::pair(5, 5));  // its cells' labels are asked again
  }
  EXPECT_TRUE(WaitFor([&] { return FeedBackend(dir / "second.log") != backend; }));

  // The first process dies; ana goes on through the second with the handle she had.
  first->Stop(SIGKILL);
  first.reset();
  ana = std::make_unique<ProtocolClient>(second.Port());
  ASSERT_EQ(OpenMap(*ana, anaHandle, TestData::kMap), 0);
  ASSERT_TRUE(ana->Send(newRoad().buffer()));
  expectOnce(*ana, {1, 6});
  expectOnce(bob, {1, 6});

  // Every database connection of the second process is cut: a request that meets the
  // loss gets the answer of a storage failure and a log line, the next one is served.
  const Bytes cell = CellRequest(d.roads, {230, 159});
  const auto before = Ask(bob, cell, 102);
  ExecSql(db,
          "SELECT pg_terminate_backend(pid, 10000) FROM pg_stat_activity WHERE application_name "
          "= (SELECT application_name FROM pg_stat_activity WHERE pid = " +
              std::to_string(FeedBackend(dir / "second.log")) + ")");
  for (ProtocolClient* c : {ana.get(), &bob}) Ask(*c, cell, 102);
  EXPECT_NE(ReadFile(dir / "second.log").find("storage failure"), std::string::npos);
  const auto after = Ask(bob, cell, 102);
  ASSERT_TRUE(before && after);
  EXPECT_EQ(after->bytes(), before->bytes());
  ASSERT_TRUE(ana->Send(WriteErase({d.roads, {}, 6}).buffer()));
  expectOnce(*ana, {2, 6});
  expectOnce(bob, {2, 6});
}

}  // namespace
}  // namespace orvenda::server::test
