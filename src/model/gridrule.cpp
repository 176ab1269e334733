#include "model/gridrule.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace orvenda {

int64_t GridRange::Count() const {
  if (Empty()) return 0;
  const int64_t rows = int64_t{rowHi} - rowLo + 1;
  const int64_t cols = int64_t{colHi} - colLo + 1;
  // Up to 2^64 cells: a double holds that, and the cut keeps the cast defined.
  const double cells = static_cast<double>(rows) * static_cast<double>(cols);
  return static_cast<int64_t>(std::min(cells, 9.0e18));
}

bool IsValidCellSize(float size) { return size > 0 && std::isfinite(size); }

int32_t GridIndex(double value, float origin, float size) {
  if (!IsValidCellSize(size)) {
    throw std::range_error("grid cell size " + std::to_string(size) + " is not above 0");
  }
  // Named floats: each step is rounded to single precision, whatever the compiler
  // would otherwise keep in wider registers.
  const auto single = static_cast<float>(value);
  const float sum = single + origin;
  const float quotient = sum / size;
  // Halves to even under the default rounding mode.
  const float n = std::nearbyint(quotient);
  // 2^31 is exact as a float; INT32_MAX is not.
  if (!(n >= -2147483648.0f && n < 2147483648.0f)) {
    throw std::range_error("grid cell index out of range");
  }
  return static_cast<int32_t>(n);
}

GridCell GridCellOfPoint(double x, double y, float cellWidth, float cellHeight) {
  return {GridIndex(y, kGridOriginY, cellHeight), GridIndex(x, kGridOriginX, cellWidth)};
}

GridRange GridCellsOfBox(double minX, double minY, double maxX, double maxY, float cellWidth,
                         float cellHeight, const std::optional<GridBounds>& bounds) {
  GridRange r{GridIndex(minY, kGridOriginY, cellHeight), GridIndex(maxY, kGridOriginY, cellHeight),
              GridIndex(minX, kGridOriginX, cellWidth), GridIndex(maxX, kGridOriginX, cellWidth)};
  if (bounds) {
    r.rowLo = std::max(r.rowLo, bounds->firstRow);
    r.rowHi = std::min(std::max(r.rowHi, bounds->firstRow), bounds->lastRow);
    r.colLo = std::max(r.colLo, bounds->firstColumn);
    r.colHi = std::min(std::max(r.colHi, bounds->firstColumn), bounds->lastColumn);
  }
  return r;
}

}  // namespace orvenda
