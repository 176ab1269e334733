// The Viewer's start-up, driven through an in-memory socket with the test
// playing the map server.
#include <gtest/gtest.h>

#include <QLabel>

#include "protocol/connecttoserver.h"
#include "viewer_rig.h"

namespace orvenda {
namespace {

using testing::LayerDef;
using testing::ViewerRig;

// (The sixty-second limit of the wait is the protocol tests' business.)
TEST(ViewerLifecycle, AFailedConnectionShowsTheMessageAndStops) {
  ViewerRig rig;
  rig.sock.connectTo = Connection::kError;
  rig.Show();
  ASSERT_EQ(rig.ui.shown.size(), 1u);
  EXPECT_EQ(rig.ui.shown[0].text, ConnectionFailureText());
  EXPECT_TRUE(rig.sock.sent().empty());
  EXPECT_FALSE(rig.viewer->findChild<QLabel*>("lblCompany")->isVisible())
      << "the show stops before the caption is placed";
}

// The exchange itself is the protocol tests' business; here, what the control
// shows of it.
TEST(ViewerLifecycle, TheOpeningAsTheControlShowsIt) {
  ViewerRig rig;
  const std::vector<LayerDef> layers = {LayerDef{}};
  rig.Show();
  rig.viewer->hide();
  rig.viewer->show();
  EXPECT_EQ(rig.sock.connectCalls(), 1) << "only the first show connects";
  EXPECT_EQ(rig.sock.sent().size(), 1u) << "the request of the map";
  EXPECT_EQ(rig.viewer->findChild<QLabel*>("lblstatus")->text(), "Requesting Map.");
  const auto* company = rig.viewer->findChild<QLabel*>("lblCompany");
  EXPECT_TRUE(company->isVisible());
  EXPECT_EQ(company->y(), rig.viewer->height() - company->height() - 10);

  QSignalSpy loaded(rig.viewer.get(), &Viewer::MapLoaded);
  rig.ReplyOpenMap();
  rig.ReplyMapDefinition(layers);
  EXPECT_EQ(loaded.count(), 1);
  rig.sock.ClearSent();
  rig.ReplyAccessLevels(layers);
  // The whole map fits the square view: nine cells of layer 7.
  const auto cells = rig.CellRequests();
  ASSERT_EQ(cells.size(), 9u);
  EXPECT_EQ(rig.viewer->StatusCaption(), "Requesting Layer Roads (9)");
  rig.sock.ClearSent();
  const int redraws = rig.redrawn->count();
  for (std::size_t n = 0; n + 1 < cells.size(); ++n) {
    rig.ReplyCell(7, cells[n][1], cells[n][2], {{0.5, 0.5, 1.5, 1.5}});
  }
  EXPECT_EQ(rig.redrawn->count(), redraws) << "no MapRedrawn while requests are pending";
  rig.ReplyCell(7, cells.back()[1], cells.back()[2]);
  EXPECT_GT(rig.redrawn->count(), redraws);
  EXPECT_EQ(rig.viewer->StatusCaption(), "");
  EXPECT_TRUE(rig.sock.sent().empty()) << "nothing asked twice";
  EXPECT_EQ(rig.viewer->layers().Item("7")->Entidades.count(), 8);
  // The line from (0.5, 0.5) to (1.5, 1.5) crosses the middle of the picture
  // (300 pixels for 2 degrees); the corners keep the map's white background.
  const QImage picture = rig.viewer->Picture();
  EXPECT_EQ(picture.pixelColor(150, 150), QColor(Qt::black));
  EXPECT_EQ(picture.pixelColor(5, 150), QColor(Qt::white));
}

}  // namespace
}  // namespace orvenda
