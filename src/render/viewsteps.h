#pragma once
// The desktop habits of navigation beyond the control's members: a wheel notch
// zooms about the pointer, keys zoom about the middle, move the view by a quarter
// and show the whole map. Each answers the geographic rectangle to apply, so the
// caller takes the same apply-and-load path as the navigation buttons.

#include <optional>

#include "model/boundingbox.h"
#include "render/viewtransform.h"

namespace orvenda {

// The factors of ZoomIn and ZoomOut; a wheel notch zooms by the same.
inline constexpr float kZoomInStep = 2.0f;
inline constexpr float kZoomOutStep = 0.5f;

enum class ViewKey { None, ZoomIn, ZoomOut, Left, Right, Up, Down, Home };

// Zooms by `notches` wheel notches (positive: in) so that the geographic point
// under the surface point (x, y) stays under it. Nothing before the first view or
// without a notch.
std::optional<ExtentsRect> WheelZoomRect(const ViewTransform& view, double x, double y,
                                         int notches);

// ZoomIn and ZoomOut zoom about the middle as the members do; the arrows move the
// view by a quarter of its width (left, right) or height (up, down) at the same
// scale; Home shows `mapExtents`. Nothing for other keys, nor for any but Home
// before the first view.
std::optional<ExtentsRect> KeyRect(const ViewTransform& view, ViewKey key,
                                   const BoundingBox& mapExtents);

// High-resolution wheels report fractions of a notch (120 units); they count once
// they add up to a whole one.
class WheelNotches {
 public:
  // The whole notches complete after this delta; the remainder is kept.
  int Add(int angleDelta);

 private:
  int rest_ = 0;
};

}  // namespace orvenda
