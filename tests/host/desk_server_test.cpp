// The whole desktop program against the real map server program: OrvendaDesk's
// own start-up, login form, map list and navigation commands, with a recording
// relay between it and the server that shows every request on the wire, and the
// viewer's picture checked against its view transform.
#ifdef ORVENDA_SERVER_PROGRAM

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <cmath>
#include <set>
#include <tuple>

#include "desksession.h"
#include "host/frmdocument.h"
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

using server::test::TestData;
using testing::Cell;
using testing::Codes;
using testing::DeskSession;
using testing::ExpectOnlyNewCellsOfTheView;
using testing::InkAt;
using testing::MissedByTheDrag;

QPoint Pixel(Viewer& viewer, double lon, double lat) {
  const SurfacePoint p = viewer.view().GeoToSurface(lon, lat);
  return {static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y))};
}

QStringList ComboItems(const frmMain& main) {
  QStringList items;
  for (int i = 0; i < main.cbLayers->count(); ++i) items << main.cbLayers->itemText(i);
  return items;
}

// Runs a step and checks that it left the viewer idle (no status line, no
// busy pointer) having asked only for the cells newly in view.
std::set<Cell> Step(DeskSession& desk, const std::function<void()>& action) {
  const std::size_t mark = desk.relay().requests().size();
  EXPECT_TRUE(desk.After(action)) << desk.Why().toStdString();
  EXPECT_EQ(desk.viewer().StatusCaption(), "");
  EXPECT_NE(desk.viewer().MousePointer(), 11) << "hourglass";
  return ExpectOnlyNewCellsOfTheView(desk.relay(), mark, desk.viewer());
}

// Pans by dragging the geographic position `spot` to the surface point `to`,
// and checks that the map followed the pointer and that the picture is the
// earlier one moved by the drag, no more and no less.
void PanAndCheck(DeskSession& desk, GeoLonLat spot, QPoint to) {
  Viewer& viewer = desk.viewer();
  const QImage before = viewer.SavedPicture();
  const QPoint from = Pixel(viewer, spot.lon, spot.lat);
  Step(desk, [&] { desk.Drag(from, to); });
  const SurfacePoint moved = viewer.view().GeoToSurface(spot.lon, spot.lat);
  EXPECT_NEAR(moved.x, to.x(), 3.0) << "the map follows the pointer";
  EXPECT_NEAR(moved.y, to.y(), 3.0);
  const QImage after = viewer.SavedPicture();
  EXPECT_EQ(MissedByTheDrag(viewer, before, after, from, to), 0) << "the picture moved";
  EXPECT_EQ(MissedByTheDrag(viewer, after, before, to, from), 0) << "and nothing else came in";
  EXPECT_GT(MissedByTheDrag(viewer, before, after, from, to + QPoint(12, -12)), 0)
      << "the comparison sees a wrong drag";
}

