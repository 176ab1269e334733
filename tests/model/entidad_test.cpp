#include "model/entidad.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/layer.h"

namespace orvenda {
namespace {

constexpr double kNone = 1e30;  // no distance applies

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

// The perpendicular distance; negative when the foot is off the segment, unless kept.
TEST(EntidadGeometry, SegmentDistanceSignsFeetOffTheSegment) {
  // The point, the segment's ends, whether the sign is kept, the distance.
  const std::tuple<double, double, double, double, double, double, bool, double> rows[] = {
      {5, 3, 0, 0, 10, 0, false, 3},
      {12, 3, 0, 0, 10, 0, false, -3},
      {12, 3, 0, 0, 10, 0, true, 3},
      {0, 1, 2, 0, 2, 4, false, 2},
      {0, -1, 2, 0, 2, 4, false, -2},
      {0, 4, 0, 0, 4, 4, false, std::sqrt(8.0)},
      {5, 6, 0, 0, 4, 4, false, -std::sqrt(0.5)},
      {10, 5, 0, 0, 10, 0, false, 5},
      {1, 6, 1, 2, 5, 6, false, std::sqrt(8.0)},
      {1, 1, 3, 3, 3, 3, false, kNone}};
  for (const auto& [px, py, ax, ay, bx, by, keepSign, expected] : rows) {
    EXPECT_NEAR(Entidad::SegmentDistance(px, py, ax, ay, bx, by, keepSign), expected, 1e-12)
        << px << "," << py;
  }
}

TEST(EntidadGeometry, DistanceToElementByKind) {
  EXPECT_DOUBLE_EQ(Fixture(pointlayer, {{3, 4}}).ent.DistPuntoAEntidad(0, 0), 5);
  EXPECT_EQ(Fixture(pointlayer, {}).ent.DistPuntoAEntidad(0, 0), kNone);
  // Past a segment's end there is no foot on it, however near (also -0 on its line).
  EXPECT_EQ(Fixture(polylinelayer, {{0, 0}, {10, 0}}).ent.DistPuntoAEntidad(12, 3), kNone);
  EXPECT_EQ(Fixture(polylinelayer, {{0, 0}, {10, 0}}).ent.DistPuntoAEntidad(10.0001, 0), kNone);
  for (TipoLayer kind : {2, 3}) {  // both read as polylines; the nearest segment wins
    Fixture f(kind, {{0, 0}, {10, 0}, {10, 10}});
    EXPECT_DOUBLE_EQ(f.ent.DistPuntoAEntidad(9, 3), 1) << kind;
    EXPECT_DOUBLE_EQ(f.ent.DistPuntoAEntidad(5, -2), 2) << kind;
  }
  EXPECT_EQ(Fixture(polylinelayer, {{1, 1}}).ent.DistPuntoAEntidad(1, 1), kNone);
  EXPECT_EQ(Fixture(polygonlayer, kSquare).ent.DistPuntoAEntidad(2, 2), kNone);
}

TEST(EntidadGeometry, CentroidByKind) {
  const std::tuple<TipoLayer, std::vector<Point>, double, double> rows[] = {
      {polygonlayer, kSquare, 2, 2},
      {polygonlayer, {{0, 0}, {0, 4}, {4, 4}, {4, 0}}, 2, 2},  // clockwise
      {polygonlayer, {{4, 4}, {0, 4}, {0, 0}, {4, 0}, {4, 4}}, 2, 2},
      {polygonlayer, {{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}}, 5.0 / 6, 5.0 / 6},
      // Edges crossing Y = 0 whose parts cancel to no area still carry a moment.
      {polygonlayer, {{0, -1}, {1, 1}, {2, -1}}, 1, -1.0 / 3},
      {polygonlayer, {{0, 0}, {1, 1}, {2, 2}}, 1, 1},  // no area: the vertex mean
      {polygonlayer, {}, 0, 0},
      {pointlayer, {{7, -3}, {1, 1}}, 7, -3},
      {pointlayer, {}, 0, 0},
      {polylinelayer, {{0, 0}, {10, 0}, {10, 10}}, 20.0 / 3, 10.0 / 3},
      {3, {{2, 0}, {4, 4}}, 3, 2},
      {ImageLayer, kSquare, 0, 0}};
  for (const auto& [kind, points, wantX, wantY] : rows) {
    Fixture f(kind, points);
    double x = 99, y = 99;
    f.ent.Centroide(x, y);
    EXPECT_NEAR(x, wantX, 1e-12) << kind << " " << points.size();
    EXPECT_NEAR(y, wantY, 1e-12) << kind << " " << points.size();
  }
}

TEST(EntidadGeometry, NearestSegmentAndVertex) {
  double x0 = 0, y0 = 0, x1 = -7, y1 = -7;
  Fixture line(polylinelayer, {{0, 0}, {10, 0}, {10, 10}});
  // Both segments at vertex 2 are 1 away: the next one wins a tie.
  EXPECT_DOUBLE_EQ(line.ent.GetNearestSegment(9, 1, x0, y0, x1, y1), 1);
  EXPECT_EQ((std::vector<double>{x0, y0, x1, y1}), (std::vector<double>{10, 0, 10, 10}));
  EXPECT_DOUBLE_EQ(line.ent.GetNearestSegment(8, 1, x0, y0, x1, y1), 1);
  EXPECT_EQ(Point(x1, y1), Point(0, 0));
  EXPECT_EQ(line.ent.GetNearestSegment(-5, 0, x0, y0, x1, y1), kNone) << "before the start";
  // Near vertex 1 of a ring the closing edge counts; a polyline has no edge there.
  EXPECT_DOUBLE_EQ(Fixture(polygonlayer, kSquare).ent.GetNearestSegment(-0.5, 1, x0, y0, x1, y1),
                   0.5);
  EXPECT_EQ((std::vector<double>{x0, y0, x1, y1}), (std::vector<double>{0, 0, 0, 4}));
  x1 = -7;
  EXPECT_EQ(Fixture(polylinelayer, kSquare).ent.GetNearestSegment(-0.5, 1, x0, y0, x1, y1), kNone);
  EXPECT_EQ(x1, -7) << "left unset";
  // Equally near vertices: the first one is the pivot.
  EXPECT_LT(
      Fixture(polylinelayer, {{0, 1}, {5, 1}, {0, -1}}).ent.GetNearestSegment(0, 0, x0, y0, x1, y1),
      kNone);
  EXPECT_EQ(Point(x0, y0), Point(0, 1));
  EXPECT_EQ(Fixture(pointlayer, {{1, 1}}).ent.GetNearestSegment(0, 0, x0, y0, x1, y1), kNone);
  EXPECT_EQ(Fixture(polylinelayer, {}).ent.GetNearestSegment(0, 0, x0, y0, x1, y1), kNone);

  const auto hit = Fixture(polylinelayer, {{0, 1}, {3, 3}, {0, -1}}).ent.NearestVertex(0, 0);
  EXPECT_EQ(hit.index, 3) << "the later vertex wins a tie";
  EXPECT_DOUBLE_EQ(hit.distance, 1);
  EXPECT_EQ(Fixture(polylinelayer, {}).ent.NearestVertex(0, 0).index, 0);
}

// A crossing strictly between the edge's ends, kept at single precision.
TEST(EntidadGeometry, PointInPolygonBoundaryRule) {
  EXPECT_FALSE(Entidad::RayCrossing(0, 0, 0, 4, -1, 0));
  EXPECT_FALSE(Entidad::RayCrossing(0, 0, 0, 4, -1, 4));
  EXPECT_FALSE(Entidad::RayCrossing(0, 0, 5, 0, -1, 0));
  EXPECT_EQ(Entidad::RayCrossing(0, 0, 2, 4, -1, 1), 0.5);
  EXPECT_EQ(Entidad::RayCrossing(0, 0, 0.2, 4, -1, 2), static_cast<double>(0.1f));
  EXPECT_EQ(Entidad::RayCrossing(0, 0, 3, 5e-9, -1, 2e-9), -1);  // nearly flat: at the point
  Fixture f(polygonlayer, kSquare);
  // Inside: centre, right edge, vertices; outside: left, top and bottom edges.
  const std::vector<std::pair<Point, bool>> rows = {
      {{2, 2}, true},  {{4, 2}, true},  {{0, 2}, false}, {{0, 0}, true},   {{4, 4}, true},
      {{2, 4}, false}, {{2, 0}, false}, {{5, 2}, false}, {{1e-6, 2}, true}};
  for (const auto& [p, inside] : rows) EXPECT_EQ(f.ent.PointInPolygon(p.X, p.Y), inside) << p.X;
  Fixture u(polygonlayer, {{0, 0}, {3, 0}, {3, 3}, {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}});
  EXPECT_FALSE(u.ent.PointInPolygon(1.5, 2)) << "the notch of a concave ring";
  EXPECT_TRUE(u.ent.PointInPolygon(2.5, 2));
  EXPECT_FALSE(Fixture(polygonlayer, {}).ent.PointInPolygon(0, 0));
}

}  // namespace
}  // namespace orvenda
