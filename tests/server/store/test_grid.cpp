#include <gtest/gtest.h>

#include "store/grid.h"

namespace orvenda::server {
namespace {

TEST(Grid, CellIndicesRoundToNearestWithHalvesToEven) {
  struct Row {
    const char* name;
    Point p;
    float delta;
    CellKey want;
  };
  const Row rows[] = {
      {"quarter past the corner", {-179.75, -89.75}, 0.5f, {0, 0}},  // N(0.5) = 0
      {"three quarters", {-179.25, -89.25}, 0.5f, {2, 2}},           // N(1.5) = 2
      {"origin", {0, 0}, 1.0f, {90, 180}},
      {"east edge", {180, 90}, 1.0f, {180, 360}},
      {"half below even", {-177.5, -87.5}, 1.0f, {2, 2}},  // N(2.5) = 2
      {"half above odd", {-176.5, -86.5}, 1.0f, {4, 4}},   // N(3.5) = 4
  };
  for (const Row& r : rows) {
    LayerGrid g;
    g.cellWidth = g.cellHeight = r.delta;
    EXPECT_EQ(cellOfPoint(r.p, g), r.want) << r.name;
  }
}

TEST(Grid, ABoxCoversTheCellsOfItsCornersRowByRow) {
  auto cells = cellsOfBox({-1.2, -0.4, 0.9, 0.2}, 1.0f, 0.5f);
  // rows N(179.2)=179 .. N(180.4)=180; columns N(178.8)=179 .. N(180.9)=181
  std::vector<CellKey> want;
  for (int r = 179; r <= 180; ++r)
    for (int c = 179; c <= 181; ++c) want.push_back({r, c});
  EXPECT_EQ(cells, want);
  EXPECT_EQ(cellsOfBox({5, 5, 5, 5}, 10, 10).size(), 1u);
}

}  // namespace
}  // namespace orvenda::server
