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

// Two units per device pixel across and three down.
class CoarseSurface : public testing::RecordingSurface {
 public:
  double UnitsPerPixelX() const override { return 2.0; }
  double UnitsPerPixelY() const override { return 3.0; }
};

TEST(SurfaceUnits, PixelsTwipsAndFontHeights) {
  testing::RecordingSurface plain;
  EXPECT_EQ(ToPixel(plain, {10.5f, 11.5f}), (PixelPoint{10, 12}));
  EXPECT_EQ(ToPixel(plain, {-0.4f, 7.6f}), (PixelPoint{0, 8}));
  EXPECT_DOUBLE_EQ(TwipsPerPixelX(plain), 15.0);
  EXPECT_DOUBLE_EQ(TwipsToUnits(290), 290.0 / 15.0);
  CoarseSurface coarse;
  EXPECT_EQ(ToPixel(coarse, {5.0f, 4.5f}), (PixelPoint{2, 2})) << "2.5 -> 2, 1.5 -> 2";
  EXPECT_EQ(ToPixel(coarse, {7.0f, 10.5f}), (PixelPoint{4, 4})) << "3.5 -> 4, 3.5 -> 4";
  EXPECT_EQ(FromPixel(coarse, {3, 4}), (SurfacePoint{6.0f, 12.0f}));
  EXPECT_DOUBLE_EQ(TwipsPerPixelY(coarse), 45.0);
  // 20 twips per point: 140 twips at 15 per pixel is 9.33, at 40 it is 3.5, to the even 4.
  const std::tuple<double, double, std::int32_t> fonts[] = {
      {7, 15.0, 9}, {7, 12.0, 12}, {7, 40.0, 4}, {10, 15.0, 13}};
  for (const auto& [points, twips, pixels] : fonts) {
    FontSpec font;
    font.heightPoints = points;
    EXPECT_EQ(FontPixelHeight(font, twips), pixels) << points << "pt at " << twips;
  }
  EXPECT_EQ(RgbColour(0x12, 0x34, 0x56), 0x563412u) << "red in the low byte";
  EXPECT_EQ((std::array{ColourRed(0x563412), ColourGreen(0x563412), ColourBlue(0x563412)}),
            (std::array{0x12, 0x34, 0x56}));
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
