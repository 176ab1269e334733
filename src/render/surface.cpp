#include "render/surface.h"

#include <cmath>

namespace orvenda {
namespace {

// The pi of the label placement, kept to the digits the placement was tuned with.
constexpr double kLabelPi = 3.141592654;

}  // namespace

std::int32_t RoundHalfEven(double value) {
  const double floor = std::floor(value);
  const double diff = value - floor;
  double result = floor;
  if (diff > 0.5) {
    result = floor + 1.0;
  } else if (diff == 0.5) {
    // A half goes to the even neighbour.
    result = std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
  }
  return static_cast<std::int32_t>(result);
}

PixelPoint ToPixel(const Surface& surface, SurfacePoint at) {
  return {RoundHalfEven(at.x / surface.UnitsPerPixelX()),
          RoundHalfEven(at.y / surface.UnitsPerPixelY())};
}

SurfacePoint FromPixel(const Surface& surface, PixelPoint at) {
  return {static_cast<float>(at.x * surface.UnitsPerPixelX()),
          static_cast<float>(at.y * surface.UnitsPerPixelY())};
}

double TwipsPerPixelX(const Surface& surface) { return kTwipsPerUnit * surface.UnitsPerPixelX(); }
double TwipsPerPixelY(const Surface& surface) { return kTwipsPerUnit * surface.UnitsPerPixelY(); }
double TwipsToUnits(double twips) { return twips / kTwipsPerUnit; }

std::int32_t FontPixelHeight(const FontSpec& font, double twipsPerPixelY) {
  // 20 twips per point.
  return RoundHalfEven(font.heightPoints * 20.0 / twipsPerPixelY);
}

SurfacePoint AlignedTextOrigin(SurfacePoint anchor, double angleDegrees, double w, double h,
                               int alignment) {
  const double a = angleDegrees * kLabelPi / 180.0;
  double sx = anchor.x;
  double sy = anchor.y;
  if (alignment == textalign::kCentredOnBase) {
    sx -= std::cos(a) * w / 2.0;
    sy += std::sin(a) * w / 2.0;
  } else if (alignment == textalign::kLeftMiddle) {
    sx -= std::sin(a) * h / 2.0;
    sy -= std::cos(a) * h / 2.0;
  }
  return {static_cast<float>(sx), static_cast<float>(sy)};
}

}  // namespace orvenda
