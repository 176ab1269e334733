// The Viewer's start-up, properties and idle rule, driven through an in-memory
// socket with the test playing the map server.
#include <gtest/gtest.h>

#include <QLabel>
#include <set>

#include "protocol/connecttoserver.h"
#include "render/viewtransform.h"
#include "viewer_rig.h"

namespace orvenda {
namespace {

using testing::LayerDef;
using testing::ViewerRig;

TEST(ViewerLifecycle, ConnectionFailureShowsTheMessageAndStops) {
  ViewerRig rig;
  rig.sock.connectTo = Connection::kError;
  rig.Show();
  ASSERT_EQ(rig.ui.shown.size(), 1u);
  EXPECT_EQ(rig.ui.shown[0].text, ConnectionFailureText());
  EXPECT_EQ(rig.ui.shown[0].title, "Orvenda Viewer");
  EXPECT_EQ(rig.ui.shown[0].icon, MessageIcon::Critical);
  EXPECT_TRUE(rig.sock.sent().empty());
  EXPECT_FALSE(rig.viewer->findChild<QLabel*>("lblCompany")->isVisible())
      << "the show stops before the caption is placed";
}

TEST(ViewerLifecycle, TheConnectLimitIsSixtySecondsOfTheClock) {
  ViewerRig rig;
  rig.sock.connectAfterPumps = 1000000;  // never connects by itself
  int pumps = 0;
  rig.pump.onPump = [&] {
    ++pumps;
    rig.clock.now += 1;
  };
  rig.Show();
  EXPECT_GE(pumps, 59);
  EXPECT_LE(pumps, 61);
  ASSERT_EQ(rig.ui.shown.size(), 1u);
  EXPECT_EQ(rig.ui.shown[0].text, ConnectionFailureText());
}

TEST(ViewerLifecycle, FirstShowConnectsOnceAsksForTheMapAndShowsTheStatus) {
  ViewerRig rig;
  rig.Show();
  rig.viewer->hide();
  rig.viewer->show();
  EXPECT_EQ(rig.sock.connectCalls(), 1);
  EXPECT_EQ(rig.sock.RemoteHost(), "maps.test");
  EXPECT_EQ(rig.sock.RemotePort(), 1001);
  ASSERT_EQ(rig.SentCodes(), std::vector<std::int16_t>{10});
  EXPECT_EQ(rig.sock.sent()[0],
            (testing::Bytes{'M', 'I', 'C', ' ', 18, 0, 0, 0, 10, 0, 42, 0, 0, 0, 3, 0, 0, 0}));
  EXPECT_EQ(rig.viewer->PendingRequests(), 1);
  EXPECT_EQ(rig.viewer->StatusCaption(), "Requesting Map.");
  const auto* status = rig.viewer->findChild<QLabel*>("lblstatus");
  EXPECT_TRUE(status->isVisible());
  EXPECT_EQ(status->text(), "Requesting Map.");
  const auto* company = rig.viewer->findChild<QLabel*>("lblCompany");
  EXPECT_TRUE(company->isVisible());
  EXPECT_EQ(company->x(), 10);
  EXPECT_EQ(company->y(), rig.viewer->height() - company->height() - 10);
}

TEST(ViewerLifecycle, TheWholeOpeningSequence) {
  ViewerRig rig;
  const std::vector<LayerDef> layers = {LayerDef{}};
  rig.Show();
  rig.ReplyOpenMap();
  EXPECT_EQ(rig.SentCodes(), (std::vector<std::int16_t>{10, 1}));
  rig.ReplyMapDefinition(layers);
  EXPECT_EQ(rig.loaded->count(), 1);
  EXPECT_EQ(rig.viewer->map().Nombre, "Test map");
  EXPECT_EQ(rig.viewer->layers().count(), 1);
  EXPECT_EQ(rig.SentCodes(), (std::vector<std::int16_t>{10, 1, 11}));
  EXPECT_FALSE(rig.viewer->map().layerscargados);
  rig.sock.ClearSent();
  rig.ReplyAccessLevels(layers);

  // The whole map fits the square view: cells 90..92 x 180..182 of layer 7.
  EXPECT_TRUE(rig.viewer->map().layerscargados);
  const auto cells = rig.CellRequests();
  std::set<std::array<std::int32_t, 3>> got(cells.begin(), cells.end());
  std::set<std::array<std::int32_t, 3>> want;
  for (std::int32_t i = 90; i <= 92; ++i) {
    for (std::int32_t j = 180; j <= 182; ++j) want.insert({7, i, j});
  }
  EXPECT_EQ(got, want);
  EXPECT_EQ(cells.size(), 9u) << "no cell twice";
  EXPECT_EQ(rig.viewer->PendingRequests(), 9);
  EXPECT_EQ(rig.viewer->StatusCaption(), "Requesting Layer Roads (9)");

  const int redrawsBefore = rig.redrawn->count();
  rig.sock.ClearSent();
  for (std::size_t n = 0; n + 1 < cells.size(); ++n) {
    rig.ReplyCell(7, cells[n][1], cells[n][2], {{0.5, 0.5, 1.5, 1.5}});
  }
  EXPECT_EQ(rig.redrawn->count(), redrawsBefore) << "no MapRedrawn while requests are pending";
  EXPECT_EQ(rig.viewer->StatusCaption(), "Requesting Layer Roads (1)");
  rig.ReplyCell(7, cells.back()[1], cells.back()[2]);
  EXPECT_EQ(rig.viewer->PendingRequests(), 0);
  EXPECT_GT(rig.redrawn->count(), redrawsBefore);
  EXPECT_EQ(rig.viewer->StatusCaption(), "");
  EXPECT_TRUE(rig.sock.sent().empty()) << "nothing asked twice";
  EXPECT_EQ(rig.viewer->layers().Item("7")->Entidades.count(), 8);
  // The line from (0.5, 0.5) to (1.5, 1.5) crosses the middle of the picture
  // (300 pixels for 2 degrees); the corners keep the map's white background.
  const QImage picture = rig.viewer->Picture();
  EXPECT_EQ(picture.pixelColor(150, 150), QColor(Qt::black));
  EXPECT_EQ(picture.pixelColor(5, 150), QColor(Qt::white));
}

TEST(ViewerLifecycle, OnlyCellsNotRequestedBeforeAreAskedAfterANewView) {
  ViewerRig rig;
  LayerDef wide;
  wide.minCol = 80, wide.maxCol = 100, wide.minRow = 170, wide.maxRow = 190;
  rig.Open({wide});
  rig.viewer->ZoomOut();  // twice the extent: a ring of cells around the first nine
  const auto cells = rig.CellRequests();
  EXPECT_EQ(cells.size(), 25u - 9u);
  for (const auto& c : cells) {
    EXPECT_FALSE(c[1] >= 90 && c[1] <= 92 && c[2] >= 180 && c[2] <= 182)
        << "cell " << c[1] << "," << c[2] << " was asked before";
  }
}

TEST(ViewerLifecycle, NavigationDoesNothingWhileRequestsArePending) {
  ViewerRig rig;
  rig.Open();
  rig.sock.ClearSent();
  const BoundingBox before = rig.viewer->view().ViewExtents;
  rig.viewer->SetPendingRequests(2);
  float three = 3;
  rig.viewer->ZoomIn();
  rig.viewer->ZoomOut();
  rig.viewer->ZoomExtents();
  rig.viewer->ZoomWindow();
  rig.viewer->ZoomFactor(three);
  rig.viewer->Pan();
  rig.viewer->MeasureDistance();
  EXPECT_EQ(rig.viewer->toolState().MouseAction, 0);
  EXPECT_EQ(rig.viewer->view().ViewExtents.MinX, before.MinX);
  EXPECT_EQ(rig.viewer->view().ViewExtents.MaxY, before.MaxY);
  EXPECT_TRUE(rig.sock.sent().empty());
  // CurrentZoom answers at any time.
  EXPECT_GT(rig.viewer->CurrentZoom(), 0.0f);
  rig.viewer->SetPendingRequests(0);
  rig.viewer->ZoomIn();
  EXPECT_NE(rig.viewer->view().ViewExtents.MinX, before.MinX);
}

TEST(ViewerLifecycle, PropertiesComeFromTheStoreWithTheirDefaults) {
  ViewerRig rig;
  rig.viewer->SetPendingRequests(3);
  rig.viewer->ReadProperties(PropertyBag{});
  EXPECT_EQ(rig.viewer->URL(), "nada");
  EXPECT_EQ(rig.viewer->port(), 10010);
  EXPECT_EQ(rig.viewer->MapCode(), 1);
  EXPECT_EQ(rig.viewer->IDUser(), 0);
  EXPECT_EQ(rig.viewer->PendingRequests(), 0);

  QSignalSpy announced(rig.viewer.get(), &Viewer::PropertyChanged);
  rig.viewer->Setport(0);
  rig.viewer->SetURL("");
  rig.viewer->SetMapCode(5);
  ASSERT_EQ(announced.count(), 3);
  EXPECT_EQ(announced[0][0].toString(), "Port");
  PropertyBag bag;
  rig.viewer->WriteProperties(bag);
  EXPECT_FALSE(bag.Contains("Port"));
  EXPECT_FALSE(bag.Contains("URL"));
  EXPECT_EQ(bag.ReadLong("MapCode", 0), 5);
}

}  // namespace
}  // namespace orvenda
