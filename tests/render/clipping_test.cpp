#include "render/clipping.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "drawing_fixture.h"
#include "render/entitydrawing.h"

namespace orvenda {
namespace {

using testing::PrimitiveKind;

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
      {{{200, 200}, {300, 200}, {300, 300}}, 0},
      {{{-100, 50}, {200, 50}, {50, -100}}, 5000},
      {{{50, 20}, {150, 20}, {50, 80}}, 2250},
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
// fall in the same pixel are sent once.
TEST(Clipping, DrawnPolygonsAreClippedAndThinned) {
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
}

}  // namespace
}  // namespace orvenda
