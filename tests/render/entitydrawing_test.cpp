#include "render/entitydrawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "drawing_fixture.h"
#include "render/classsample.h"
#include "render/clipping.h"

namespace orvenda {
namespace {

using testing::PrimitiveKind;

// What one element (10,10)-(20,10)-(20,20) draws with each class style, as the surface
// saw it, state changes included; every vertex's position is kept for repaints.
TEST(EntityDrawing, WhatEachClassStyleDraws) {
  const std::string poly = "Polygon 100,500 200,500 200,400";
  const std::string dot = "DrawWidth 3; Dot 100,500 #1e140a; DrawWidth 3; Dot 200,500 #1e140a; ";
  // Kind, pen style and width, fill style, and what the surface saw.
  const std::tuple<TipoLayer, int16_t, int16_t, int16_t, std::string> rows[] = {
      {pointlayer, 0, 3, 1, dot + "DrawWidth 3; Dot 200,400 #1e140a"},
      {pointlayer, 5, 3, 1, ""},
      {polylinelayer, 0, 2, 1,
       "DrawStyle 0; DrawWidth 2; Polyline 100,500 200,500 200,400 #1e140a"},
      {3, 1, 1, 1,
       "DrawStyle 1; DrawWidth 1; Line 100,500 200,500 #1e140a; Line 200,500 200,400 #1e140a"},
      {polylinelayer, 0, 0, 1, ""},
      {polylinelayer, 5, 1, 1, ""},
      {polygonlayer, 5, 1, 0,
       "DrawWidth 1; FillColor #3264c8; FillStyle 0; ForeColor #1e140a; DrawStyle 5; " + poly},
      {ImageLayer, 0, 1, 0, ""}};
  for (const auto& [kind, style, width, fillStyle, log] : rows) {
    test::DrawingFixture f;
    layer lyr;
    test::DrawingFixture::Define(lyr, kind, style, width, RgbColour(10, 20, 30),
                                 RgbColour(200, 100, 50), fillStyle);
    Entidad& e = test::DrawingFixture::Add(lyr, 1, {{10, 10}, {20, 10}, {20, 20}});
    EXPECT_TRUE(Draw(e, f.Box(), f.painter, kind));
    EXPECT_EQ(f.Joined(), log) << kind << " " << style;
    DrawWOCalc(e, f.painter, kind);
    EXPECT_TRUE(f.Log("Refresh").empty()) << "a repaint leaves the refresh to its caller";
    ASSERT_EQ(e.ScreenState(), ScreenCache::Valid);
    EXPECT_EQ(e.Screen()[2].X + e.Screen()[2].Y, 600.0F);
    // A line reaching the view's corner is drawn whole.
    const std::vector<Point> corner = {{0, 0}, {80, 60}};
    f.surface.Clear();
    e.SetPoints(corner);
    Draw(e, f.Box(), f.painter, kind);
    EXPECT_EQ(f.Log("Polyline") == std::vector<std::string>{"Polyline 0,600 800,0 #1e140a"},
              log.rfind("DrawStyle 0; DrawWidth 2", 0) == 0);
  }
}

// A legend swatch fills the surface as its kind draws: a dot in the middle, a line
// across, a polygon inset from the edges; never a refresh, the legend refreshes once.
TEST(EntityDrawing, LegendSwatchOfEachKind) {
  const std::pair<TipoLayer, std::string> rows[] = {
      {pointlayer, "Dot 400,300"},
      {polylinelayer, "Polyline 0,300 800,300"},
      {3, "Polyline 0,300 800,300"},
      {polygonlayer, "Polygon 3,3 797,3 797,597 3,597"},
      {ImageLayer, ""}};
  for (const auto& [kind, drawn] : rows) {
    test::DrawingFixture f;
    DrawSwatchSample(f.surface, Theme{}, kind);
    std::string seen;  // the primitives, without their colours
    for (const char* primitive : {"Dot ", "Line ", "Polyline ", "Polygon "})
      for (const std::string& line : f.Log(primitive)) seen += line.substr(0, line.find(" #"));
    EXPECT_EQ(seen, drawn) << kind;
    EXPECT_TRUE(f.Log("Refresh").empty()) << kind;
    f.surface.Clear();
    DrawPreviewSample(f.surface, Theme{}, kind);  // the class dialog's preview: the same kinds
    EXPECT_EQ(f.surface.log.empty(), drawn.empty()) << kind;
  }
}

// Outside the view nothing is drawn and the cache says so; a repaint takes the stored
// positions (after the view moved it draws where the last Draw drew), with the class's
// own dashes, and an element never drawn falls back to Draw.
TEST(EntityDrawing, RepaintsFromStoredPositions) {
  test::DrawingFixture f;
  layer lyr;
  test::DrawingFixture::Define(lyr, polylinelayer, 1, 1, 0xFF);
  Entidad& drawn = test::DrawingFixture::Add(lyr, 1, {{10, 10}, {20, 10}});
  Entidad& fresh = test::DrawingFixture::Add(lyr, 2, {{30, 30}, {40, 30}});
  Entidad& away = test::DrawingFixture::Add(lyr, 3, {{-100, -50}, {-90, -50}});
  EXPECT_FALSE(Draw(away, f.Box(), f.painter, polylinelayer));
  EXPECT_EQ(away.ScreenState(), ScreenCache::Outside);
  Draw(drawn, f.Box(), f.painter, polylinelayer);
  f.view.ApplyExtents(0, 0, 40, 30);  // scale 20 now
  f.surface.Clear();
  f.surface.SetDrawStyle(drawstyle::kSolid);
  for (Entidad* e : {&drawn, &fresh, &away}) DrawWOCalc(*e, f.painter, polylinelayer);
  const auto lines = f.surface.Of(PrimitiveKind::Line);
  ASSERT_EQ(lines.size(), 2U) << f.Joined();
  EXPECT_EQ(lines[0].points, (std::vector<SurfacePoint>{{100, 500}, {200, 500}}));
  EXPECT_EQ(lines[1].points, (std::vector<SurfacePoint>{{600, 0}, {800, 0}}));
  EXPECT_EQ(lines[0].state.drawStyle, 1);
  EXPECT_EQ(fresh.ScreenState(), ScreenCache::Valid);
  Entidad& unclassed = test::DrawingFixture::Add(lyr, 4, {{1, 1}});
  unclassed.ThemeCode = 9;  // no such class: positions kept, nothing drawn
  f.surface.Clear();
  EXPECT_TRUE(Draw(unclassed, f.Box(), f.painter, polylinelayer));
  DrawWOCalc(unclassed, f.painter, polylinelayer);
  EXPECT_EQ(unclassed.Screen()[0].X, 20.0F);
  EXPECT_TRUE(f.surface.log.empty()) << f.Joined();
}

// A highlight fills solid 0xC0C000 with a red pen twice the class width (1 when the
// default class has none), from the cache or projected afresh, and refreshes.
TEST(EntityDrawing, HighlightDrawsWithTheHighlightClass) {
  for (const auto& [width, drawFirst, wantWidth] :
       {std::tuple{3, true, 6}, {3, false, 6}, {0, true, 1}}) {
    test::DrawingFixture f;
    layer lyr;
    test::DrawingFixture::Define(lyr, polygonlayer, 0, static_cast<int16_t>(width), 0x123456,
                                 0x654321, 1);
    Entidad& e = test::DrawingFixture::Add(lyr, 7, {{10, 10}, {20, 10}, {20, 20}});
    if (drawFirst) Draw(e, f.Box(), f.painter, polygonlayer);
    f.surface.Clear();
    resaltar(lyr, 7, f.Box(), f.painter);
    resaltar(lyr, 99, f.Box(), f.painter);  // absent: nothing
    EXPECT_EQ(f.Joined(), "DrawWidth " + std::to_string(wantWidth) +
                              "; FillColor #c0c000; FillStyle 0; ForeColor #0000ff; DrawStyle 0; "
                              "Polygon 100,500 200,500 200,400; Refresh");
    EXPECT_EQ(e.ScreenState(), drawFirst ? ScreenCache::Valid : ScreenCache::Unsized);
  }
}

double Area(const std::vector<SurfacePoint>& ring) {
  double twice = 0;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const SurfacePoint& a = ring[i];
    const SurfacePoint& b = ring[(i + 1) % ring.size()];
    twice += static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y;
  }
  return std::abs(twice) / 2;
}

// A ring keeps the part of its area inside the box, with every vertex in the box; a
// segment keeps the part inside, or nothing.
TEST(Clipping, RingsAndSegments) {
  const ClipBox box{0, 0, 100, 100};
  const std::pair<std::vector<SurfacePoint>, double> rings[] = {
      {{{10, 10}, {20, 10}, {20, 20}}, 50},
      {{{50, 50}, {150, 50}, {150, 150}, {50, 150}}, 2500},
      {{{-1e9F, -1e9F}, {1e9F, -1e9F}, {1e9F, 1e9F}, {-1e9F, 1e9F}}, 10000},
      {{{-100, 50}, {200, 50}, {50, -100}}, 5000},
      {{{20, -50}, {80, -50}, {80, 50}}, 750}};
  for (const auto& [ring, area] : rings) {
    std::vector<SurfacePoint> out;
    ClipRing(ring, box, out);
    EXPECT_NEAR(Area(out), area, 1e-3) << area;
    for (const SurfacePoint& p : out) EXPECT_TRUE(box.Contains(p.x, p.y)) << p.x << "," << p.y;
  }
  const std::vector<SurfacePoint> touching = {{50, 0}, {100, 50}, {100, 100}, {0, 100}};
  std::vector<SurfacePoint> same;
  ClipRing(touching, box, same);
  EXPECT_EQ(same, touching) << "a ring touching the sides from inside comes back as it was";
  const std::array<SurfacePoint, 4> segments[] = {
      // from, to; kept from, to (0, 0: none)
      {{{10, 10}, {20, 30}, {10, 10}, {20, 30}}},     {{{-50, 50}, {150, 50}, {0, 50}, {100, 50}}},
      {{{50, 50}, {150, 150}, {50, 50}, {100, 100}}}, {{{50, -50}, {50, 150}, {50, 0}, {50, 100}}},
      {{{-50, -10}, {150, -10}, {0, 0}, {0, 0}}},     {{{90, -20}, {120, 10}, {0, 0}, {0, 0}}}};
  for (const auto& s : segments) {
    SurfacePoint a = s[0], b = s[1];
    const bool kept = ClipSegment(a, b, box);
    EXPECT_EQ(kept, !(s[2] == SurfacePoint{0, 0})) << s[0].x << "," << s[0].y;
    EXPECT_TRUE(!kept || (a == s[2] && b == s[3])) << a.x << "," << a.y << " " << b.x << "," << b.y;
  }
}

// Zoomed far in, a polygon whose vertices lie thousands of views away still fills the
// view with small pixel positions, its stored positions the true ones; vertices that
// fall in the same pixel as the one before are sent once, in polygons as in lines.
TEST(Clipping, DrawnShapesAreClippedAndThinned) {
  test::DrawingFixture f;
  layer lyr;
  test::DrawingFixture::Define(lyr, polygonlayer, 0, 1, 0);
  Entidad& e = test::DrawingFixture::Add(lyr, 1, {{-170, -80}, {170, -80}, {170, 80}, {-170, 80}});
  Entidad& near = test::DrawingFixture::Add(
      lyr, 2, {{10, 10}, {10.01, 10.01}, {20, 10}, {20.02, 10}, {20, 20}, {10.01, 10}});
  Draw(near, f.Box(), f.painter, polygonlayer);
  f.view.ApplyExtents(10, 10, 10.0001, 10.0001);
  ASSERT_TRUE(Draw(e, f.Box(), f.painter, polygonlayer));
  const auto polygons = f.surface.Of(PrimitiveKind::Polygon);
  ASSERT_EQ(polygons.size(), 2U);
  EXPECT_EQ(polygons[0].pixels, (std::vector<PixelPoint>{{100, 500}, {200, 500}, {200, 400}}));
  const int m = static_cast<int>(ViewPainter::kClipMargin);
  ASSERT_EQ(polygons[1].pixels.size(), 4U) << "the clip box's corners";
  for (const PixelPoint corner :
       {PixelPoint{-m, -m}, {800 + m, -m}, {800 + m, 600 + m}, {-m, 600 + m}})
    EXPECT_EQ(std::count(polygons[1].pixels.begin(), polygons[1].pixels.end(), corner), 1);
  EXPECT_LT(e.Screen()[0].X, -1e6);
  layer lines;
  test::DrawingFixture::Define(lines, polylinelayer, 0, 1, 0);
  f.view.ApplyExtents(0, 0, 80, 60);
  Draw(test::DrawingFixture::Add(lines, 3, {{10, 10}, {10, 10.01}, {10, 20}, {20, 20}, {900, 20}}),
       f.Box(), f.painter, polylinelayer);
  // The last segment leaves the clip box: cut at its edge, apart from the run before it.
  EXPECT_EQ(
      f.Log("Polyline"),
      (std::vector<std::string>{"Polyline 100,500 100,400 200,400 #000000",
                                "Polyline 200,400 " + std::to_string(800 + m) + ",400 #000000"}));
  f.painter.DrawSegmentCached(Theme{}, {200, 400}, {9000, 400});  // a lone segment too
  EXPECT_EQ(f.Log("Line").back(), "Line 200,400 " + std::to_string(800 + m) + ",400 #ff0000");
}

}  // namespace
}  // namespace orvenda
