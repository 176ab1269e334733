// The whole desktop program against the real map server program: OrvendaDesk's
// own start-up, login form, map list and navigation commands, with a recording
// relay between it and the server that shows every request on the wire, and the
// viewer's picture checked against its view transform.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <tuple>

#include "host/frmdocument.h"
#include "host/frmmain.h"
#include "loopback.h"
#include "model/layers.h"
#include "pixels.h"
#include "protocol/catalogue.h"
#include "protocol/viewercontext.h"
#include "render/viewtransform.h"
#include "viewer/qtcolour.h"
#include "viewer/viewer.h"
#include "viewerpicture.h"
#include "wirechecks.h"
#ifdef ORVENDA_SERVER_PROGRAM
#include "desksession.h"
#endif

namespace orvenda {
namespace {

#ifdef ORVENDA_SERVER_PROGRAM

using server::test::TestData;
using testing::Cell;
using testing::CellRequests;
using testing::Codes;
using testing::DeskSession;
using testing::ExpectOnlyNewCellsOfTheView;
using testing::ExpectValueRequestsOnce;
using testing::GeoPicture;
using testing::InkAt;
using testing::WireRelay;

QPoint Pixel(SurfacePoint p) {
  return {static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y))};
}

// Once everything asked for has come: no status line left, no busy pointer.
void ExpectIdle(Viewer& viewer) {
  EXPECT_EQ(viewer.StatusCaption(), "");
  EXPECT_NE(viewer.MousePointer(), kPointerArrowHourglass);
  EXPECT_NE(viewer.MousePointer(), 11) << "hourglass";
}

// A pixel of the Windows colour `colour` within two pixels of where the view
// puts the position.
bool ColourAt(Viewer& viewer, const QImage& picture, double lon, double lat, Colour colour) {
  const QPoint at = Pixel(viewer.view().GeoToSurface(lon, lat));
  const QRgb wanted = ToQColor(colour).rgb() & 0xFFFFFF;
  const QRect around = QRect(at - QPoint(2, 2), QSize(5, 5)).intersected(picture.rect());
  return testing::CountPixels(picture, around,
                              [wanted](QRgb c) { return (c & 0xFFFFFF) == wanted; }) > 0;
}

QStringList ComboItems(const frmMain& main) {
  QStringList items;
  for (int i = 0; i < main.cbLayers->count(); ++i) items << main.cbLayers->itemText(i);
  return items;
}

// The login on a connection of its own, then the opening exchange on the
// viewer's: map 7 for the logged-in user, its definition, the access levels of
// its layers in their order, then only the cells of the first view.
void ExpectOpeningOnTheWire(DeskSession& desk) {
  const WireRelay& relay = desk.relay();
  Viewer& viewer = desk.viewer();
  ASSERT_EQ(relay.connections(), 2);
  ASSERT_EQ(Codes(relay.requests(), 0), std::vector<std::int16_t>{cmd::kLogin});
  DWBUffer login = relay.requests()[0].Fields();
  EXPECT_EQ(login.GetString(), "ana");
  EXPECT_EQ(login.GetString(), "secreta");
  ASSERT_EQ(Codes(relay.replies(), 0), std::vector<std::int16_t>{cmd::kLoginReply});
  EXPECT_EQ(relay.replies()[0].Fields().GetLong(), desk.app().UserID);
  const std::vector<std::int16_t> opening = Codes(relay.requests(), 1);
  ASSERT_GE(opening.size(), 3u);
  EXPECT_EQ(opening[0], cmd::kOpenMap);
  EXPECT_EQ(opening[1], cmd::kMapDefinition);
  EXPECT_EQ(opening[2], cmd::kAccessLevels);
  DWBUffer open = relay.requests()[1].Fields();
  EXPECT_EQ(open.GetLong(), desk.app().UserID);
  EXPECT_EQ(open.GetLong(), TestData::kMap);
  EXPECT_EQ(relay.requests()[2].Fields().GetLong(), TestData::kMap);
  DWBUffer access = relay.requests()[3].Fields();
  EXPECT_EQ(access.GetLong(), desk.app().UserID);
  ASSERT_EQ(access.GetInteger(), viewer.layers().count());
  for (const layer& lay : viewer.layers()) EXPECT_EQ(access.GetLong(), lay.IDLayer);
  const std::set<Cell> first = ExpectOnlyNewCellsOfTheView(relay, 4, viewer);
  EXPECT_EQ(first, (std::set<Cell>{{desk.server().data().places, 1157, 797}}))
      << "only the places show at first";
}

