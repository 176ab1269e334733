#include "render/surface.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/recordingsurface.h"

namespace orvenda {
namespace {

TEST(SurfaceUnits, RoundHalfEvenTakesHalvesToTheEvenNeighbour) {
  const std::pair<double, std::int32_t> rows[] = {
      {0.0, 0},  {0.5, 0},   {1.5, 2},   {2.5, 2},   {2.49, 2}, {2.51, 3},
      {-0.5, 0}, {-1.5, -2}, {-2.5, -2}, {-2.6, -3}, {3.5, 4},  {1000000.5, 1000000}};
  for (const auto& [value, expected] : rows) EXPECT_EQ(RoundHalfEven(value), expected) << value;
}

// Text 40 wide and 10 high anchored at (100, 200): top-left (and unknown codes) at the
// anchor, centred on the base along the angle, or its left end centred across.
TEST(SurfaceUnits, AlignedTextOriginForEachAlignment) {
  const float d = 20 * std::sqrt(0.5f);
  const std::tuple<double, int, float, float> rows[] = {
      {0, textalign::kTopLeft, 100, 200},
      {90, textalign::kTopLeft, 100, 200},
      {30, 7, 100, 200},
      {0, textalign::kCentredOnBase, 80, 200},
      {90, textalign::kCentredOnBase, 100, 220},
      {-90, textalign::kCentredOnBase, 100, 180},
      {0, textalign::kLeftMiddle, 100, 195},
      {90, textalign::kLeftMiddle, 95, 200},
      {45, textalign::kCentredOnBase, 100 - d, 200 + d}};
  for (const auto& [angle, alignment, x, y] : rows) {
    const SurfacePoint at = AlignedTextOrigin({100, 200}, angle, 40, 10, alignment);
    EXPECT_NEAR(at.x, x, 1e-3) << angle << " " << alignment;
    EXPECT_NEAR(at.y, y, 1e-3) << angle << " " << alignment;
  }
}

}  // namespace
}  // namespace orvenda
