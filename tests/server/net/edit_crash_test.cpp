// The real program killed with SIGKILL at random points while it stores edits: at the
// next start its database is whole and holds every edit whose message 250 had arrived.
#include <gtest/gtest.h>
#include <signal.h>

#include <map>
#include <random>

#include "protocol/editmessages.h"
#include "server_rig.h"
#include "store/sqlite_db.h"

namespace orvenda::server::test {
namespace {

std::string First(SqliteDb& db, const std::string& sql, const std::string& bound = {}) {
  auto st = db.Prepare(sql);
  if (!bound.empty()) st.Bind(1, std::string_view(bound));
  return st.Step() ? st.Text(0) : "no row";
}

TEST(SqliteServerEditsCrash, AKilledServerKeepsEveryEditWhoseChangeItHadPushed) {
  TempDir dir;
  const std::string db = (dir / "map.db").string();
  const TestData d = BuildTestDatabase(dir / "map.db");
  OpenStore(dir / "map.db")->SetAccess(d.ana, d.roads, AccessLevel::Draw);
  std::mt19937 random(20261207);
  std::map<std::int32_t, std::string> pushedRoads;  // new roads not to be erased, every round
  std::vector<std::int32_t> erasable, pushedErased;
  std::int64_t pushedLanes = 0;  // the last value of road 1's CARRILES pushed
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE(round);
    ServeChild server(ORVENDA_SERVER_EXE, db, dir / ("server" + std::to_string(round) + ".log"));
    ASSERT_NE(server.Port(), 0);
    ProtocolClient c(server.Port());
    ASSERT_EQ(OpenMap(c, Login(server.Port(), "ana", "secreta"), TestData::kMap), 0);
    // New roads, new values of road 1 and the erasing of a new road in turn, eight in
    // flight, until a random count of them has come back as 250.
    int sent = 0, acknowledged = 0;
    const int killAfter = 1 + static_cast<int>(random() % 150);
    auto sendNext = [&] {
      const int i = sent++;
      const double x = -100.5 + (i % 50) * 0.01;
      const std::string text = std::to_string(round * 1000 + i);
      const std::vector<::orvenda::Point> road = {{x, 25}, {x + 0.01, 25.01}};
      DWBUffer edit =
          WriteNewElement({206, d.roads, {}, road, 0.5f, 0.5f, {"r" + text, "1", "1", "1"}});
      if (i % 3 == 1) edit = WriteValuesEdit({d.roads, {}, 1, {"Juárez", "12", "1.5", text}});
      if (i % 3 == 2 && !erasable.empty()) {
        edit = WriteErase({d.roads, {}, erasable.back()});
        pushedRoads.erase(erasable.back());  // it may be gone from now on
        erasable.pop_back();
      }
      ASSERT_TRUE(c.Send(edit.buffer()));
    };
    for (int k = 0; k < 8; ++k) sendNext();
    while (acknowledged < killAfter) {
      auto m = c.Receive();
      ASSERT_TRUE(m && ProtocolClient::CodeOf(*m) == 250);
      const LayerChange change = ReadLayerChange(*m);
      if (change.operation == 1) pushedRoads[change.elementId] = change.values[0];
      if (change.operation == 1) erasable.push_back(change.elementId);
      if (change.operation == 2) pushedErased.push_back(change.elementId);
      if (change.operation == 3) pushedLanes = std::stoll(change.values[3]);
      if (change.operation <= 3) {
        ++acknowledged;
        sendNext();
      }
    }
    server.Stop(SIGKILL);

    // The next start opens the file as the server would.
    SqliteDb check(dir / "map.db");
    EXPECT_EQ(First(check, "PRAGMA integrity_check"), "ok");
    const std::string roads = std::to_string(d.roads);
    for (const auto& [id, name] : pushedRoads)
      EXPECT_EQ(
          First(check, "SELECT count(*) FROM attributes WHERE position = 0 AND value = ?", name),
          "1")
          << name;
    for (const std::int32_t id : pushedErased)
      EXPECT_EQ(First(check, "SELECT count(*) FROM elements WHERE layer_id = " + roads +
                                 " AND id = " + std::to_string(id)),
                "0")
          << id;
    EXPECT_GE(std::stoll(First(check, "SELECT value FROM attributes WHERE layer_id = " + roads +
                                          " AND element_id = 1 AND position = 3")),
              pushedLanes);
    // Nothing half-written: every element has its cells and all its values, and no cell
    // or value outlives its element.
    const std::string element = "e.layer_id = x.layer_id AND e.id = x.element_id";
    EXPECT_EQ(First(check,
                    "SELECT count(*) FROM elements e WHERE NOT EXISTS (SELECT 1 FROM "
                    "element_cells x WHERE " +
                        element + ") OR (SELECT count(*) FROM attributes x WHERE " + element +
                        ") <> (SELECT count(*) FROM fields f WHERE f.layer_id = e.layer_id)"),
              "0");
    for (const char* table : {"element_cells", "attributes"})
      EXPECT_EQ(
          First(check, std::string("SELECT count(*) FROM ") + table +
                           " x WHERE NOT EXISTS (SELECT 1 FROM elements e WHERE " + element + ")"),
          "0")
          << table;
  }
  EXPECT_GT(pushedRoads.size() + pushedErased.size(), 4u);
}

}  // namespace
}  // namespace orvenda::server::test
