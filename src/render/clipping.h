#pragma once
// Clipping of surface geometry to a rectangle, so that far-away vertices of a
// zoomed-in view neither overflow pixel conversions nor cost rasterising. The
// rectangle is the view grown by a wide margin: nothing clipped is ever visible.

#include <span>
#include <vector>

#include "render/surface.h"

namespace orvenda {

struct ClipBox {
  double minX = 0;
  double minY = 0;
  double maxX = 0;
  double maxY = 0;
  [[nodiscard]] bool Contains(double x, double y) const {
    return x >= minX && x <= maxX && y >= minY && y <= maxY;
  }
};

// The view of w x h surface units grown by `margin` on every side.
ClipBox ViewClipBox(double w, double h, double margin);

// The ring clipped edge by edge to the box (alternate-rule fills keep their
// inside within the box); `out` is replaced, and empty when nothing is left.
void ClipRing(std::span<const SurfacePoint> ring, const ClipBox& box,
              std::vector<SurfacePoint>& out);

// The part of segment a-b inside the box; false when none.
bool ClipSegment(SurfacePoint& a, SurfacePoint& b, const ClipBox& box);

}  // namespace orvenda