// Pans by dragging the geographic position `spot` to the surface point `to`,
// and checks that the map followed the pointer, that only cells newly in view
// were asked for and that the picture is the earlier one moved with the view.
void PanAndCheck(DeskSession& desk, GeoLonLat spot, QPoint to) {
  Viewer& viewer = desk.viewer();
  const QImage image = viewer.SavedPicture();
  const GeoPicture before = testing::Remember(viewer, image);
  ASSERT_FALSE(before.ink.empty()) << "nothing to follow in the picture";
  const QPoint from = Pixel(viewer.view().GeoToSurface(spot.lon, spot.lat));
  const std::size_t mark = desk.relay().requests().size();
  ASSERT_TRUE(desk.PanBy(from, to)) << desk.Why().toStdString();
  ExpectIdle(viewer);
  const SurfacePoint moved = viewer.view().GeoToSurface(spot.lon, spot.lat);
  EXPECT_NEAR(moved.x, to.x(), 3.0) << "the map follows the pointer";
  EXPECT_NEAR(moved.y, to.y(), 3.0);
  ExpectOnlyNewCellsOfTheView(desk.relay(), mark, viewer);
  const QImage after = viewer.SavedPicture();
  EXPECT_EQ(testing::Unexplained(viewer, before, after, {0, 0}, 2), 0)
      << before.ink.size() << " of ink";
  EXPECT_GT(testing::Unexplained(viewer, before, after, {5, -5}, 2), 0)
      << "the comparison sees a wrong place";
  EXPECT_EQ(testing::MissedByTheDrag(viewer, image, after, from, to), 0)
      << "the picture moved by the drag";
  EXPECT_GT(testing::MissedByTheDrag(viewer, image, after, from, to + QPoint(12, -12)), 0)
      << "the comparison sees a wrong drag";
}

