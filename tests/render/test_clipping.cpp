#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "drawing_fixture.h"
#include "render/clipping.h"
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

std::string Text(const std::vector<SurfacePoint>& ring) {
  std::ostringstream os;
  for (const SurfacePoint& p : ring) os << " (" << p.x << ", " << p.y << ")";
  return os.str();
}

TEST(Clipping, RingsKeepTheirAreaInsideTheBox) {
  const ClipBox box{0, 0, 100, 100};
  struct Row {
    const char* name;
    std::vector<SurfacePoint> ring;
    double wantArea;
  };
  const std::vector<Row> rows = {
      {"inside", {{10, 10}, {20, 10}, {20, 20}}, 50},
      {"overlapping a corner", {{50, 50}, {150, 50}, {150, 150}, {50, 150}}, 2500},
      {"covering the box", {{-1e9F, -1e9F}, {1e9F, -1e9F}, {1e9F, 1e9F}, {-1e9F, 1e9F}}, 10000},
      {"outside", {{200, 200}, {300, 200}, {300, 300}}, 0},
      {"triangle covering a band", {{-100, 50}, {200, 50}, {50, -100}}, 5000},
      {"triangle cut by one side", {{50, 20}, {150, 20}, {50, 80}}, 2250},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    std::vector<SurfacePoint> out;
    ClipRing(r.ring, box, out);
    EXPECT_NEAR(Area(out), r.wantArea, 1e-3) << Text(out);
    for (const SurfacePoint& p : out) EXPECT_TRUE(box.Contains(p.x, p.y)) << Text(out);
  }
}

TEST(Clipping, Segments) {
  const ClipBox box{0, 0, 100, 100};
  struct Row {
    const char* name;
    SurfacePoint a, b;
    bool kept;
    SurfacePoint wantA, wantB;
  };
  const Row rows[] = {
      {"inside", {10, 10}, {20, 30}, true, {10, 10}, {20, 30}},
      {"through", {-50, 50}, {150, 50}, true, {0, 50}, {100, 50}},
      {"diagonal out at a corner", {50, 50}, {150, 150}, true, {50, 50}, {100, 100}},
      {"beside", {-50, -10}, {150, -10}, false, {}, {}},
      {"pointing past the corner", {90, -20}, {120, 10}, false, {}, {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    SurfacePoint a = r.a;
    SurfacePoint b = r.b;
    ASSERT_EQ(ClipSegment(a, b, box), r.kept);
    if (r.kept) {
      EXPECT_EQ(a, r.wantA) << a.x << "," << a.y;
      EXPECT_EQ(b, r.wantB) << b.x << "," << b.y;
    }
  }
}

// Zoomed far in, a polygon whose vertices lie thousands of views away still
// fills the view, with pixel positions that stay small.
TEST(Clipping, ZoomedInPolygonFillsTheViewWithBoundedPixels) {
  test::DrawingFixture f;
  layer lyr;
  test::DrawingFixture::Define(lyr, polygonlayer, 0, 1, 0);
  Entidad& e = test::DrawingFixture::Add(lyr, 1, {{-170, -80}, {170, -80}, {170, 80}, {-170, 80}});
  f.view.ApplyExtents(10, 10, 10.0001, 10.0001);
  ASSERT_TRUE(Draw(e, f.Box(), f.painter, polygonlayer));
  const auto polygons = f.surface.Of(PrimitiveKind::Polygon);
  ASSERT_EQ(polygons.size(), 1U);
  for (const PixelPoint& p : polygons[0].pixels) {
    EXPECT_LE(std::abs(p.x), 800 + 2 * ViewPainter::kClipMargin);
    EXPECT_LE(std::abs(p.y), 600 + 2 * ViewPainter::kClipMargin);
  }
  EXPECT_EQ(polygons[0].pixels.size(), 4U);
  // The stored positions are the true ones, not the clipped ones.
  EXPECT_LT(e.Screen()[0].X, -1e6);
}

TEST(Clipping, SamePixelVerticesAreSentOnce) {
  test::DrawingFixture f;  // 10 units per degree
  layer lyr;
  test::DrawingFixture::Define(lyr, polygonlayer, 0, 1, 0);
  Entidad& e = test::DrawingFixture::Add(
      lyr, 1, {{10, 10}, {10.01, 10.01}, {20, 10}, {20.02, 10}, {20, 20}, {10.01, 10}});
  Draw(e, f.Box(), f.painter, polygonlayer);
  const auto polygons = f.surface.Of(PrimitiveKind::Polygon);
  ASSERT_EQ(polygons.size(), 1U);
  EXPECT_EQ(polygons[0].pixels, (std::vector<PixelPoint>{{100, 500}, {200, 500}, {200, 400}}));
}

}  // namespace
}  // namespace orvenda
