#include "store/grid.h"

#include <algorithm>

#include "model/gridrule.h"

namespace orvenda::server {

CellKey CellOfPoint(const Point& p, const LayerGrid& grid) {
  const GridCell c = GridCellOfPoint(p.x, p.y, grid.cellWidth, grid.cellHeight);
  return {c.row, c.column};
}

std::int64_t CellCountOfBox(const Box& box, float cellWidth, float cellHeight) {
  return GridCellsOfBox(box.minX, box.minY, box.maxX, box.maxY, cellWidth, cellHeight).Count();
}

std::vector<CellKey> CellsOfBox(const Box& box, float cellWidth, float cellHeight) {
  std::vector<CellKey> cells;
  GridCellsOfBox(box.minX, box.minY, box.maxX, box.maxY, cellWidth, cellHeight)
      .ForEach([&cells](GridCell c) {
        cells.push_back({c.row, c.column});
      });
  return cells;
}

Box BoxOf(const std::vector<Point>& points) {
  if (points.empty()) return {};
  Box b{points[0].x, points[0].y, points[0].x, points[0].y};
  for (const Point& p : points) {
    b.minX = std::min(b.minX, p.x);
    b.minY = std::min(b.minY, p.y);
    b.maxX = std::max(b.maxX, p.x);
    b.maxY = std::max(b.maxY, p.y);
  }
  return b;
}

}  // namespace orvenda::server
