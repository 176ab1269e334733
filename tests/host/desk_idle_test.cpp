// A map left open longer than the server keeps an idle connection: the server
// drops the connection, and the next view that needs data must still get it.
#ifdef ORVENDA_SERVER_PROGRAM

#include <gtest/gtest.h>

#include <QAction>
#include <cmath>
#include <set>

#include "desksession.h"
#include "host/frmmain.h"
#include "loopback.h"
#include "model/layers.h"
#include "protocol/catalogue.h"
#include "render/viewtransform.h"
#include "viewer/viewer.h"
#include "viewerpicture.h"
#include "wirechecks.h"

namespace orvenda {
namespace {

using testing::Cell;

TEST(DeskWithRealServer, AMapLeftIdleStillGetsWhatTheViewNeeds) {
  testing::DeskSession desk;
  // The server drops a map's connection after one idle second.
  ASSERT_TRUE(desk.Start("ana", "secreta", {"--idle-timeout", "1"})) << desk.Why().toStdString();
  ASSERT_NE(desk.OpenFromMapList("Ciudad"), nullptr);
  ASSERT_TRUE(desk.After([] {})) << desk.Why().toStdString();
  Viewer& viewer = desk.viewer();
  const testing::WireRelay& relay = desk.relay();
  ASSERT_TRUE(testing::WaitUntil([&] { return relay.ServerClosed(1); }, 10000))
      << "the server kept the idle connection";

  // To the roads, which need cells the view has not had yet.
  const SurfacePoint spot = viewer.view().GeoToSurface(-100.2, 25.3);
  const QPoint from(static_cast<int>(std::lround(spot.x)), static_cast<int>(std::lround(spot.y)));
  ASSERT_TRUE(desk.After([&] { desk.Drag(from, QPoint(viewer.width() / 2, viewer.height() / 2)); }))
      << desk.Why().toStdString();
  const std::size_t mark = relay.requests().size();
  for (int step = 1; step <= 2; ++step) {
    ASSERT_TRUE(desk.After([&] { desk.main().ToolbarButton("Zoom In")->trigger(); }))
        << desk.Why().toStdString();
  }
  const std::int32_t roads = desk.server().Data().roads;
  const std::vector<Cell> cells = testing::CellRequests(relay, mark);
  EXPECT_EQ(std::set<Cell>(cells.begin(), cells.end()),
            (std::set<Cell>{{roads, 230, 159}, {roads, 230, 160}}));
  // However often the server dropped it, each new connection opens the map
  // again before it asks for anything, and never asks for its definition again.
  ASSERT_GE(relay.connections(), 3);
  for (int connection = 2; connection < relay.connections(); ++connection) {
    const std::vector<std::int16_t> codes = testing::Codes(relay.requests(), connection);
    if (codes.empty()) continue;
    EXPECT_EQ(codes.front(), cmd::kOpenMap) << "connection " << connection;
    EXPECT_EQ(std::count(codes.begin(), codes.end(), cmd::kMapDefinition), 0);
  }
  const layer* lay = viewer.layers().Item(std::to_string(roads));
  ASSERT_NE(lay, nullptr);
  EXPECT_GT(lay->Entidades.count(), 0) << "the roads arrived";
  EXPECT_TRUE(testing::InkAt(viewer, viewer.SavedPicture(), -100.10, 25.205)) << "and are drawn";
  EXPECT_EQ(viewer.StatusCaption(), "");
  EXPECT_TRUE(desk.ui().shown.empty()) << desk.ui().shown.front().text;
}

}  // namespace
}  // namespace orvenda

#endif  // ORVENDA_SERVER_PROGRAM
