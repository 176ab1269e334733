#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "drawing_fixture.h"
#include "render/entitydrawing.h"

namespace orvenda {
namespace {

using test::Joined;
using testing::PrimitiveKind;

// Arrowheads on the fixture's view (10 units per degree): 30 projected units
// from the middle to the tip, 15 across.
TEST(DirectionArrow, PointsAlongTheSegment) {
  struct Row {
    const char* name;
    Point from, to;
    int32_t direction;
    bool drawn;
    SurfacePoint wantTip;
  };
  const Row rows[] = {
      {"eastwards", {10, 30}, {70, 30}, 1, true, {700, 300}},
      {"reversed by -1", {10, 30}, {70, 30}, -1, true, {100, 300}},
      {"any other code goes forwards", {10, 30}, {70, 30}, 3, true, {700, 300}},
      {"westwards", {70, 30}, {10, 30}, 1, true, {100, 300}},
      {"northwards", {40, 10}, {40, 50}, 1, true, {400, 0}},
      {"southwards", {40, 50}, {40, 10}, 1, true, {400, 600}},
      {"direction 0 draws nothing", {10, 30}, {70, 30}, 0, false, {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    test::DrawingFixture f;
    f.painter.DrawDirectionArrow(f.painter.Position(r.from), f.painter.Position(r.to), r.direction);
    const auto lines = f.surface.Of(PrimitiveKind::Line);
    const auto polygons = f.surface.Of(PrimitiveKind::Polygon);
    if (!r.drawn) {
      EXPECT_TRUE(f.surface.primitives.empty()) << Joined(f.surface.log);
      continue;
    }
    ASSERT_EQ(lines.size(), 3U) << Joined(f.surface.log);
    ASSERT_EQ(polygons.size(), 1U) << Joined(f.surface.log);
    EXPECT_NEAR(lines[0].points[0].x, r.wantTip.x, 1e-3) << Joined(f.surface.log);
    EXPECT_NEAR(lines[0].points[0].y, r.wantTip.y, 1e-3) << Joined(f.surface.log);
    for (const auto& l : lines) {
      EXPECT_EQ(l.colour, 0U);
      EXPECT_EQ(l.state.drawWidth, 5);
      EXPECT_EQ(l.state.drawStyle, drawstyle::kSolid);
    }
    // The base is 15 projected units (150 surface units) across.
    const SurfacePoint b1 = lines[0].points[1];
    const SurfacePoint b2 = lines[1].points[1];
    EXPECT_NEAR(std::hypot(b1.x - b2.x, b1.y - b2.y), 150, 1e-3);
    const auto& tri = polygons[0];
    EXPECT_EQ(tri.state.fillColor, 0xFFFFFFU);
    EXPECT_EQ(tri.state.foreColor, 0xFFFFFFU);
    EXPECT_EQ(tri.state.fillStyle, fillstyle::kSolid);
    EXPECT_EQ(tri.state.drawWidth, 1);
    ASSERT_EQ(tri.pixels.size(), 3U);
    EXPECT_EQ(tri.pixels[0], ToPixel(f.surface, r.wantTip));
  }
}

// Turning a segment through the vertical never flips the arrow.
TEST(DirectionArrow, NearVerticalSegmentsAgree) {
  for (const double dx : {-1e-3, 0.0, 1e-3}) {
    test::DrawingFixture f;
    f.painter.DrawDirectionArrow(f.painter.Position({40, 10}), f.painter.Position({40 + dx, 50}),
                                 1);
    const auto lines = f.surface.Of(PrimitiveKind::Line);
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_LT(lines[0].points[0].y, 1.0) << "dx " << dx << "\n" << Joined(f.surface.log);
  }
}

TEST(DirectionArrow, OneArrowPerSegmentOfADrawnElement) {
  test::DrawingFixture f;
  layer lyr;
  test::DrawingFixture::Define(lyr, polylinelayer, 0, 1, 0xFF);
  Entidad& e = test::DrawingFixture::Add(lyr, 1, {{10, 10}, {40, 10}, {40, 40}});
  e.Direction = 1;
  DrawDirection(e, f.painter);  // not drawn yet: no positions, no arrows
  EXPECT_TRUE(f.surface.primitives.empty());
  Draw(e, f.Box(), f.painter, polylinelayer);
  f.surface.Clear();
  DrawDirection(e, f.painter);
  EXPECT_EQ(f.surface.Of(PrimitiveKind::Polygon).size(), 2U) << Joined(f.surface.log);
}

TEST(Label, PlacementAngleWeightAndFont) {
  struct Row {
    const char* name;
    TipoLayer kind;
    std::vector<Point> points;
    bool bold;
    int32_t wantEscapement;
    SurfacePoint wantTopLeft;
  };
  // Recording text metrics: 6 units per character, 12 high.
  const Row rows[] = {
      {"point: top-left at the vertex", pointlayer, {{10, 10}}, true, 0, {100, 500}},
      {"vertical first segment: 90 degrees",
       polylinelayer,
       {{10, 10}, {10, 20}, {30, 20}},
       false,
       900,
       {94, 450}},
      {"diagonal first segment",
       polylinelayer,
       {{10, 10}, {20, 20}},
       false,
       450,
       {150.0F - 6.0F * std::sin(0.785398F), 450.0F - 6.0F * std::cos(0.785398F)}},
      {"polygon: left end centred across",
       polygonlayer,
       {{10, 10}, {30, 10}, {30, 30}, {10, 30}},
       true,
       0,
       {200, 394}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    test::DrawingFixture f;
    layer lyr;
    test::DrawingFixture::Define(lyr, r.kind, 0, 1, 0);
    lyr.lblBold = r.bold;
    lyr.lblColor = 0x0000FF;
    lyr.Labels().Add("Plaza");
    Entidad& e = lyr.Entidades.Add(1, r.points, &lyr);
    e.IDLabel = 1;
    const FontSpec before = f.surface.Font();
    DrawLabel(e, f.painter);
    const auto prints = f.surface.Of(PrimitiveKind::Print);
    ASSERT_EQ(prints.size(), 1U) << Joined(f.surface.log);
    EXPECT_EQ(prints[0].text, "Plaza");
    EXPECT_EQ(prints[0].state.foreColor, 0x0000FFU);
    EXPECT_EQ(prints[0].state.font.face, "Arial");
    EXPECT_EQ(prints[0].state.font.heightPoints, 7);
    EXPECT_EQ(prints[0].state.font.weight, r.bold ? 700 : 400);
    EXPECT_EQ(prints[0].state.font.escapement, r.wantEscapement);
    EXPECT_NEAR(prints[0].points[0].x, r.wantTopLeft.x, 1e-3) << Joined(f.surface.log);
    EXPECT_NEAR(prints[0].points[0].y, r.wantTopLeft.y, 1e-3) << Joined(f.surface.log);
    EXPECT_EQ(f.surface.Font(), before) << "the previous font is put back";
  }
}

TEST(Label, NothingWithoutALabel) {
  test::DrawingFixture f;
  layer lyr;
  test::DrawingFixture::Define(lyr, pointlayer, 0, 1, 0);
  lyr.Labels().Add("Plaza");
  Entidad& none = test::DrawingFixture::Add(lyr, 1, {{10, 10}});
  Entidad& unknown = test::DrawingFixture::Add(lyr, 2, {{10, 10}});
  unknown.IDLabel = 5;  // not in the dictionary
  Entidad& lone = test::DrawingFixture::Add(lyr, 3, {{10, 10}});
  lone.IDLabel = 1;
  lyr.Tipo = polylinelayer;  // a one-vertex polyline has no first segment
  DrawLabel(none, f.painter);
  DrawLabel(unknown, f.painter);
  EXPECT_TRUE(f.surface.Of(PrimitiveKind::Print).empty());
  DrawLabel(lone, f.painter);
  EXPECT_EQ(f.surface.Of(PrimitiveKind::Print).size(), 1U);
}

}  // namespace
}  // namespace orvenda
