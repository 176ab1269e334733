// Grid cell arithmetic shared by the store, the importer and the handlers. It repeats
// the client's rounding exactly: nearest integer with halves to even, rows from
// latitude and columns from longitude, quotients computed from 32-bit floats as the
// client's CellsInBox does.
#pragma once

#include <vector>

#include "store/store.h"

namespace orvenda::server {

// Index of the cell holding a position along one axis: N((v + offset) / delta).
std::int32_t cellIndex(double value, double offset, float delta);

CellKey cellOfPoint(const Point& p, const LayerGrid& grid);

// How many cells the box covers, without listing them.
std::int64_t cellCountOfBox(const Box& box, float cellWidth, float cellHeight);

// Every cell that the box covers (the range of indices of its corners), row by row.
std::vector<CellKey> cellsOfBox(const Box& box, float cellWidth, float cellHeight);

// The box of a list of points; all zero for an empty list.
Box boxOf(const std::vector<Point>& points);

}  // namespace orvenda::server
