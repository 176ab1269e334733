#include <gtest/gtest.h>

#include <cmath>

#include "drawing_fixture.h"
#include "render/entitydrawing.h"
#include "render/surface.h"
#include "support/recordingsurface.h"

namespace orvenda {
namespace {

using testing::PrimitiveKind;

// Arrowheads on the fixture's view (10 units per degree): a black outline 5 wide and a
// white triangle, 30 projected units from the middle to the tip and 15 across.
TEST(DirectionArrow, PointsAlongTheSegment) {
  test::DrawingFixture f;
  f.painter.DrawDirectionArrow(f.painter.Position({10, 30}), f.painter.Position({70, 30}), 1);
  EXPECT_EQ(f.Joined(),
            "DrawStyle 0; DrawWidth 5; Line 700,300 400,225 #000000; Line 700,300 400,375 #000000; "
            "Line 400,225 400,375 #000000; DrawWidth 1; FillColor #ffffff; FillStyle 0; "
            "ForeColor #ffffff; DrawStyle 0; Polygon 700,300 400,225 400,375");
  // From, to, direction; where the tip lands.
  const std::tuple<Point, Point, int32_t, SurfacePoint> rows[] = {
      {{10, 30}, {70, 30}, -1, {100, 300}},  {{10, 30}, {70, 30}, 3, {700, 300}},
      {{70, 30}, {10, 30}, 1, {100, 300}},   {{40, 10}, {40, 50}, 1, {400, 0}},
      {{40, 50}, {40, 10}, 1, {400, 600}},   {{40, 10}, {40.001, 50}, 1, {400, 0}},
      {{40, 10}, {39.999, 50}, 1, {400, 0}}, {{10, 10}, {40, 40}, -1, {37.868F, 562.132F}}};
  for (const auto& [from, to, direction, tip] : rows) {
    test::DrawingFixture g;
    g.painter.DrawDirectionArrow(g.painter.Position(from), g.painter.Position(to), direction);
    const auto lines = g.surface.Of(PrimitiveKind::Line);
    ASSERT_EQ(lines.size(), 3U) << g.Joined();
    EXPECT_NEAR(lines[0].points[0].x, tip.x, 0.05) << g.Joined();
    EXPECT_NEAR(lines[0].points[0].y, tip.y, 0.05) << g.Joined();
    const auto& base = lines[2].points;  // 15 across, whatever the angle
    EXPECT_NEAR(std::hypot(base[1].x - base[0].x, base[1].y - base[0].y), 150, 0.05) << g.Joined();
  }
  test::DrawingFixture none;
  none.painter.DrawDirectionArrow(none.painter.Position({1, 1}), none.painter.Position({2, 2}), 0);
  EXPECT_TRUE(none.surface.log.empty()) << "direction 0 draws nothing";
}

// Arial 7 pt in the layer's colour and weight, the previous font put back: a point's at
// its vertex, a line's along its first segment at the middle, a polygon's left end
// centred across its centroid. Recording metrics: 6 units per character, 12 high.
TEST(Label, PlacementAngleWeightAndFont) {
  const float s45 = 6.0F * std::sin(0.785398F);
  // Kind, vertices; bold, escapement and top-left corner of the label.
  const std::tuple<TipoLayer, std::vector<Point>, bool, int32_t, SurfacePoint> rows[] = {
      {pointlayer, {{10, 10}}, true, 0, {100, 500}},
      {polylinelayer, {{10, 10}, {10, 20}, {30, 20}}, false, 900, {94, 450}},
      {polylinelayer, {{10, 10}, {20, 20}}, false, 450, {150 - s45, 450 - s45}},
      {polygonlayer, {{10, 10}, {30, 10}, {30, 30}, {10, 30}}, true, 0, {200, 394}}};
  for (const auto& [kind, points, bold, escapement, topLeft] : rows) {
    test::DrawingFixture f;
    layer lyr;
    test::DrawingFixture::Define(lyr, kind, 0, 1, 0);
    lyr.lblBold = bold;
    lyr.lblColor = 0x0000FF;
    Entidad& e = lyr.Entidades.Add(1, points, &lyr);
    e.IDLabel = lyr.LabelIndex("Plaza");
    const FontSpec before = f.surface.Font();
    DrawLabel(e, f.painter);
    const auto prints = f.surface.Of(PrimitiveKind::Print);
    ASSERT_EQ(prints.size(), 1U) << f.Joined();
    const FontSpec& font = prints[0].state.font;
    EXPECT_EQ(prints[0].text + " " + font.face + " " + std::to_string(font.heightPoints),
              "Plaza Arial 7.000000");
    EXPECT_EQ(prints[0].state.foreColor, 0x0000FFU);
    EXPECT_EQ(font.weight, bold ? 700 : 400);
    EXPECT_EQ(font.escapement, escapement);
    EXPECT_NEAR(prints[0].points[0].x, topLeft.x, 1e-3) << f.Joined();
    EXPECT_NEAR(prints[0].points[0].y, topLeft.y, 1e-3) << f.Joined();
    EXPECT_EQ(f.surface.Font(), before);
    e.IDLabel = 5;  // not in the dictionary: nothing
    DrawLabel(e, f.painter);
    e.IDLabel = 0;
    DrawLabel(e, f.painter);
    EXPECT_EQ(f.surface.Of(PrimitiveKind::Print).size(), 1U);
    e.IDLabel = 1;
    e.parentLayer = nullptr;  // an element of no layer has no dictionary
    DrawLabel(e, f.painter);
    EXPECT_EQ(f.surface.Of(PrimitiveKind::Print).size(), 1U);
  }
}

TEST(SurfaceUnits, RoundHalfEvenTakesHalvesToTheEvenNeighbour) {
  const std::pair<double, std::int32_t> rows[] = {
      {0.0, 0},  {0.5, 0},   {1.5, 2},   {2.5, 2},   {2.49, 2}, {2.51, 3},
      {-0.5, 0}, {-1.5, -2}, {-2.5, -2}, {-2.6, -3}, {3.5, 4},  {1000000.5, 1000000}};
  for (const auto& [value, expected] : rows) EXPECT_EQ(RoundHalfEven(value), expected) << value;
}

}  // namespace
}  // namespace orvenda