TEST(DeskWithRealServer, OpensAMapAndNavigatesAskingOnlyForWhatTheViewLacks) {
  DeskSession desk;
  ASSERT_TRUE(desk.Start("ana", "secreta")) << desk.Why().toStdString();
  const TestData& data = desk.server().data();
  const WireRelay& relay = desk.relay();
  frmMain& main = desk.main();
  ASSERT_NE(desk.OpenFromMapList("Ciudad"), nullptr);
  ASSERT_TRUE(desk.After([] {})) << desk.Why().toStdString();
  Viewer& viewer = desk.viewer();
  ExpectIdle(viewer);
  ExpectOpeningOnTheWire(desk);
  EXPECT_EQ(ComboItems(main), QStringList{"Lugares"});

  // The places are drawn where the view puts them; the layer the user may not
  // see is not, nor is anything where the map has no data.
  const QImage opened = viewer.SavedPicture();
  EXPECT_TRUE(InkAt(viewer, opened, -100.31, 25.67)) << "Monterrey";
  EXPECT_TRUE(InkAt(viewer, opened, -100.32, 25.68)) << "San Pedro";
  EXPECT_FALSE(InkAt(viewer, opened, -100.43, 25.53, 4)) << "inside the secret layer's area";
  EXPECT_FALSE(InkAt(viewer, opened, -100.8, 25.2, 4));
  // Each place in the colour of its population class: the thematic values came
  // from the server too.
  EXPECT_TRUE(ColourAt(viewer, opened, -100.31, 25.67, 3)) << "Monterrey, 1142994 people";
  EXPECT_TRUE(ColourAt(viewer, opened, -100.32, 25.68, 1)) << "San Pedro, 132169 people";

  // Over Monterrey the status bar shows where the pointer is.
  QTest::mouseMove(&viewer, Pixel(viewer.view().GeoToSurface(-100.31, 25.67)));
  EXPECT_TRUE(QRegularExpression(R"(^x: -100° 18' [0-9.]+", y: 25° 40' [0-9.]+"$)")
                  .match(main.StatusPanel1->text())
                  .hasMatch())
      << main.StatusPanel1->text().toStdString();

  // A spot near the roads is dragged to the middle of the map.
  {
    SCOPED_TRACE("pan over the whole map");
    PanAndCheck(desk, {-100.2, 25.3}, QPoint(viewer.width() / 2, viewer.height() / 2));
  }
  EXPECT_TRUE(InkAt(viewer, viewer.SavedPicture(), -100.31, 25.67)) << "Monterrey still in view";

  // Zoom in twice about the middle: the roads show from 50 km down and only
  // their cells in the new view are asked for.
  for (int step = 1; step <= 2; ++step) {
    SCOPED_TRACE(step);
    const BoundingBox was = viewer.view().ViewExtents;
    const std::size_t mark = relay.requests().size();
    ASSERT_TRUE(desk.After([&] { main.ToolbarButton("Zoom In")->trigger(); }))
        << desk.Why().toStdString();
    ExpectIdle(viewer);
    const BoundingBox& now = viewer.view().ViewExtents;
    EXPECT_NEAR((now.MaxY - now.MinY) / (was.MaxY - was.MinY), 0.5, 0.02);
    const std::set<Cell> asked = ExpectOnlyNewCellsOfTheView(relay, mark, viewer);
    if (step == 2) {
      EXPECT_EQ(asked, (std::set<Cell>{{data.roads, 230, 159}, {data.roads, 230, 160}}));
      EXPECT_EQ(ComboItems(main), (QStringList{"Calles", "Lugares"}));
      // The middle of the second road's first segment.
      EXPECT_TRUE(InkAt(viewer, viewer.SavedPicture(), -100.10, 25.205)) << "a road is drawn";
    }
  }
  {
    SCOPED_TRACE("pan among the roads");
    const SurfacePoint vertex = viewer.view().GeoToSurface(-100.12, 25.20);
    PanAndCheck(desk, {-100.12, 25.20}, Pixel(vertex) + QPoint(-90, -120));
  }
  EXPECT_TRUE(InkAt(viewer, viewer.SavedPicture(), -100.075, 25.125)) << "a road come into view";
  ExpectValueRequestsOnce(relay);

  // Zoom extents: every cell of the whole map was asked for at the start, so
  // nothing goes on the wire and the picture is the first one again.
  const std::size_t mark = relay.requests().size();
  ASSERT_TRUE(desk.After([&] { main.MenuItem("mnuZoomExtents")->trigger(); }))
      << desk.Why().toStdString();
  EXPECT_EQ(relay.requests().size(), mark) << "nothing asked again";
  EXPECT_TRUE(viewer.SavedPicture() == opened) << "the first picture again";
  EXPECT_EQ(ComboItems(main), QStringList{"Lugares"});

  // A larger window keeps the centre and the scale and shows more around them.
  {
    SCOPED_TRACE("resize");
    const QImage before = viewer.SavedPicture();
    const QPoint centre(viewer.width() / 2, viewer.height() / 2);
    QWidget* window = desk.document().parentWidget();
    const std::size_t sent = relay.requests().size();
    ASSERT_TRUE(desk.After([&] { window->resize(window->size() + QSize(160, 120)); }))
        << desk.Why().toStdString();
    EXPECT_EQ(viewer.SavedPicture().size(), before.size() + QSize(160, 120));
    const QPoint moved(viewer.width() / 2, viewer.height() / 2);
    EXPECT_EQ(testing::MissedByTheDrag(viewer, before, viewer.SavedPicture(), centre, moved), 0);
    ExpectOnlyNewCellsOfTheView(relay, sent, viewer);
  }
  EXPECT_TRUE(relay.faults().empty());
  EXPECT_TRUE(desk.ui().shown.empty()) << desk.ui().shown.front().text;

  // Exit closes the document and with it the map's connection.
  main.MenuItem("mnuExit")->trigger();
  EXPECT_TRUE(testing::WaitUntil([&] { return main.Documents().isEmpty(); }, 5000));
  EXPECT_FALSE(main.isVisible());
  EXPECT_TRUE(testing::WaitUntil([&] { return relay.ClientClosed(1); }, 5000));
}

// A guest sees only what the server lets it see: the roads, closed to it, are
// never asked for nor drawn however close it zooms, and it may neither save
// maps nor change its password.
TEST(DeskWithRealServer, AGuestNeverAsksForLayersClosedToIt) {
  DeskSession desk;
  ASSERT_TRUE(desk.Start("invitado", "")) << desk.Why().toStdString();
  frmMain& main = desk.main();
  ASSERT_NE(desk.OpenFromMapList("Ciudad"), nullptr);
  ASSERT_TRUE(desk.After([] {})) << desk.Why().toStdString();
  Viewer& viewer = desk.viewer();
  const WireRelay& relay = desk.relay();
  const TestData& data = desk.server().data();
  EXPECT_EQ(ExpectOnlyNewCellsOfTheView(relay, 4, viewer),
            (std::set<Cell>{{data.places, 1157, 797}}));

  const QPoint middle(viewer.width() / 2, viewer.height() / 2);
  std::size_t mark = relay.requests().size();
  ASSERT_TRUE(desk.PanBy(Pixel(viewer.view().GeoToSurface(-100.2, 25.3)), middle));
  ExpectOnlyNewCellsOfTheView(relay, mark, viewer);
  for (int step = 1; step <= 2; ++step) {
    mark = relay.requests().size();
    ASSERT_TRUE(desk.After([&] { main.ToolbarButton("Zoom In")->trigger(); }))
        << desk.Why().toStdString();
    ExpectOnlyNewCellsOfTheView(relay, mark, viewer);
  }
  EXPECT_LT(viewer.CurrentZoom(), 50) << "close enough for the roads";
  for (const Cell& cell : CellRequests(relay)) EXPECT_EQ(std::get<0>(cell), data.places);
  EXPECT_FALSE(InkAt(viewer, viewer.SavedPicture(), -100.10, 25.205)) << "no road drawn";
  EXPECT_EQ(ComboItems(main), QStringList{"Lugares"});
  for (const char* item : {"mnuSaveMap", "mnuSaveAs", "mnuChangePassword"}) {
    EXPECT_FALSE(main.MenuItem(item)->isEnabled()) << item;
  }
  EXPECT_FALSE(main.ToolbarButton("SaveMap")->isEnabled());
  EXPECT_TRUE(desk.ui().shown.empty()) << desk.ui().shown.front().text;
}

#else

TEST(DeskWithRealServer, OpensAMapAndNavigatesAskingOnlyForWhatTheViewLacks) {
  GTEST_SKIP() << "this build has no map server program (orvenda-server) to run";
}

#endif

}  // namespace
}  // namespace orvenda
