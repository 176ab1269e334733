// The server's view of the grid rule of model/gridrule.h, the one the client uses: a
// cell the client asks for holds exactly the elements whose box the same rule puts in
// it. Every function throws std::range_error for a cell size that is not above 0.
#pragma once

#include <vector>

#include "store/store.h"

namespace orvenda::server {

CellKey CellOfPoint(const Point& p, const LayerGrid& grid);

// How many cells the box covers, without listing them.
std::int64_t CellCountOfBox(const Box& box, float cellWidth, float cellHeight);

// Every cell that the box covers (the range of indices of its corners), row by row.
std::vector<CellKey> CellsOfBox(const Box& box, float cellWidth, float cellHeight);

// The box of a list of points; all zero for an empty list.
Box BoxOf(const std::vector<Point>& points);

}  // namespace orvenda::server
