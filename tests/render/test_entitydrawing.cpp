#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drawing_fixture.h"
#include "render/entitydrawing.h"

namespace orvenda {
namespace {

using test::Joined;
using testing::PrimitiveKind;
using testing::RecordedPrimitive;

// What one element draws with each class style, as the surface saw it.
TEST(EntityDrawing, WhatEachClassStyleDraws) {
  struct Row {
    const char* name;
    TipoLayer kind;
    int16_t style, width;
    int16_t fillStyle;
    std::vector<std::string> wantPrimitives;  // the log lines of primitives only
    testing::SurfaceState wantLast;           // checked fields: pen, fill, colours
  };
  const Colour pen = RgbColour(10, 20, 30);
  const Colour fill = RgbColour(200, 100, 50);
  const std::vector<Row> rows = {
      {"point", pointlayer, 0, 3, 1, {"Dot 100,500 #1e140a"}, {3, 0, 0, 0, 1, 0xFFFFFF, {}}},
      {"point transparent", pointlayer, 5, 3, 1, {}, {}},
      {"solid polyline in one call",
       polylinelayer,
       0,
       2,
       1,
       {"Polyline 100,500 200,500 200,400 #1e140a"},
       {2, 0, 0, 0, 1, 0xFFFFFF, {}}},
      {"dashed polyline by segments",
       3,
       1,
       1,
       1,
       {"Line 100,500 200,500 #1e140a", "Line 200,500 200,400 #1e140a"},
       {1, 1, 0, 0, 1, 0xFFFFFF, {}}},
      {"polyline of width 0", polylinelayer, 0, 0, 1, {}, {}},
      {"polyline transparent", polylinelayer, 5, 1, 1, {}, {}},
      {"polygon transparent pen keeps its fill",
       polygonlayer,
       5,
       1,
       0,
       {"Polygon 100,500 200,500 200,400"},
       {1, 5, pen, fill, 0, 0xFFFFFF, {}}},
      {"polygon cross-hatched",
       polygonlayer,
       0,
       2,
       6,
       {"Polygon 100,500 200,500 200,400"},
       {2, 0, pen, fill, 6, 0xFFFFFF, {}}},
      {"image kind draws nothing", ImageLayer, 0, 1, 0, {}, {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    test::DrawingFixture f;
    layer lyr;
    test::DrawingFixture::Define(lyr, r.kind, r.style, r.width, pen, fill, r.fillStyle);
    Entidad& e = test::DrawingFixture::Add(lyr, 1, {{10, 10}, {20, 10}, {20, 20}});
    EXPECT_TRUE(Draw(e, f.Box(), f.painter, r.kind));
    std::vector<std::string> drawn;
    for (const std::string& line : f.surface.log) {
      if (line.rfind("Dot", 0) == 0 || line.rfind("Line", 0) == 0 || line.rfind("Poly", 0) == 0) {
        drawn.push_back(line);
      }
    }
    if (r.kind == pointlayer && !r.wantPrimitives.empty()) {
      // A point layer draws every vertex as a dot.
      ASSERT_EQ(drawn.size(), 3U) << Joined(f.surface.log);
      drawn.resize(1);
    }
    EXPECT_EQ(drawn, r.wantPrimitives) << Joined(f.surface.log);
    if (!f.surface.primitives.empty()) {
      const testing::SurfaceState& s = f.surface.primitives.back().state;
      EXPECT_EQ(s.drawWidth, r.wantLast.drawWidth);
      EXPECT_EQ(s.drawStyle, r.wantLast.drawStyle);
      if (r.kind == polygonlayer) {
        EXPECT_EQ(s.foreColor, r.wantLast.foreColor);
        EXPECT_EQ(s.fillColor, r.wantLast.fillColor);
        EXPECT_EQ(s.fillStyle, r.wantLast.fillStyle);
      }
    }
    // Every vertex's position is kept for repaints.
    ASSERT_EQ(e.ScreenState(), ScreenCache::Valid);
    EXPECT_FLOAT_EQ(e.Screen()[2].X, 200);
    EXPECT_FLOAT_EQ(e.Screen()[2].Y, 400);
  }
}

TEST(EntityDrawing, PolygonStateIsSetInOrderBeforeThePolygon) {
  test::DrawingFixture f;
  layer lyr;
  test::DrawingFixture::Define(lyr, polygonlayer, 2, 3, 0x0000FF, 0x00FF00, 4);
  Entidad& e = test::DrawingFixture::Add(lyr, 1, {{10, 10}, {20, 10}, {20, 20}});
  Draw(e, f.Box(), f.painter, polygonlayer);
  const std::vector<std::string> want = {"DrawWidth 3", "FillColor #00ff00",
                                         "FillStyle 4", "ForeColor #0000ff",
                                         "DrawStyle 2", "Polygon 100,500 200,500 200,400"};
  EXPECT_EQ(f.surface.log, want) << Joined(f.surface.log);
}

TEST(EntityDrawing, OutsideTheViewDrawsNothingAndMarksTheCache) {
  test::DrawingFixture f;
  layer lyr;
  test::DrawingFixture::Define(lyr, pointlayer, 0, 1, 0);
  Entidad& e = test::DrawingFixture::Add(lyr, 1, {{-100, -50}});
  EXPECT_FALSE(Draw(e, f.Box(), f.painter, pointlayer));
  EXPECT_EQ(e.ScreenState(), ScreenCache::Outside);
  DrawWOCalc(e, f.painter, pointlayer);
  EXPECT_TRUE(f.surface.primitives.empty()) << Joined(f.surface.log);
}

// A repaint takes the stored positions: after the view moved, it still draws
// where the last Draw drew, and an element never drawn falls back to Draw.
TEST(EntityDrawing, DrawWOCalcRepaintsFromStoredPositions) {
  test::DrawingFixture f;
  layer lyr;
  test::DrawingFixture::Define(lyr, polylinelayer, 1, 1, 0xFF);
  Entidad& drawn = test::DrawingFixture::Add(lyr, 1, {{10, 10}, {20, 10}});
  Entidad& fresh = test::DrawingFixture::Add(lyr, 2, {{30, 30}, {40, 30}});
  Draw(drawn, f.Box(), f.painter, polylinelayer);
  f.view.ApplyExtents(0, 0, 40, 30);  // scale 20 now
  f.surface.Clear();
  DrawWOCalc(drawn, f.painter, polylinelayer);
  DrawWOCalc(fresh, f.painter, polylinelayer);
  const auto lines = f.surface.Of(PrimitiveKind::Line);
  ASSERT_EQ(lines.size(), 2U) << Joined(f.surface.log);
  EXPECT_EQ(lines[0].points, (std::vector<SurfacePoint>{{100, 500}, {200, 500}}));
  EXPECT_EQ(lines[1].points, (std::vector<SurfacePoint>{{600, 0}, {800, 0}}));
  // The repaint uses the class's own dashes, whatever the surface had.
  EXPECT_EQ(lines[0].state.drawStyle, 1);
  EXPECT_EQ(fresh.ScreenState(), ScreenCache::Valid);
}

TEST(EntityDrawing, HighlightDrawsWithTheHighlightClass) {
  struct Row {
    const char* name;
    int16_t defaultWidth;
    bool drawFirst;
    int32_t wantWidth;
  };
  const Row rows[] = {
      {"twice the class width, from the cache", 3, true, 6},
      {"twice the class width, not drawn yet", 3, false, 6},
      {"default class without width", 0, true, 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    test::DrawingFixture f;
    layer lyr;
    test::DrawingFixture::Define(lyr, polygonlayer, 0, r.defaultWidth, 0x123456, 0x654321, 1);
    Entidad& e = test::DrawingFixture::Add(lyr, 7, {{10, 10}, {20, 10}, {20, 20}});
    if (r.drawFirst) Draw(e, f.Box(), f.painter, polygonlayer);
    f.surface.Clear();
    resaltar(lyr, 7, f.Box(), f.painter);
    resaltar(lyr, 99, f.Box(), f.painter);  // absent: nothing
    const auto polygons = f.surface.Of(PrimitiveKind::Polygon);
    ASSERT_EQ(polygons.size(), 1U) << Joined(f.surface.log);
    EXPECT_EQ(polygons[0].state.fillStyle, fillstyle::kSolid);
    EXPECT_EQ(polygons[0].state.fillColor, 0xC0C000U);
    EXPECT_EQ(polygons[0].state.foreColor, 255U);
    EXPECT_EQ(polygons[0].state.drawWidth, r.wantWidth);
    EXPECT_EQ(f.surface.Of(PrimitiveKind::Refresh).size(), 1U);
    EXPECT_EQ(polygons[0].pixels, (std::vector<PixelPoint>{{100, 500}, {200, 500}, {200, 400}}));
  }
}

}  // namespace
}  // namespace orvenda
