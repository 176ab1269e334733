// A full disk under the real program. A file size limit (RLIMIT_FSIZE, set by prlimit)
// stands for it: another writer (an import) has taken the write-ahead log past the
// limit, so the server can no longer add to it, while its own log file stays below.
// Every write is refused with a logged reason and its failure answer, nothing is half
// written, and reads go on.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include "protocol/editmessages.h"
#include "protocol/savemapmessages.h"
#include "server_rig.h"
#include "store/sqlite_db.h"

namespace orvenda::server::test {
namespace {

constexpr std::uintmax_t kLimit = 64 * 1024;

std::string First(SqliteDb& db, const std::string& sql) {
  auto st = db.Prepare(sql);
  return st.Step() ? st.Text(0) : "no row";
}

TEST(SqliteServerDiskFull, WritesAreRefusedWithAReasonAndAnAnswerWhileReadsGoOn) {
  TempDir dir;
  const auto db = dir / "map.db";
  const TestData d = BuildTestDatabase(db);
  // Kept open, so that what it wrote stays in the write-ahead log until the end.
  auto import = OpenStore(db);
  import->SetAccess(d.ana, d.roads, AccessLevel::Draw);
  std::vector<Point> road;
  for (int i = 0; i < 5000; ++i) road.push_back({-100.9 + i * 1e-5, 25.9});
  import->AddElementTyped(d.roads, road,
                          {std::string("Larga"), std::int64_t{0}, 1.0, std::int64_t(1)});
  const std::string hash = import->FindUser("ana")->passwordHash;
  ASSERT_GT(std::filesystem::file_size(dir / "map.db-wal"), kLimit);

  ServeChild server(ORVENDA_SERVER_EXE, db, dir / "server.log",
                    {"prlimit", "--fsize=" + std::to_string(kLimit)});
  ASSERT_NE(server.Port(), 0);
  const std::int32_t handle = Login(server.Port(), "ana", "secreta");
  ProtocolClient c(server.Port());
  ASSERT_EQ(OpenMap(c, handle, TestData::kMap), 0);
  const auto logged = [&](const std::string& what) {
    return WaitFor([&] {
      return ReadFile(dir / "server.log").find("failed " + what + ": storage failure") !=
             std::string::npos;
    });
  };
  // An edit has no answer: it pushes no 250, so the next message is the reply to the
  // read sent once its failure was logged (reads go on).
  const std::vector<::orvenda::Point> line = {{-100.5, 25}, {-100.49, 25.01}};
  ASSERT_TRUE(c.Send(
      WriteNewElement({206, d.roads, {}, line, 0.5f, 0.5f, {"Nueva", "1", "1", "1"}}).buffer()));
  ASSERT_TRUE(logged("new line (206)")) << ReadFile(dir / "server.log");
  EXPECT_TRUE(Ask(c, CellRequest(d.roads, d.nearCell), 102));

  auto reply = Ask(c, RequestWith(120, handle, "secreta", "nueva"), 121);
  EXPECT_TRUE(reply && reply->GetInteger() == 1);  // "not changed"
  EXPECT_TRUE(logged("change password (120)"));

  SaveMapRequest save{handle, 0, "Lleno", -101, 25, -100, 26, 0xFFFFFF, 0, {{}}};
  save.layers[0].name = "Calles";
  save.layers[0].id = d.roads;
  save.layers[0].kind = 2;
  reply = Ask(c, WriteSaveMap(save).buffer(), 241);
  EXPECT_TRUE(reply && reply->GetInteger() == savemap::kUnexpected);
  EXPECT_TRUE(logged("save map (240)"));

  EXPECT_TRUE(Ask(c, CellRequest(d.roads, d.nearCell), 102));
  EXPECT_GT(Login(server.Port(), "ana", "secreta"), 0);
  const auto status = server.Stop(SIGTERM);
  EXPECT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << status.value_or(-1);

  import.reset();  // folds the write-ahead log into the database
  SqliteDb check(db);
  EXPECT_EQ(First(check, "PRAGMA integrity_check"), "ok");
  EXPECT_EQ(
      First(check, "SELECT count(*) FROM elements WHERE layer_id = " + std::to_string(d.roads)),
      "5");
  EXPECT_EQ(First(check, "SELECT count(*) FROM maps WHERE name = 'Lleno'"), "0");
  EXPECT_EQ(First(check, "SELECT password_hash FROM users WHERE name = 'ana'"), hash);
  for (const char* table : {"element_cells", "attributes"})
    EXPECT_EQ(First(check, std::string("SELECT count(*) FROM ") + table +
                               " x WHERE NOT EXISTS (SELECT 1 FROM elements e WHERE "
                               "e.layer_id = x.layer_id AND e.id = x.element_id)"),
              "0")
        << table;
}

}  // namespace
}  // namespace orvenda::server::test
