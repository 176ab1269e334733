#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/entidad.h"
#include "model/layer.h"

namespace orvenda {
namespace {

constexpr double kNone = 1e30;

// An element of the given kind, owned with its layer.
struct Fixture {
  layer lay;
  Entidad ent;
  Fixture(TipoLayer kind, std::vector<Point> points) {
    lay.Tipo = kind;
    ent.parentLayer = &lay;
    ent.SetPoints(points);
    ent.CalculateBoundingBox();
  }
};

const std::vector<Point> kSquare = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};

TEST(EntidadGeometry, SegmentDistanceSignsFeetOffTheSegment) {
  struct Row {
    const char* name;
    double px, py, ax, ay, bx, by;
    bool keepSign;
    double expected;
  };
  const Row rows[] = {
      {"horizontal, foot on", 5, 3, 0, 0, 10, 0, false, 3},
      {"horizontal, foot beyond end", 12, 3, 0, 0, 10, 0, false, -3},
      {"horizontal, beyond end, sign kept", 12, 3, 0, 0, 10, 0, true, 3},
      {"vertical, foot on", 0, 1, 2, 0, 2, 4, false, 2},
      {"vertical, foot below start", 0, -1, 2, 0, 2, 4, false, -std::sqrt(4.0)},
      {"oblique, foot at middle", 0, 4, 0, 0, 4, 4, false, std::sqrt(8.0)},
      {"oblique, foot past end", 5, 6, 0, 0, 4, 4, false, -std::sqrt(0.5)},
      {"foot exactly on an end", 10, 5, 0, 0, 10, 0, false, 5},
      {"degenerate segment", 1, 1, 3, 3, 3, 3, false, kNone},
  };
  for (const Row& r : rows) {
    EXPECT_NEAR(Entidad::SegmentDistance(r.px, r.py, r.ax, r.ay, r.bx, r.by, r.keepSign),
                r.expected, 1e-12)
        << r.name;
  }
}

TEST(EntidadGeometry, DistanceToElementByKind) {
  EXPECT_DOUBLE_EQ(Fixture(pointlayer, {{3, 4}}).ent.DistPuntoAEntidad(0, 0), 5);
  EXPECT_EQ(Fixture(pointlayer, {}).ent.DistPuntoAEntidad(0, 0), kNone);
  // One segment: a point past its end has no perpendicular foot on it.
  EXPECT_EQ(Fixture(polylinelayer, {{0, 0}, {10, 0}}).ent.DistPuntoAEntidad(12, 3), kNone);
  // On the line but past the end: the foot is off the segment however near.
  EXPECT_EQ(Fixture(polylinelayer, {{0, 0}, {10, 0}}).ent.DistPuntoAEntidad(10.0001, 0), kNone);
  EXPECT_EQ(Fixture(polylinelayer, {{0, 0}, {0, 10}}).ent.DistPuntoAEntidad(0, 50), kNone);
  // Kinds 2 and 3 both read as polylines; the smallest applicable segment wins.
  for (TipoLayer kind : {2, 3}) {
    Fixture f(kind, {{0, 0}, {10, 0}, {10, 10}});
    EXPECT_DOUBLE_EQ(f.ent.DistPuntoAEntidad(9, 3), 1) << kind;
    EXPECT_DOUBLE_EQ(f.ent.DistPuntoAEntidad(5, -2), 2) << kind;
  }
  EXPECT_EQ(Fixture(polylinelayer, {{1, 1}}).ent.DistPuntoAEntidad(1, 1), kNone);
  EXPECT_EQ(Fixture(polygonlayer, kSquare).ent.DistPuntoAEntidad(2, 2), kNone);
  Entidad orphan;  // no layer: no kind
  orphan.SetPoints(kSquare);
  EXPECT_EQ(orphan.DistPuntoAEntidad(0, 0), kNone);
}

TEST(EntidadGeometry, CentroidByKind) {
  struct Row {
    const char* name;
    TipoLayer kind;
    std::vector<Point> points;
    double x, y;
  };
  const Row rows[] = {
      {"square counter-clockwise", polygonlayer, kSquare, 2, 2},
      {"square clockwise", polygonlayer, {{0, 0}, {0, 4}, {4, 4}, {4, 0}}, 2, 2},
      {"square from another corner", polygonlayer, {{4, 4}, {0, 4}, {0, 0}, {4, 0}}, 2, 2},
      {"square with repeated closing vertex",
       polygonlayer,
       {{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}},
       2,
       2},
      {"L shape", polygonlayer, {{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}}, 5.0 / 6, 5.0 / 6},
      // Two edges cross Y = 0 with parts cancelling to no area; their moment
      // still counts.
      {"triangle across Y = 0", polygonlayer, {{0, -1}, {1, 1}, {2, -1}}, 1, -1.0 / 3},
      {"zero-area polygon: vertex mean", polygonlayer, {{0, 0}, {1, 1}, {2, 2}}, 1, 1},
      {"polygon without vertices", polygonlayer, {}, 0, 0},
      {"point: vertex 1", pointlayer, {{7, -3}, {1, 1}}, 7, -3},
      {"point without vertices", pointlayer, {}, 0, 0},
      {"polyline: vertex mean", polylinelayer, {{0, 0}, {10, 0}, {10, 10}}, 20.0 / 3, 10.0 / 3},
      {"polyline without vertices", 3, {}, 0, 0},
      {"image layer", ImageLayer, kSquare, 0, 0},
  };
  for (const Row& r : rows) {
    Fixture f(r.kind, r.points);
    double x = 99;
    double y = 99;
    f.ent.Centroide(x, y);
    EXPECT_NEAR(x, r.x, 1e-12) << r.name;
    EXPECT_NEAR(y, r.y, 1e-12) << r.name;
  }
}

TEST(EntidadGeometry, EdgeTrapezoidIsSignedByDirection) {
  const auto right = Entidad::EdgeTrapezoid(0, 1, 2, 3);  // rectangle 2 + triangle 2
  EXPECT_DOUBLE_EQ(right.Area, 4);
  EXPECT_DOUBLE_EQ(right.X, (2 * 1 + 2 * (4.0 / 3)) / 4);
  EXPECT_DOUBLE_EQ(right.Y, (2 * 0.5 + 2 * (1 + 2.0 / 3)) / 4);
  const auto left = Entidad::EdgeTrapezoid(2, 3, 0, 1);
  EXPECT_DOUBLE_EQ(left.Area, -4);
  EXPECT_DOUBLE_EQ(left.X, right.X);
  EXPECT_DOUBLE_EQ(left.Y, right.Y);
  const auto vertical = Entidad::EdgeTrapezoid(1, 0, 1, 5);
  EXPECT_EQ(vertical.Area, 0);
  EXPECT_EQ(vertical.X, 0);
  EXPECT_EQ(vertical.Y, 0);
}

TEST(EntidadGeometry, NearestSegmentAtTheNearestVertex) {
  double x0 = 0, y0 = 0, x1 = -7, y1 = -7;
  Fixture line(polylinelayer, {{0, 0}, {10, 0}, {10, 10}});
  // Both segments at vertex 2 are 1 away: the next one wins a tie.
  EXPECT_DOUBLE_EQ(line.ent.GetNearestSegment(9, 1, x0, y0, x1, y1), 1);
  EXPECT_EQ(Point(x0, y0), Point(10, 0));
  EXPECT_EQ(Point(x1, y1), Point(10, 10));
  EXPECT_DOUBLE_EQ(line.ent.GetNearestSegment(8, 1, x0, y0, x1, y1), 1);
  EXPECT_EQ(Point(x1, y1), Point(0, 0));
  // On the first segment's line before its start: no segment applies.
  EXPECT_EQ(line.ent.GetNearestSegment(-5, 0, x0, y0, x1, y1), kNone);

  // Near vertex 1 of a ring, the closing edge from the last vertex counts.
  Fixture ring(polygonlayer, kSquare);
  EXPECT_DOUBLE_EQ(ring.ent.GetNearestSegment(-0.5, 1, x0, y0, x1, y1), 0.5);
  EXPECT_EQ(Point(x0, y0), Point(0, 0));
  EXPECT_EQ(Point(x1, y1), Point(0, 4));

  // The same vertices as a polyline have no edge before vertex 1.
  Fixture open(polylinelayer, kSquare);
  x1 = -7;
  EXPECT_EQ(open.ent.GetNearestSegment(-0.5, 1, x0, y0, x1, y1), kNone);
  EXPECT_EQ(Point(x0, y0), Point(0, 0));
  EXPECT_EQ(x1, -7);  // left unset

  // Equally near vertices: the first one is the pivot.
  Fixture twins(polylinelayer, {{0, 1}, {5, 1}, {0, -1}});
  EXPECT_LT(twins.ent.GetNearestSegment(0, 0, x0, y0, x1, y1), kNone);
  EXPECT_EQ(Point(x0, y0), Point(0, 1));

  EXPECT_EQ(Fixture(pointlayer, {{1, 1}}).ent.GetNearestSegment(0, 0, x0, y0, x1, y1), kNone);
  EXPECT_EQ(Fixture(polylinelayer, {}).ent.GetNearestSegment(0, 0, x0, y0, x1, y1), kNone);
}

TEST(EntidadGeometry, NearestVertexLaterWinsTie) {
  Fixture f(polylinelayer, {{0, 1}, {3, 3}, {0, -1}});
  const auto hit = f.ent.NearestVertex(0, 0);
  EXPECT_EQ(hit.index, 3);
  EXPECT_DOUBLE_EQ(hit.distance, 1);
  const auto none = Fixture(polylinelayer, {}).ent.NearestVertex(0, 0);
  EXPECT_EQ(none.index, 0);
  EXPECT_EQ(none.distance, 1e38);
}

TEST(EntidadGeometry, RayCrossingStrictEndsAndSinglePrecision) {
  EXPECT_FALSE(Entidad::RayCrossing(0, 0, 0, 4, -1, 0));  // at the lower end
  EXPECT_FALSE(Entidad::RayCrossing(0, 0, 0, 4, -1, 4));  // at the upper end
  EXPECT_FALSE(Entidad::RayCrossing(0, 0, 5, 0, -1, 0));  // horizontal edge
  EXPECT_EQ(Entidad::RayCrossing(0, 0, 2, 4, -1, 1), 0.5);
  EXPECT_EQ(Entidad::RayCrossing(0, 0, 0.2, 4, -1, 2), static_cast<double>(0.1f));
  EXPECT_EQ(Entidad::RayCrossing(0, 0, 3, 5e-9, -1, 2e-9), -1);  // nearly flat: at the point
}

TEST(EntidadGeometry, PointInPolygonBoundaryRule) {
  Fixture f(polygonlayer, kSquare);
  struct Row {
    const char* name;
    double x, y;
    bool inside;
  };
  const Row rows[] = {
      {"centre", 2, 2, true},
      {"right edge (one crossing)", 4, 2, true},
      {"left edge (two crossings)", 0, 2, false},
      {"vertex", 0, 0, true},
      {"other vertex", 4, 4, true},
      {"top edge", 2, 4, false},
      {"bottom edge", 2, 0, false},
      {"outside box", 5, 2, false},
      {"just inside left", 1e-6, 2, true},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(f.ent.PointInPolygon(r.x, r.y), r.inside) << r.name;
  }
  // Concave ring: the notch is outside.
  Fixture u(polygonlayer, {{0, 0}, {3, 0}, {3, 3}, {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}});
  EXPECT_FALSE(u.ent.PointInPolygon(1.5, 2));
  EXPECT_TRUE(u.ent.PointInPolygon(0.5, 2));
  EXPECT_TRUE(u.ent.PointInPolygon(2.5, 2));
  EXPECT_FALSE(Fixture(polygonlayer, {}).ent.PointInPolygon(0, 0));
}

TEST(EntidadGeometry, BoxOnlyGrowsAndExtendsTheLayer) {
  Fixture f(polylinelayer, {{1, 2}, {3, -1}});
  EXPECT_EQ(f.ent.bb.MinX, 1);
  EXPECT_EQ(f.ent.bb.MinY, -1);
  EXPECT_EQ(f.ent.bb.MaxX, 3);
  EXPECT_EQ(f.ent.bb.MaxY, 2);
  f.ent.SetPoints(std::vector<Point>{{2, 0}, {2.5, 10}});
  f.ent.CalculateBoundingBox();
  EXPECT_EQ(f.ent.bb.MinX, 1);  // kept from the old vertices
  EXPECT_EQ(f.ent.bb.MaxY, 10);
  EXPECT_EQ(f.lay.bb.MaxY, 10);
  EXPECT_EQ(f.lay.bb.MinY, -1);
}

TEST(EntidadGeometry, VerticesAreCopiedBothWays) {
  std::vector<Point> given = {{1, 1}, {2, 2}};
  Entidad e;
  e.SetPoints(given);
  given[0] = {9, 9};
  std::vector<Point> read = e.Points();
  read[1] = {8, 8};
  EXPECT_EQ(e.Points(), (std::vector<Point>{{1, 1}, {2, 2}}));
  EXPECT_EQ(e.UboundPoints, 2);
}

TEST(EntidadScreenCache, SizedOutsideAndDroppedWithNewVertices) {
  Entidad e;
  e.SetPoints(kSquare);
  EXPECT_EQ(e.ScreenState(), ScreenCache::Unsized);
  EXPECT_TRUE(e.Screen().empty());
  auto cache = e.SizeScreen();
  ASSERT_EQ(cache.size(), 4u);
  cache[3] = {10.5f, 20.5f};
  EXPECT_EQ(e.Screen()[3].X, 10.5f);
  e.MarkScreenOutside();
  ASSERT_EQ(e.Screen().size(), 1u);
  EXPECT_EQ(e.Screen()[0].X, 0.f);
  EXPECT_EQ(e.SizeScreen().size(), 4u);
  e.SetPoints(std::vector<Point>{{0, 0}});
  EXPECT_EQ(e.ScreenState(), ScreenCache::Unsized);
  EXPECT_EQ(e.SizeScreen().size(), 1u);
}

}  // namespace
}  // namespace orvenda
