// Point-in-polygon and polygon centroids checked against GEOS on random
// simple polygons.
#define GEOS_USE_ONLY_R_API
#include <geos_c.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "model/entidad.h"
#include "model/layer.h"

namespace orvenda {
namespace {

// One GEOS context for the whole test program.
GEOSContextHandle_t Ctx() {
  static const GEOSContextHandle_t ctx = GEOS_init_r();
  return ctx;
}

// Owns one GEOS geometry.
using Geom = std::unique_ptr<GEOSGeometry, void (*)(GEOSGeometry*)>;
Geom Own(GEOSGeometry* g) {
  return {g, [](GEOSGeometry* x) { GEOSGeom_destroy_r(Ctx(), x); }};
}

Geom MakePolygon(const std::vector<Point>& ring) {
  const GEOSContextHandle_t ctx = Ctx();
  GEOSCoordSequence* seq = GEOSCoordSeq_create_r(ctx, static_cast<unsigned>(ring.size() + 1), 2);
  for (std::size_t k = 0; k <= ring.size(); ++k) {
    const Point& p = ring[k % ring.size()];
    GEOSCoordSeq_setXY_r(ctx, seq, static_cast<unsigned>(k), p.X, p.Y);
  }
  return Own(GEOSGeom_createPolygon_r(ctx, GEOSGeom_createLinearRing_r(ctx, seq), nullptr, 0));
}

// A star-shaped ring around (cx, cy): angles sorted, radii random, so it never
// crosses itself. Clockwise or counter-clockwise at random.
std::vector<Point> RandomRing(std::mt19937& rng) {
  std::uniform_real_distribution<double> centreX(-170, 170), centreY(-80, 80);
  std::uniform_real_distribution<double> radius(0.05, 5), turn(0, 2 * std::numbers::pi);
  std::uniform_int_distribution<int> vertices(3, 40);
  const double cx = centreX(rng);
  const double cy = centreY(rng);
  std::vector<double> angles(static_cast<std::size_t>(vertices(rng)));
  for (double& a : angles) a = turn(rng);
  std::sort(angles.begin(), angles.end());
  angles.erase(std::unique(angles.begin(), angles.end()), angles.end());
  if (rng() % 2 == 0) std::reverse(angles.begin(), angles.end());
  std::vector<Point> ring;
  for (double a : angles) {
    const double r = radius(rng);
    ring.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
  }
  return ring;
}

TEST(GeometryOracle, PointInPolygonAgreesWithGeosAwayFromTheBoundary) {
  std::mt19937 rng(2024);
  layer lay;
  lay.Tipo = polygonlayer;
  int compared = 0;
  for (int poly = 0; poly < 300; ++poly) {
    const std::vector<Point> ring = RandomRing(rng);
    Entidad ent;
    ent.parentLayer = &lay;
    ent.SetPoints(ring);
    ent.CalculateBoundingBox();
    const Geom shape = MakePolygon(ring);
    const Geom boundary = Own(GEOSBoundary_r(Ctx(), shape.get()));
    std::uniform_real_distribution<double> px(ent.bb().MinX - 1, ent.bb().MaxX + 1);
    std::uniform_real_distribution<double> py(ent.bb().MinY - 1, ent.bb().MaxY + 1);
    for (int k = 0; k < 60; ++k) {
      const double x = px(rng);
      const double y = py(rng);
      const Geom point = Own(GEOSGeom_createPointFromXY_r(Ctx(), x, y));
      double distance = 0;
      GEOSDistance_r(Ctx(), point.get(), boundary.get(), &distance);
      if (distance < 1e-3) continue;  // on or near the boundary our own rule decides
      const bool expected = GEOSContains_r(Ctx(), shape.get(), point.get()) == 1;
      ASSERT_EQ(ent.PointInPolygon(x, y), expected)
          << "polygon " << poly << " point (" << x << ", " << y << ")";
      ++compared;
    }
  }
  EXPECT_GT(compared, 10000);
}

TEST(GeometryOracle, PolygonCentroidAgreesWithGeos) {
  std::mt19937 rng(77);
  layer lay;
  lay.Tipo = polygonlayer;
  for (int poly = 0; poly < 500; ++poly) {
    std::vector<Point> ring = RandomRing(rng);
    if (poly % 5 == 0) {
      // Straddle Y = 0, where the trapezoids change sign.
      const double shift = -ring[0].Y;
      for (Point& p : ring) p.Y += shift;
    }
    Entidad ent;
    ent.parentLayer = &lay;
    ent.SetPoints(ring);
    double x = 0, y = 0;
    ent.Centroide(x, y);
    const Geom centre = Own(GEOSGetCentroid_r(Ctx(), MakePolygon(ring).get()));
    double gx = 0, gy = 0;
    GEOSGeomGetX_r(Ctx(), centre.get(), &gx);
    GEOSGeomGetY_r(Ctx(), centre.get(), &gy);
    // Relative to the coordinates' magnitude (at least 1 degree).
    EXPECT_NEAR(x, gx, 1e-9 * std::max(1.0, std::abs(gx))) << "polygon " << poly;
    EXPECT_NEAR(y, gy, 1e-9 * std::max(1.0, std::abs(gy))) << "polygon " << poly;
  }
}

}  // namespace
}  // namespace orvenda
