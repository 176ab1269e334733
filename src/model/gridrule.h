#pragma once
// The grid that cuts every layer's data into cells: one rule for the client and the
// map server. The server files an element under the cells its box covers and the
// client asks for the cells its view covers; if the two computed a cell near a
// boundary differently, an element touching the view there would never be delivered.
//
// Cells are counted from longitude -180 and latitude -90. The index along an axis is
// the nearest integer (halves to even) of (value + origin) / size, where the value is
// first held as a 32-bit float and the sum and the quotient are 32-bit floats too, so
// cell 0 is centred on the origin rather than bounded by it. Rows come from latitude,
// columns from longitude.

#include <cstdint>
#include <optional>

namespace orvenda {

inline constexpr float kGridOriginX = 180.0f;  // added to a longitude
inline constexpr float kGridOriginY = 90.0f;   // added to a latitude

struct GridCell {
  int32_t row = 0;
  int32_t column = 0;
  bool operator==(const GridCell&) const = default;
};

// The index limits of a layer's grid, in the order the server sends them.
struct GridBounds {
  int32_t firstRow = 0;
  int32_t firstColumn = 0;
  int32_t lastRow = 0;
  int32_t lastColumn = 0;
};

// Rows rowLo..rowHi by columns colLo..colHi; empty when either range is.
struct GridRange {
  int32_t rowLo = 0;
  int32_t rowHi = -1;
  int32_t colLo = 0;
  int32_t colHi = -1;

  [[nodiscard]] bool Empty() const { return rowLo > rowHi || colLo > colHi; }
  // Number of cells, cut at 9e18.
  [[nodiscard]] int64_t Count() const;
  // Visits every cell row by row, columns ascending within a row.
  template <typename Visit>
  void ForEach(Visit&& visit) const {
    if (Empty()) return;
    for (int64_t row = rowLo; row <= rowHi; ++row) {
      for (int64_t col = colLo; col <= colHi; ++col) {
        visit(GridCell{static_cast<int32_t>(row), static_cast<int32_t>(col)});
      }
    }
  }
};

// A size the rule can divide by: above 0 and finite.
[[nodiscard]] bool IsValidCellSize(float size);

// The cell index of `value` along one axis. Throws std::range_error for a size that is
// not valid (0, negative, NaN, infinite) and for an index beyond 32 bits.
[[nodiscard]] int32_t GridIndex(double value, float origin, float size);

[[nodiscard]] GridCell GridCellOfPoint(double x, double y, float cellWidth, float cellHeight);

// The cells of the corners' indices and every cell between them, cut to `bounds` when
// given: the lower ends are raised to the first row and column, the upper ends raised
// to them too and then lowered to the last ones.
[[nodiscard]] GridRange GridCellsOfBox(double minX, double minY, double maxX, double maxY,
                                       float cellWidth, float cellHeight,
                                       const std::optional<GridBounds>& bounds = std::nullopt);

}  // namespace orvenda