TEST(DeskWithRealServer, OpensAMapAndNavigatesAskingOnlyForWhatTheViewLacks) {
  DeskSession desk;
  ASSERT_TRUE(desk.Start("ana", "secreta")) << desk.Why().toStdString();
  const TestData& data = desk.server().Data();
  const testing::WireRelay& relay = desk.relay();
  frmMain& main = desk.main();
  ASSERT_NE(desk.OpenFromMapList("Ciudad"), nullptr);
  Viewer& viewer = desk.viewer();
  // The opening exchange (the protocol tests check it byte for byte) asks for
  // the map for the logged-in user, then only for the cells of the first view.
  ASSERT_TRUE(desk.After([] {})) << desk.Why().toStdString();
  EXPECT_EQ(ExpectOnlyNewCellsOfTheView(relay, 4, viewer),
            (std::set<Cell>{{data.places, 1157, 797}}))
      << "only the places show at first";
  ASSERT_EQ(relay.connections(), 2) << "the login on a connection of its own";
  EXPECT_EQ(Codes(relay.requests(), 1).front(), cmd::kOpenMap);
  DWBUffer open = relay.requests()[1].Fields();
  EXPECT_EQ(open.GetLong(), desk.app().UserID);
  EXPECT_EQ(open.GetLong(), TestData::kMap);
  EXPECT_EQ(ComboItems(main), QStringList{"Lugares"});

  // The places are drawn where the view puts them, each in the colour of its
  // population class (the thematic values came from the server too); the layer
  // the user may not see is not, nor is anything where the map has no data.
  const QImage opened = viewer.SavedPicture();
  EXPECT_TRUE(testing::ColourAt(viewer, opened, -100.31, 25.67, 3)) << "Monterrey, 1142994";
  EXPECT_TRUE(testing::ColourAt(viewer, opened, -100.32, 25.68, 1)) << "San Pedro, 132169";
  EXPECT_FALSE(InkAt(viewer, opened, -100.43, 25.53, 4)) << "inside the secret layer's area";
  EXPECT_FALSE(InkAt(viewer, opened, -100.8, 25.2, 4));

  // Over Monterrey the status bar shows where the pointer is.
  QTest::mouseMove(&viewer, Pixel(viewer, -100.31, 25.67));
  EXPECT_TRUE(QRegularExpression(R"(^x: -100° 18' [0-9.]+", y: 25° 40' [0-9.]+"$)")
                  .match(main.StatusPanel1->text())
                  .hasMatch())
      << main.StatusPanel1->text().toStdString();

  // A spot near the roads is dragged to the middle of the map.
  PanAndCheck(desk, {-100.2, 25.3}, QPoint(viewer.width() / 2, viewer.height() / 2));
  EXPECT_TRUE(InkAt(viewer, viewer.SavedPicture(), -100.31, 25.67)) << "Monterrey still in view";

  // Zoom in twice about the middle: the roads show from 50 km down and only
  // their cells in the new view are asked for.
  for (int step = 1; step <= 2; ++step) {
    const double height = viewer.view().ViewExtents.MaxY - viewer.view().ViewExtents.MinY;
    const std::set<Cell> asked = Step(desk, [&] { main.ToolbarButton("Zoom In")->trigger(); });
    const BoundingBox& now = viewer.view().ViewExtents;
    EXPECT_NEAR((now.MaxY - now.MinY) / height, 0.5, 0.02);
    if (step == 2) {
      EXPECT_EQ(asked, (std::set<Cell>{{data.roads, 230, 159}, {data.roads, 230, 160}}));
      EXPECT_EQ(ComboItems(main), (QStringList{"Calles", "Lugares"}));
      // The middle of the second road's first segment.
      EXPECT_TRUE(InkAt(viewer, viewer.SavedPicture(), -100.10, 25.205)) << "a road is drawn";
    }
  }
  PanAndCheck(desk, {-100.12, 25.20}, Pixel(viewer, -100.12, 25.20) + QPoint(-90, -120));
  EXPECT_TRUE(InkAt(viewer, viewer.SavedPicture(), -100.075, 25.125)) << "a road come into view";
  testing::ExpectValueRequestsOnce(relay);

  // Zoom extents: every cell of the whole map was asked for at the start, so
  // nothing goes on the wire and the picture is the first one again.
  EXPECT_TRUE(Step(desk, [&] { main.MenuItem("mnuZoomExtents")->trigger(); }).empty());
  EXPECT_TRUE(viewer.SavedPicture() == opened) << "the first picture again";
  EXPECT_EQ(ComboItems(main), QStringList{"Lugares"});

  // A larger window keeps the centre and the scale and shows more around them.
  const QPoint centre(viewer.width() / 2, viewer.height() / 2);
  QWidget* window = desk.document().parentWidget();
  Step(desk, [&] { window->resize(window->size() + QSize(160, 120)); });
  EXPECT_EQ(viewer.SavedPicture().size(), opened.size() + QSize(160, 120));
  EXPECT_EQ(MissedByTheDrag(viewer, opened, viewer.SavedPicture(), centre,
                            QPoint(viewer.width() / 2, viewer.height() / 2)),
            0);
  EXPECT_TRUE(relay.faults().empty());
  EXPECT_TRUE(desk.ui().shown.empty()) << desk.ui().shown.front().text;

  // Exit closes the document and with it the map's connection.
  main.MenuItem("mnuExit")->trigger();
  EXPECT_TRUE(testing::WaitUntil([&] { return main.Documents().isEmpty(); }));
  EXPECT_FALSE(main.isVisible());
  EXPECT_TRUE(testing::WaitUntil([&] { return relay.ClientClosed(1); }));
}

// A guest sees only what the server lets it see: the roads, closed to it, are
// never asked for nor drawn however close it zooms, and once a map is open it
// may still neither save maps nor change its password. (And a map list left
// without a choice opens nothing.)
TEST(DeskWithRealServer, AGuestNeverAsksForLayersClosedToIt) {
  DeskSession desk;
  ASSERT_TRUE(desk.Start("invitado", "")) << desk.Why().toStdString();
  frmMain& main = desk.main();
  // The map list does not close until a map is chosen.
  EXPECT_EQ(desk.OpenFromMapList("Ninguno"), nullptr);
  ASSERT_EQ(desk.ui().shown.size(), 1u);
  EXPECT_EQ(desk.ui().shown[0].text, "You must select a map.");
  desk.ui().shown.clear();
  ASSERT_NE(desk.OpenFromMapList("Ciudad"), nullptr);
  Viewer& viewer = desk.viewer();
  const TestData& data = desk.server().Data();
  ASSERT_TRUE(desk.After([] {})) << desk.Why().toStdString();
  EXPECT_EQ(ExpectOnlyNewCellsOfTheView(desk.relay(), 4, viewer),
            (std::set<Cell>{{data.places, 1157, 797}}));
  const QPoint middle(viewer.width() / 2, viewer.height() / 2);
  Step(desk, [&] { desk.Drag(Pixel(viewer, -100.2, 25.3), middle); });
  for (int step = 1; step <= 2; ++step) {
    Step(desk, [&] { main.ToolbarButton("Zoom In")->trigger(); });
  }
  EXPECT_LT(viewer.CurrentZoom(), 50) << "close enough for the roads";
  for (const Cell& cell : testing::CellRequests(desk.relay())) {
    EXPECT_EQ(std::get<0>(cell), data.places);
  }
  EXPECT_FALSE(InkAt(viewer, viewer.SavedPicture(), -100.10, 25.205)) << "no road drawn";
  EXPECT_EQ(ComboItems(main), QStringList{"Lugares"});
  for (const char* item : {"mnuSaveMap", "mnuSaveAs", "mnuChangePassword"}) {
    EXPECT_FALSE(main.MenuItem(item)->isEnabled()) << item;
  }
  EXPECT_FALSE(main.ToolbarButton("SaveMap")->isEnabled());
  EXPECT_TRUE(desk.ui().shown.empty()) << desk.ui().shown.front().text;
}

}  // namespace
}  // namespace orvenda

#endif  // ORVENDA_SERVER_PROGRAM
