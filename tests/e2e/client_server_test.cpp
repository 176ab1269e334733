// The client's login and map conversation on a real socket against the real
// server: what arrives in the model must be what the server's database holds.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <functional>
#include <map>
#include <optional>
#include <set>

#include "protocol/cellloading.h"
#include "protocol/loginexchange.h"
#include "protocol/mapopening.h"
#include "server_rig.h"
#include "support/fakes.h"
#include "support/recordingmapviewer.h"
#include "viewer/qtconnection.h"
#include "viewer/qteventpump.h"

namespace orvenda {
namespace {

using server::test::ServerRig;
using server::test::TestData;
using NetViewer = testing::BasicRecordingMapViewer<QtConnection, SystemClock, QtEventPump>;

// Runs the event loop until `done` or ten seconds.
bool PumpUntil(const std::function<bool()>& done) {
  QtEventPump pump;
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > 10000) return false;
    pump.ProcessEvents();
  }
  return true;
}

std::optional<LoginResult> LogIn(std::uint16_t port, const std::string& user,
                                 const std::string& password) {
  QtConnection sock;
  testing::ScriptedInteraction ui;
  SystemClock clock;
  QtEventPump pump;
  std::optional<LoginResult> result;
  LoginExchange login(sock, ui, clock, pump);
  login.SetLoginResponse([&](const LoginResult& r) { result = r; });
  login.Checklogin("127.0.0.1", port, user, password);
  PumpUntil([&] { return result.has_value(); });
  EXPECT_TRUE(ui.shown.empty()) << ui.shown.front().text;
  return result;
}

TEST(ClientAgainstServer, LoginOutcomes) {
  ServerRig rig;
  const auto ana = LogIn(rig.Port(), "ana", "secreta");
  ASSERT_TRUE(ana);
  EXPECT_GE(ana->LIDUser, 1);
  EXPECT_GE(ana->iCantMapas, 1);
  EXPECT_NE(std::find(ana->lMapCodes.begin(), ana->lMapCodes.end(), TestData::kMap),
            ana->lMapCodes.end());
  EXPECT_EQ(ana->sMapNames.size(), ana->lMapCodes.size());

  const auto wrong = LogIn(rig.Port(), "ana", "nope");
  ASSERT_TRUE(wrong);
  EXPECT_LT(wrong->LIDUser, 1);
  EXPECT_EQ(wrong->iCantMapas, -1);

  const auto guest = LogIn(rig.Port(), "invitado", "");
  ASSERT_TRUE(guest);
  EXPECT_GE(guest->LIDUser, 1);
  EXPECT_NE(guest->LIDUser, ana->LIDUser) << "every login gets its own handle";
}

// Opens the map, then loads every cell of the map's extents for every layer, as
// the viewer's loading pass would, and compares the model with the database.
TEST(ClientAgainstServer, OpenMapAndLoadEveryCellOfTheView) {
  ServerRig rig;
  const auto ana = LogIn(rig.Port(), "ana", "secreta");
  ASSERT_TRUE(ana && ana->LIDUser >= 1);

  NetViewer v;
  v.props.IDUser = ana->LIDUser;
  v.props.MapCode = TestData::kMap;
  ASSERT_TRUE(v.link().ConnectToServer("127.0.0.1", rig.Port()));
  SendOpenMap(v, v.props.IDUser, v.props.MapCode);
  ASSERT_TRUE(PumpUntil([&] { return v.zoomExtents == 1 && v.pending == 0; }));
  EXPECT_EQ(v.props.Nombre, "Ciudad");
  EXPECT_EQ(v.mapLoaded, 1);
  ASSERT_EQ(v.layerList.count(), 3);

  const BoundingBox& box = v.props.MapExtents;
  for (layer& lay : v.layerList) {
    const auto cells = lay.CellsInBox(box.MinX, box.MinY, box.MaxX, box.MaxY);
    for (int k = 0; k < cells.count(); ++k) {
      SendCellRequest(v, lay, cells.rows[static_cast<std::size_t>(k)],
                      cells.columns[static_cast<std::size_t>(k)]);
      if (!lay.lblField.empty()) {
        SendCellValuesRequest(v, lay, cells.rows[static_cast<std::size_t>(k)],
                              cells.columns[static_cast<std::size_t>(k)], lay.lblField);
      }
    }
  }
  ASSERT_TRUE(PumpUntil([&] { return v.pending == 0; }));
  EXPECT_TRUE(v.ui.shown.empty()) << v.ui.shown.front().text;

  const auto store = rig.OpenStore();
  const TestData& d = rig.Data();
  for (std::int32_t id : {d.roads, d.places}) {
    const layer& lay = *v.layerList.Item(std::to_string(id));
    std::map<std::int32_t, std::vector<Point>> expected;
    const auto cells = lay.CellsInBox(box.MinX, box.MinY, box.MaxX, box.MaxY);
    for (int k = 0; k < cells.count(); ++k) {
      for (const auto& e : store->CellElements(id, {cells.rows[static_cast<std::size_t>(k)],
                                                    cells.columns[static_cast<std::size_t>(k)]})) {
        auto& pts = expected[e.id];
        pts.clear();
        for (const auto& p : e.points) pts.push_back({p.x, p.y});
      }
    }
    ASSERT_FALSE(expected.empty()) << lay.Nombre;
    EXPECT_EQ(lay.Entidades.count(), static_cast<std::int32_t>(expected.size())) << lay.Nombre;
    for (const auto& [eid, pts] : expected) {
      const Entidad* ent = lay.Entidades.ItemByID(eid);
      ASSERT_NE(ent, nullptr) << lay.Nombre << " element " << eid;
      const auto got = ent->Points();
      ASSERT_EQ(got.size(), pts.size());
      for (std::size_t i = 0; i < pts.size(); ++i) {
        EXPECT_NEAR(got[i].X, pts[i].X, 1e-7) << lay.Nombre << " element " << eid;
        EXPECT_NEAR(got[i].Y, pts[i].Y, 1e-7) << lay.Nombre << " element " << eid;
      }
    }
  }
  layer& roads = *v.layerList.Item(std::to_string(d.roads));
  EXPECT_GT(roads.Labels().count(), 0) << "the label field's values arrived";
  const layer& secret = *v.layerList.Item(std::to_string(d.secret));
  EXPECT_EQ(secret.AccessLevel, ALNoAccess);
  EXPECT_EQ(secret.Entidades.count(), 0) << "a layer without access stays empty";
}

}  // namespace
}  // namespace orvenda
