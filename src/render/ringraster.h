#pragma once
// RingRaster: solid fills of rings straight into a PixelBuffer, row by row.
//
// A pixel is painted when its centre lies inside the ring under the alternate
// (even-odd) rule. Vertices sit on pixel centres (smooth drawing, where the
// outline runs through the centres) or on pixels' top-left corners (hard-edged
// drawing, as the painter places whole-number positions). Ties are settled so that rings sharing an
// edge neither paint a pixel twice nor leave a gap between them: an edge owns the rows from its
// upper end down to, not including, its lower end, and a span the pixels from
// its left crossing up to, not including, its right one. Crossings are computed
// in whole numbers, so no rounding moves a pixel from one ring to the next.

#include <cstdint>
#include <span>
#include <vector>

#include "render/pixelbuffer.h"

namespace orvenda {

enum class VertexPlace { kPixelCentre, kPixelCorner };

class RingRaster {
 public:
  // Paints `pixel` into the ring's inside. The scratch space is kept for the
  // next ring, so a redraw allocates only while its rings keep growing.
  void Fill(const PixelBuffer& into, std::span<const PixelPoint> ring, std::uint32_t pixel,
            VertexPlace place = VertexPlace::kPixelCentre);

 private:
  // In half pixels: pixel x spans 2x to 2x + 2, its centre at 2x + 1.
  struct Edge {
    std::int64_t x0;  // at the upper end, less the half pixel of a centre
    std::int64_t y0;
    std::int64_t dx;
    std::int64_t dy;  // > 0
    int firstRow;     // within the buffer
    int endRow;       // one past the last row
    // The first pixel whose centre is at or right of the crossing with row y.
    [[nodiscard]] std::int32_t CrossingAt(int y) const;
  };

  // An edge crossing the current row, and where.
  struct Active {
    std::int32_t x;
    const Edge* edge;
  };

  void CollectEdges(const PixelBuffer& into, std::span<const PixelPoint> ring, VertexPlace place);
  // `joined`: edges added at the end of the active list for this row.
  void FillRow(const PixelBuffer& into, int y, std::uint32_t pixel, std::size_t joined);

  std::vector<Edge> edges_;  // sorted by firstRow
  // Kept in the order of the last row's crossings, which the next row mostly keeps.
  std::vector<Active> active_;
};

}  // namespace orvenda
