// A layer whose cells nobody can compute (a cell size of 0 from the server) is skipped
// with one status line; the other layers load and navigation goes on.
#include <gtest/gtest.h>

#include "viewer_rig.h"

namespace orvenda {
namespace {

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

}  // namespace
}  // namespace orvenda
