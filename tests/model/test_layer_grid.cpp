#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>
#include <vector>

#include "model/layer.h"

namespace orvenda {
namespace {

using Pairs = std::vector<std::pair<int32_t, int32_t>>;  // (row, column)

Pairs RowsColumns(const layer::CellList& cells) {
  Pairs out;
  for (int32_t k = 0; k < cells.count(); ++k) {
    out.emplace_back(cells.rows[static_cast<std::size_t>(k)],
                     cells.columns[static_cast<std::size_t>(k)]);
  }
  return out;
}

void HalfDegreeGrid(layer& lay) {
  lay.GridDeltaX = 0.5f;
  lay.GridDeltaY = 0.5f;
  lay.minCol = 0;    // lowest row
  lay.minRow = 0;    // lowest column
  lay.maxCol = 360;  // highest row
  lay.maxRow = 720;  // highest column
}

TEST(LayerGrid, RowAndColumnRoundHalvesToEven) {
  struct Row {
    const char* name;
    double x, y;
    float dx, dy;
    int32_t row, column;
  };
  const Row rows[] = {
      {"first cell centre quarter", -179.75, -89.75, 0.5f, 0.5f, 0, 0},
      {"halves to even", -179.25, -89.25, 0.5f, 0.5f, 2, 2},
      {"origin of the grid", -180, -90, 1, 1, 0, 0},
      {"half past cell 1 goes to 2", -178.5, -87.5, 1, 1, 2, 2},
      {"half past cell 2 stays 2", -177.5, -87.5, 1, 1, 2, 2},
      {"below the grid origin", -181, -91, 1, 1, -1, -1},
      {"different deltas", 0, 0, 2, 0.25f, 360, 90},
  };
  for (const Row& r : rows) {
    int32_t row = -99;
    int32_t column = -99;
    layer::GetRowColumn(r.x, r.y, r.dx, r.dy, row, column);
    EXPECT_EQ(row, r.row) << r.name;
    EXPECT_EQ(column, r.column) << r.name;
  }
  int32_t row = 0;
  int32_t column = 0;
  EXPECT_THROW(layer::GetRowColumn(1, 1, 0, 1, row, column), std::range_error);
  layer lay;
  HalfDegreeGrid(lay);
  EXPECT_TRUE(lay.CellOfPoint(-179.25, -89.75, column, row));
  EXPECT_EQ(column, 2);
  EXPECT_EQ(row, 0);
}

TEST(LayerGrid, CellsInBoxRowMajorWithinTheServerBounds) {
  layer lay;
  HalfDegreeGrid(lay);
  EXPECT_EQ(RowsColumns(lay.CellsInBox(-179.75, -89.75, -179.25, -89.25)),
            (Pairs{{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}, {2, 0}, {2, 1}, {2, 2}}));

  // A view lying wholly beyond the last row yields nothing.
  lay.maxCol = 10;
  EXPECT_EQ(lay.CellsInBox(0, 0, 1, 1).count(), 0);
  // A lower corner below the first row starts at it; rows stop at the last.
  lay.minCol = 8;
  EXPECT_EQ(RowsColumns(lay.CellsInBox(-179.75, -89.75, -179.75, -80)),
            (Pairs{{8, 0}, {9, 0}, {10, 0}}));

  // minCol/maxCol bound rows (latitude), minRow/maxRow bound columns.
  layer wide;
  HalfDegreeGrid(wide);
  wide.minCol = 5;
  wide.maxCol = 6;
  wide.minRow = 100;
  wide.maxRow = 101;
  EXPECT_EQ(RowsColumns(wide.CellsInBox(-180, -90, 180, 90)),
            (Pairs{{5, 100}, {5, 101}, {6, 100}, {6, 101}}));
  // Inverted box: nothing.
  layer full;
  HalfDegreeGrid(full);
  EXPECT_EQ(full.CellsInBox(10, 10, 0, 0).count(), 0);
  EXPECT_EQ(full.CellsInBox(0, 0, 10, 10).count(), 21 * 21);
}

TEST(LayerGrid, CellsInBoxWorksInSinglePrecision) {
  layer lay;
  HalfDegreeGrid(lay);
  lay.GridDeltaX = 1;
  lay.GridDeltaY = 1;
  // In double precision the quotient is 0.5 + 1e-9, cell 1; the corner held
  // as a float is exactly -179.5, quotient 0.5, cell 0.
  const double x = -179.5 + 1e-9;
  int32_t row = 0;
  int32_t column = 0;
  layer::GetRowColumn(x, 0, 1, 1, row, column);
  EXPECT_EQ(column, 1);
  const auto cells = lay.CellsInBox(x, -89.8, x, -89.8);
  ASSERT_EQ(cells.count(), 1);
  EXPECT_EQ(cells.columns[0], 0);
  EXPECT_EQ(cells.rows[0], 0);
}

TEST(LayerGrid, RequestedCellRegistersAreSeparateAndKeepDuplicates) {
  layer lay;
  lay.CeldaSolicitada(3, 4);
  lay.CeldaSolicitada(3, 4);
  lay.CeldaSolicitada(-1, 7);
  lay.LabelCellSolicitada(4, 3);
  lay.DirectionCellSolicitada(9, 9);
  EXPECT_EQ(lay.RequestedCells().count(), 3);
  EXPECT_EQ(lay.RequestedCells().Cells()[2], (CellIndex{-1, 7}));
  EXPECT_TRUE(lay.IsCellRequested(3, 4));
  EXPECT_TRUE(lay.IsCellRequested(-1, 7));
  EXPECT_FALSE(lay.IsCellRequested(4, 3));
  EXPECT_FALSE(lay.IsCellRequested(7, -1));
  EXPECT_TRUE(lay.IsLabelCellRequested(4, 3));
  EXPECT_FALSE(lay.IsLabelCellRequested(3, 4));
  EXPECT_TRUE(lay.IsDirectionCellRequested(9, 9));
  EXPECT_FALSE(lay.IsDirectionCellRequested(3, 4));
  lay.ClearLabels();
  EXPECT_FALSE(lay.IsLabelCellRequested(4, 3));
  EXPECT_EQ(lay.RequestedLabelCells().count(), 0);
  EXPECT_TRUE(lay.IsCellRequested(3, 4));
  EXPECT_TRUE(lay.IsDirectionCellRequested(9, 9));
}

TEST(LayerGrid, EntityCellsDistinctInVertexOrder) {
  layer lay;
  HalfDegreeGrid(lay);
  lay.Tipo = polylinelayer;
  lay.GridDeltaX = 1;
  lay.GridDeltaY = 1;
  const std::vector<Point> line = {
      {-179.9, -89.9}, {-179.8, -89.8}, {-178.9, -89.9}, {-180.1, -90.1}, {-178.9, -88.9}};
  lay.Entidades.Add(5, line, &lay);
  const auto cells = lay.EntityCells(5);
  EXPECT_EQ(cells.columns, (std::vector<int32_t>{0, 1, 1}));
  EXPECT_EQ(cells.rows, (std::vector<int32_t>{0, 0, 1}));
  EXPECT_THROW(static_cast<void>(lay.EntityCells(6)), std::out_of_range);
}

}  // namespace
}  // namespace orvenda
