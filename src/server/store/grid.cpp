#include "store/grid.h"

#include <cfenv>
#include <cmath>

namespace orvenda::server {

std::int32_t cellIndex(double value, double offset, float delta) {
  // The client converts coordinates to Single before dividing; do the same so that
  // both sides agree on positions that fall near a cell boundary.
  const float v = static_cast<float>(value);
  const double q = (static_cast<double>(v) + offset) / static_cast<double>(delta);
  // nearbyint rounds halves to even under the default rounding mode.
  return static_cast<std::int32_t>(std::nearbyint(q));
}

CellKey cellOfPoint(const Point& p, const LayerGrid& grid) {
  return {cellIndex(p.y, 90.0, grid.cellHeight), cellIndex(p.x, 180.0, grid.cellWidth)};
}

std::int64_t cellCountOfBox(const Box& box, float cellWidth, float cellHeight) {
  const std::int64_t rows = std::int64_t{cellIndex(box.maxY, 90.0, cellHeight)} -
                            cellIndex(box.minY, 90.0, cellHeight) + 1;
  const std::int64_t cols = std::int64_t{cellIndex(box.maxX, 180.0, cellWidth)} -
                            cellIndex(box.minX, 180.0, cellWidth) + 1;
  return std::max<std::int64_t>(rows, 0) * std::max<std::int64_t>(cols, 0);
}

std::vector<CellKey> cellsOfBox(const Box& box, float cellWidth, float cellHeight) {
  const std::int32_t rowLo = cellIndex(box.minY, 90.0, cellHeight);
  const std::int32_t rowHi = cellIndex(box.maxY, 90.0, cellHeight);
  const std::int32_t colLo = cellIndex(box.minX, 180.0, cellWidth);
  const std::int32_t colHi = cellIndex(box.maxX, 180.0, cellWidth);
  std::vector<CellKey> cells;
  for (std::int32_t r = rowLo; r <= rowHi; ++r)
    for (std::int32_t c = colLo; c <= colHi; ++c) cells.push_back({r, c});
  return cells;
}

Box boxOf(const std::vector<Point>& points) {
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
