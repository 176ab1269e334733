#include "render/surface.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/recordingsurface.h"

namespace orvenda {
namespace {

using testing::PrimitiveKind;
using testing::RecordingSurface;

TEST(SurfaceUnits, RoundHalfEvenTakesHalvesToTheEvenNeighbour) {
  struct Row {
    const char* name;
    double value;
    std::int32_t expected;
  };
  const Row rows[] = {
      {"zero", 0.0, 0},
      {"half down to even 0", 0.5, 0},
      {"half up to even 2", 1.5, 2},
      {"half down to even 2", 2.5, 2},
      {"below half", 2.49, 2},
      {"above half", 2.51, 3},
      {"negative half", -0.5, 0},
      {"negative one and a half", -1.5, -2},
      {"negative two and a half", -2.5, -2},
      {"negative above half", -2.6, -3},
      {"large", 1000000.5, 1000000},
  };
  for (const auto& r : rows) EXPECT_EQ(RoundHalfEven(r.value), r.expected) << r.name;
}

// A surface with two units per device pixel across and three down.
class CoarseSurface : public RecordingSurface {
 public:
  double UnitsPerPixelX() const override { return 2.0; }
  double UnitsPerPixelY() const override { return 3.0; }
};

TEST(SurfaceUnits, PixelConversionFollowsEachAxis) {
  RecordingSurface plain;
  EXPECT_EQ(ToPixel(plain, {10.5f, 11.5f}), (PixelPoint{10, 12}));
  EXPECT_EQ(ToPixel(plain, {-0.4f, 7.6f}), (PixelPoint{0, 8}));
  EXPECT_DOUBLE_EQ(TwipsPerPixelX(plain), 15.0);
  EXPECT_DOUBLE_EQ(TwipsToUnits(290), 290.0 / 15.0);

  CoarseSurface coarse;
  EXPECT_EQ(ToPixel(coarse, {5.0f, 4.5f}), (PixelPoint{2, 2})) << "2.5 -> 2, 1.5 -> 2";
  EXPECT_EQ(ToPixel(coarse, {7.0f, 10.5f}), (PixelPoint{4, 4})) << "3.5 -> 4, 3.5 -> 4";
  EXPECT_EQ(FromPixel(coarse, {3, 4}), (SurfacePoint{6.0f, 12.0f}));
  EXPECT_DOUBLE_EQ(TwipsPerPixelY(coarse), 45.0);
}

TEST(SurfaceUnits, LabelFontHeightInPixels) {
  FontSpec seven;
  seven.heightPoints = 7;
  EXPECT_EQ(FontPixelHeight(seven, 15.0), 9) << "140 twips / 15 = 9.33";
  EXPECT_EQ(FontPixelHeight(seven, 12.0), 12) << "120 dpi: 140 / 12 = 11.67";
  EXPECT_EQ(FontPixelHeight(seven, 40.0), 4) << "3.5 goes to the even 4";
  FontSpec ten;
  ten.heightPoints = 10;
  EXPECT_EQ(FontPixelHeight(ten, 15.0), 13) << "200 / 15 = 13.33";
}

TEST(SurfaceUnits, AlignedTextOriginForEachAlignment) {
  struct Row {
    const char* name;
    double angle;
    int alignment;
    float x, y;
  };
  // Text 40 wide and 10 high anchored at (100, 200).
  const Row rows[] = {
      {"top-left flat", 0, textalign::kTopLeft, 100, 200},
      {"top-left turned", 90, textalign::kTopLeft, 100, 200},
      {"unknown code is top-left", 30, 7, 100, 200},
      {"centred flat", 0, textalign::kCentredOnBase, 80, 200},
      {"centred upright", 90, textalign::kCentredOnBase, 100, 220},
      {"centred falling", -90, textalign::kCentredOnBase, 100, 180},
      {"left-middle flat", 0, textalign::kLeftMiddle, 100, 195},
      {"left-middle upright", 90, textalign::kLeftMiddle, 95, 200},
      {"centred at 45", 45, textalign::kCentredOnBase, 100 - 20 * std::sqrt(0.5f),
       200 + 20 * std::sqrt(0.5f)},
  };
  for (const auto& r : rows) {
    const SurfacePoint at = AlignedTextOrigin({100, 200}, r.angle, 40, 10, r.alignment);
    EXPECT_NEAR(at.x, r.x, 1e-3) << r.name;
    EXPECT_NEAR(at.y, r.y, 1e-3) << r.name;
  }
}

TEST(RecordingSurface, KeepsTheStateEachPrimitiveWasDrawnWith) {
  RecordingSurface s;
  s.SetDrawWidth(3);
  s.SetDrawStyle(drawstyle::kDash);
  s.Line({1, 2}, {3, 4}, 0x0000FF);
  s.SetFillColor(0xC0C000);
  s.SetFillStyle(fillstyle::kSolid);
  s.SetForeColor(0x00FF00);
  s.Polygon({{0, 0}, {10, 0}, {10, 10}});
  FontSpec bold;
  bold.weight = kFontWeightBold;
  s.SetFont(bold);
  s.Print({5, 6}, "Ñandú");

  ASSERT_EQ(s.primitives.size(), 3u);
  const auto line = s.Of(PrimitiveKind::Line).at(0);
  EXPECT_EQ(line.state.drawWidth, 3);
  EXPECT_EQ(line.state.drawStyle, drawstyle::kDash);
  EXPECT_EQ(line.state.fillStyle, fillstyle::kTransparent) << "fill not yet set";
  EXPECT_EQ(line.colour, 0x0000FFu);
  const auto polygon = s.Of(PrimitiveKind::Polygon).at(0);
  EXPECT_EQ(polygon.state.fillColor, 0xC0C000u);
  EXPECT_EQ(polygon.state.foreColor, 0x00FF00u);
  EXPECT_EQ(polygon.pixels.size(), 3u);
  const auto print = s.Of(PrimitiveKind::Print).at(0);
  EXPECT_EQ(print.state.font.weight, kFontWeightBold);
  EXPECT_EQ(print.colour, 0x00FF00u) << "text takes the fore colour";
  EXPECT_DOUBLE_EQ(s.TextWidth("Ñandú"), 5 * s.charWidth) << "characters, not bytes";
  EXPECT_EQ(s.log.front(), "DrawWidth 3");
  EXPECT_EQ(s.log.back(), "Print 5,6 \"Ñandú\"");
}

TEST(SurfaceColours, WindowsColourValuesKeepRedInTheLowByte) {
  EXPECT_EQ(RgbColour(255, 0, 0), 0x0000FFu);
  EXPECT_EQ(RgbColour(0, 192, 0), 0x00C000u);
  EXPECT_EQ(RgbColour(0x12, 0x34, 0x56), 0x563412u);
  EXPECT_EQ(ColourRed(0x563412), 0x12);
  EXPECT_EQ(ColourGreen(0x563412), 0x34);
  EXPECT_EQ(ColourBlue(0x563412), 0x56);
}

}  // namespace
}  // namespace orvenda
