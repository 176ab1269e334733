// The operator's upkeep of a SQLite site: a backup taken while another connection
// writes, and the check finding each kind of damage done to a copy by hand.
#include <gtest/gtest.h>

#include <atomic>
#include <sstream>
#include <thread>

#include "admin/commands.h"
#include "store/sqlite_db.h"
#include "store/sqlite_maintenance.h"
#include "temp_dir.h"
#include "test_database.h"

namespace orvenda::server {
namespace {

int Admin(const std::vector<std::string>& args, std::string& out) {
  std::istringstream in;
  std::ostringstream o, err;
  const int code = RunCommand(args, in, o, err);
  out = o.str() + err.str();
  return code;
}

TEST(SqliteMaintenance, BackupWhileWritingAndCheckFindsEachKindOfDamage) {
  test::TempDir dir;
  const auto db = dir / "map.db";
  const test::TestData data = test::BuildTestDatabase(db);
  std::string out;
  ASSERT_EQ(Admin({"check", db.string()}, out), kExitOk) << out;

  // Road 1 moves back and forth on a connection of its own during the backup.
  std::atomic<bool> done = false;
  std::atomic<int> writes = 0;
  std::thread writer([&] {
    auto store = OpenStore(db);
    for (int k = 0; !done || writes == 0; ++k, ++writes)
      store->SetGeometry(data.roads, 1, {{-100.1, 25.1}, {-100.05 + (k % 2) * 0.5, 25.2}});
  });
  int steps = 0;
  BackupSqlite(db, dir / "copy.db", [&](int, int) { ++steps; });
  done = true;
  writer.join();
  EXPECT_GT(steps, 0);
  EXPECT_TRUE(CheckSqlite(dir / "copy.db").empty());
  EXPECT_EQ(OpenStore(dir / "copy.db")->ElementCells(data.roads, 1).empty(), false);
  EXPECT_EQ(Admin({"backup", db.string(), (dir / "copy.db").string()}, out), kExitInvalid) << out;
  EXPECT_EQ(Admin({"check", (dir / "none.db").string()}, out), kExitNotFound) << out;

  const std::string roads = std::to_string(data.roads);
  const std::pair<std::string, std::string> damage[] = {
      {"DELETE FROM element_cells WHERE layer_id = " + roads + " AND element_id = 1",
       "element 1 of layer " + roads + " is listed in 0 cells"},
      {"UPDATE elements SET max_x = max_x + 3 WHERE layer_id = " + roads + " AND id = 1",
       "element 1 of layer " + roads + " is listed in"},
      {"INSERT INTO element_cells VALUES (" + roads + ", 1, 1, 999999)",
       "element_cells of a missing element 999999"},
      {"INSERT INTO attributes VALUES (" + roads + ", 999998, 0, 'x')",
       "attributes of a missing element 999998"},
      {"UPDATE layers SET last_element_id = 0 WHERE id = " + roads, "counts elements to 0"},
      {"INSERT INTO access VALUES (4242, " + roads + ", 1)", "foreign key: a row of access"},
  };
  for (const auto& [sql, finding] : damage) {
    const auto broken = dir / "broken.db";
    std::filesystem::remove(broken);
    BackupSqlite(db, broken);
    SqliteDb(broken).Exec(sql);
    EXPECT_EQ(Admin({"check", broken.string()}, out), kExitInvalid) << sql;
    EXPECT_NE(out.find(finding), std::string::npos) << sql << "\n" << out;
  }
}

}  // namespace
}  // namespace orvenda::server
