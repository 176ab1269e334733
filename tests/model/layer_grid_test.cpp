#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <stdexcept>
#include <utility>
#include <vector>

#include "model/gridrule.h"
#include "model/layer.h"

namespace orvenda {
namespace {

using Pairs = std::vector<std::pair<int32_t, int32_t>>;  // (row, column)

Pairs RowsColumns(const layer::CellList& cells) {
  Pairs out;
  for (std::size_t k = 0; k < cells.rows.size(); ++k)
    out.emplace_back(cells.rows[k], cells.columns[k]);
  return out;
}

// Rows bounded by minCol..maxCol, columns by minRow..maxRow, as the server sends them.
void Grid(layer& lay, float dx, float dy,
          std::array<int32_t, 4> b = {INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX}) {
  lay.GridDeltaX = dx;
  lay.GridDeltaY = dy;
  lay.minCol = b[0];
  lay.maxCol = b[1];
  lay.minRow = b[2];
  lay.maxRow = b[3];
}

// Cells worked out by hand in single precision. GetRowColumn, CellOfPoint and the box
// of the point alone must all answer them.
TEST(LayerGrid, RowAndColumnRoundHalvesToEvenInSinglePrecision) {
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  struct Row {
    const char* name;
    double x, y;
    float dx, dy;
    Pairs want;  // empty: std::range_error
  };
  const Row rows[] = {
      {"first cell centre quarter", -179.75, -89.75, 0.5f, 0.5f, {{0, 0}}},  // N(0.5)
      {"halves to even", -179.25, -89.25, 0.5f, 0.5f, {{2, 2}}},             // N(1.5)
      {"below the origin", -181, -91, 1, 1, {{-1, -1}}},
      {"each axis its own delta", 0, 0, 2, 0.25f, {{360, 90}}},
      {"east and north edges", 180, 90, 0.25f, 0.25f, {{720, 1440}}},
      {"7.5 degree cells", 3.75, -82.5, 7.5f, 7.5f, {{1, 24}}},  // N(1), N(24.5)
      // Floats first: -179.5 and -89.875 exactly (1 and 1 in double precision).
      {"a hair above a half", -179.5 + 1e-9, -89.875 + 1e-6, 1, 0.25f, {{0, 0}}},
      // Float sums and quotients: N(449.50000093) and N(1923.5000324) in double.
      {"tenth-degree cells", 12.35, -45.05, 0.1f, 0.1f, {{450, 1924}}},
      {"lowest 32-bit index", -2147483828.0, 0, 1, 1, {{90, INT32_MIN}}},
      {"index 2^31", 2147483468.0, 0, 1, 1, {}},
      {"cell size 0", 1, 1, 0, 1, {}},
      {"negative cell size", 1, 1, 1, -1, {}},
      {"NaN cell size", 1, 1, kNaN, 1, {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    layer lay;
    Grid(lay, r.dx, r.dy);
    Pairs got(3);
    if (r.want.empty()) {
      EXPECT_THROW(layer::GetRowColumn(r.x, r.y, r.dx, r.dy, got[0].first, got[0].second),
                   std::range_error);
      EXPECT_THROW(static_cast<void>(lay.CellsInBox(r.x, r.y, r.x, r.y)), std::range_error);
      continue;
    }
    layer::GetRowColumn(r.x, r.y, r.dx, r.dy, got[0].first, got[0].second);
    EXPECT_TRUE(lay.CellOfPoint(r.x, r.y, got[1].second, got[1].first));
    got[2] = RowsColumns(lay.CellsInBox(r.x, r.y, r.x, r.y)).at(0);
    EXPECT_EQ(got, Pairs(3, r.want[0]));
  }
}

TEST(LayerGrid, CellsInBoxRowMajorWithinTheServerBounds) {
  struct Row {
    const char* name;
    std::array<int32_t, 4> bounds;  // minCol, maxCol (rows); minRow, maxRow (columns)
    std::array<double, 4> box;
    Pairs want;
  };
  const Row rows[] = {
      {"row by row",
       {0, 360, 0, 720},
       {-180, -90, -179.5, -89.5},
       {{0, 0}, {0, 1}, {1, 0}, {1, 1}}},
      {"rows: minCol..maxCol", {8, 10, 0, 720}, {-180, -90, -180, -80}, {{8, 0}, {9, 0}, {10, 0}}},
      {"columns: minRow..maxRow", {0, 360, 100, 101}, {-180, -90, 180, -90}, {{0, 100}, {0, 101}}},
      {"upper corner raised to the bounds", {5, 6, 100, 101}, {-180, -90, -179, -89}, {{5, 100}}},
      {"beyond the last row", {0, 10, 0, 720}, {0, 0, 1, 1}, {}},
      {"beyond the last column", {0, 360, 0, 10}, {0, 0, 1, 1}, {}},
      {"inverted box", {0, 360, 0, 720}, {10, 10, 0, 0}, {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    layer lay;
    Grid(lay, 0.5f, 0.5f, r.bounds);
    const layer::CellList cells = lay.CellsInBox(r.box[0], r.box[1], r.box[2], r.box[3]);
    EXPECT_EQ(RowsColumns(cells), r.want);
    EXPECT_EQ(cells.count(), static_cast<int32_t>(r.want.size()));
  }
  EXPECT_EQ(GridCellsOfBox(0, 0, 20, 10, 0.5f, 0.5f).Count(), 21 * 41);
  // A cell size of 0 (or less, or not a number) gives no grid at all.
  for (const float size : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) {
    EXPECT_FALSE(IsValidCellSize(size)) << size;
  }
  EXPECT_TRUE(IsValidCellSize(1e-6f));
}

// The distinct cells of an element's vertices, in vertex order. (Which cells were asked
// for: the visible-data and cell-loading tests.)
TEST(LayerGrid, EntityCells) {
  layer lay;
  Grid(lay, 1, 1);
  lay.Tipo = polylinelayer;
  const std::vector<Point> line = {
      {-179.9, -89.9}, {-179.8, -89.8}, {-178.9, -89.9}, {-178.9, -88.9}};
  lay.Entidades.Add(5, line, &lay);
  const auto cells = lay.EntityCells(5);
  EXPECT_EQ(cells.columns, (std::vector<int32_t>{0, 1, 1}));
  EXPECT_EQ(cells.rows, (std::vector<int32_t>{0, 0, 1}));
  EXPECT_THROW(static_cast<void>(lay.EntityCells(6)), std::out_of_range);
}

}  // namespace
}  // namespace orvenda
