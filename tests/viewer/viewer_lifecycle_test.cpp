// The Viewer's start-up and its status lines, driven through an in-memory socket
// with the test playing the map server.
#include <gtest/gtest.h>

#include <QLabel>

#include "protocol/connecttoserver.h"
#include "viewer/statuslist.h"
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
  const int redraws = rig.redrawn.count();
  for (std::size_t n = 0; n + 1 < cells.size(); ++n) {
    rig.ReplyCell(7, cells[n][1], cells[n][2], {{0.5, 0.5, 1.5, 1.5}});
  }
  EXPECT_EQ(rig.redrawn.count(), redraws) << "no MapRedrawn while requests are pending";
  rig.ReplyCell(7, cells.back()[1], cells.back()[2]);
  EXPECT_GT(rig.redrawn.count(), redraws);
  EXPECT_EQ(rig.viewer->StatusCaption(), "");
  EXPECT_TRUE(rig.sock.sent().empty()) << "nothing asked twice";
  EXPECT_EQ(rig.viewer->layers().Item("7")->Entidades.count(), 8);
  // (The picture drawn is the tool tests' starting point.)
}

// A layer whose cells nobody can compute (a cell size of 0 from the server) is
// skipped with one status line; the other layers load and navigation goes on.
TEST(ViewerGrid, ALayerWithCellSizeZeroIsSkippedWithOneStatusLine) {
  testing::ViewerRig rig;
  testing::LayerDef roads;
  roads.minCol = 80, roads.maxCol = 100, roads.minRow = 170, roads.maxRow = 190;
  testing::LayerDef broken = roads;
  broken.name = "Rotas";
  broken.id = 8;
  broken.delta = 0;
  EXPECT_NO_THROW(rig.Open({roads, broken}));
  EXPECT_NO_THROW(rig.viewer->ZoomOut());
  const auto cells = rig.CellRequests();
  EXPECT_FALSE(cells.empty());
  for (const auto& c : cells) {
    EXPECT_EQ(c[0], roads.id);
    rig.ReplyCell(c[0], c[1], c[2]);
  }
  EXPECT_EQ(rig.viewer->StatusCaption(), "Layer Rotas skipped: its grid cells cannot be computed.");
}

// A map of no layers (its arrays of size 0) opens, draws its background and moves.
TEST(ViewerLifecycle, AMapWithoutLayersOpens) {
  testing::ViewerRig rig;
  EXPECT_NO_THROW(rig.Open({}));
  EXPECT_EQ(rig.viewer->PendingRequests(), 0);
  EXPECT_NO_THROW(rig.viewer->ZoomOut());
  EXPECT_TRUE(rig.CellRequests().empty());
  EXPECT_FALSE(rig.viewer->Picture().isNull());
}

// The rules of the status lines: requests of a kind counted on one line, a reply
// taking one off its request, an end removing its line and the last line moving
// into the freed place. (Their texts show in the tests above.)
TEST(StatusList, RulesOfPosting) {
  struct Row {
    std::vector<std::pair<std::int32_t, int>> posts;  // layer, kind
    std::string caption;
    std::size_t entries;
  };
  const Row rows[] = {
      {{{0, 0}, {0, 1}, {0, 101}}, "", 0},
      {{{7, 10}, {7, 10}, {7, 11}}, "Requesting Layer Roads (1)\nLoading Layer Roads", 2},
      {{{7, 10}, {7, 11}}, "Loading Layer Roads", 1},
      {{{7, 10}, {7, 20}, {9, 40}, {7, 110}},
       "Requesting Theme Information Schools (1)\nRequesting Labels Roads (1)",
       2},
      {{{7, 50}, {7, 10}}, "Requesting Layer Roads (1)", 2},  // a kind without a text
  };
  for (const Row& row : rows) {
    StatusList list;
    for (const auto& [layer, kind] : row.posts) {
      list.Post(layer, kind, [](std::int32_t id) { return id == 7 ? "Roads" : "Schools"; });
    }
    EXPECT_EQ(list.Caption(), row.caption);
    EXPECT_EQ(list.entries().size(), row.entries) << row.caption;
  }
}

}  // namespace
}  // namespace orvenda
