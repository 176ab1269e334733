#pragma once
// PixelBuffer: rows of 32-bit 0xAARRGGBB pixels (the layout of a QImage in
// Format_RGB32) that the commonest primitives of a map, solid rings with a thin
// outline, are written into directly. A general painter pays per primitive for
// pens, brushes, transforms and clipping; a full redraw of a country map is tens
// of thousands of such rings, so the plain cases skip all of that.
//
// Coordinates are pixel indices: (x, y) is the centre of pixel x of row y.
// Everything outside the buffer is left out.

#include <cstddef>
#include <cstdint>

#include "render/surface.h"

namespace orvenda {

struct PixelBuffer {
  std::uint32_t* bits = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;  // pixels from one row to the next

  [[nodiscard]] std::uint32_t* Row(int y) const { return bits + y * stride; }
  [[nodiscard]] bool Contains(int x, int y) const {
    return x >= 0 && y >= 0 && x < width && y < height;
  }
};

// The opaque pixel value of a Windows colour.
constexpr std::uint32_t OpaquePixel(Colour c) {
  return 0xFF000000U | (static_cast<std::uint32_t>(ColourRed(c)) << 16) |
         (static_cast<std::uint32_t>(ColourGreen(c)) << 8) |
         static_cast<std::uint32_t>(ColourBlue(c));
}

// `pixel` laid over `under` with coverage / 256 (0..256); the result is opaque.
inline std::uint32_t BlendPixel(std::uint32_t under, std::uint32_t pixel, std::uint32_t coverage) {
  const std::uint32_t rest = 256 - coverage;
  const std::uint32_t rb =
      (((pixel & 0xFF00FFU) * coverage + (under & 0xFF00FFU) * rest) >> 8) & 0xFF00FFU;
  const std::uint32_t g =
      (((pixel & 0x00FF00U) * coverage + (under & 0x00FF00U) * rest) >> 8) & 0x00FF00U;
  return 0xFF000000U | rb | g;
}

// A one-pixel line from `from` to `to` with smooth edges: where the line runs
// between two pixel centres the two share the colour by distance. The pixel of
// `to` is left out unless `withEnd`, so a closed ring drawn edge by edge paints
// every vertex once.
void SmoothLine(const PixelBuffer& into, PixelPoint from, PixelPoint to, std::uint32_t pixel,
                bool withEnd);

}  // namespace orvenda
