#include "render/pixelbuffer.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace orvenda {
namespace {

// Lays `pixel` over (major, minor) with `coverage`, the axes swapped back when
// the line runs mostly vertically.
inline void Plot(const PixelBuffer& into, int major, int minor, bool steep, std::uint32_t pixel,
                 std::uint32_t coverage) {
  const int x = steep ? minor : major;
  const int y = steep ? major : minor;
  if (coverage == 0 || !into.Contains(x, y)) {
    return;
  }
  std::uint32_t& under = into.Row(y)[x];
  under = coverage >= 256 ? pixel : BlendPixel(under, pixel, coverage);
}

}  // namespace

void SmoothLine(const PixelBuffer& into, PixelPoint from, PixelPoint to, std::uint32_t pixel,
                bool withEnd) {
  // Walk the major axis one pixel at a time; the minor position is kept in
  // 16.16 fixed point, its fraction splitting the colour between two pixels.
  std::int64_t dx = static_cast<std::int64_t>(to.x) - from.x;
  std::int64_t dy = static_cast<std::int64_t>(to.y) - from.y;
  const bool steep = std::llabs(dy) > std::llabs(dx);
  std::int64_t major0 = steep ? from.y : from.x;
  std::int64_t minor0 = steep ? from.x : from.y;
  std::int64_t length = steep ? dy : dx;
  std::int64_t rise = steep ? dx : dy;
  const int limit = steep ? into.height : into.width;
  if (length == 0) {
    if (withEnd) Plot(into, static_cast<int>(major0), static_cast<int>(minor0), steep, pixel, 256);
    return;
  }
  const int step = length > 0 ? 1 : -1;
  const std::int64_t count = std::llabs(length) + (withEnd ? 1 : 0);
  // The steps that land inside the buffer along the major axis.
  std::int64_t first = 0;
  std::int64_t last = count - 1;
  if (step > 0) {
    first = std::max<std::int64_t>(first, -major0);
    last = std::min<std::int64_t>(last, limit - 1 - major0);
  } else {
    first = std::max<std::int64_t>(first, major0 - (limit - 1));
    last = std::min<std::int64_t>(last, major0);
  }
  const std::int64_t gradient = (rise * 65536) / std::llabs(length);
  for (std::int64_t i = first; i <= last; ++i) {
    const std::int64_t minor = minor0 * 65536 + i * gradient;
    const std::int64_t whole = minor >> 16;  // floor, also below zero
    const auto fraction = static_cast<std::uint32_t>((minor & 0xFFFF) >> 8);
    const int major = static_cast<int>(major0 + i * step);
    Plot(into, major, static_cast<int>(whole), steep, pixel, 256 - fraction);
    Plot(into, major, static_cast<int>(whole + 1), steep, pixel, fraction);
  }
}

}  // namespace orvenda
