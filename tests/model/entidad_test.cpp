#include "model/entidad.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <tuple>
#include <unordered_map>

#include "model/boundingbox.h"
#include "model/entidades.h"
#include "model/idindex.h"
#include "model/layer.h"
#include "model/tipolayer.h"

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
      // Rings of both turns against GEOS: geometry_oracle_test; here the odd cases.
      {polygonlayer, {{4, 4}, {0, 4}, {0, 0}, {4, 0}, {4, 4}}, 2, 2},  // closed: last = first
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
  // Near the first and the last vertex of a ring the closing edge counts; a polyline has
  // no edge there.
  for (const auto& [y, want] :
       {std::pair{1.0, std::vector<double>{0, 0, 0, 4}}, {3.0, {0, 4, 0, 0}}}) {
    EXPECT_DOUBLE_EQ(Fixture(polygonlayer, kSquare).ent.GetNearestSegment(-0.5, y, x0, y0, x1, y1),
                     0.5);
    EXPECT_EQ((std::vector<double>{x0, y0, x1, y1}), want) << y;
  }
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

// A crossing strictly between the edge's ends, kept at single precision. (Concave rings
// away from their edges: geometry_oracle_test.)
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
  EXPECT_FALSE(Fixture(polygonlayer, {}).ent.PointInPolygon(0, 0));
}

BoundingBox Box(double minX, double minY, double maxX, double maxY) {
  BoundingBox b;
  b.Union(minX, minY, maxX, maxY);
  return b;
}

// Boundaries count as inside, for intersection, containment and points alike.
TEST(BoundingBox, RelationsIncludeBoundaries) {
  const BoundingBox unit = Box(0, 0, 1, 1);
  // Two boxes; whether they intersect, whether the first contains the second.
  const std::tuple<BoundingBox, BoundingBox, bool, bool> rows[] = {
      {unit, Box(1, 1, 2, 2), true, false},
      {unit, Box(1.0000001, 0, 2, 1), false, false},
      {unit, Box(0, 1.0000001, 1, 2), false, false},
      {Box(0, 0, 10, 10), Box(2, 2, 3, 3), true, true},
      {Box(0, 0, 10, 10), Box(0, 0, 10, 10), true, true},
      {Box(0, 0, 10, 10), Box(0, 0, 10, 5), true, true},
      {Box(0, 0, 10, 10), Box(-0.1, 0, 10, 10), true, false},
      {Box(0, 0, 10, 10), Box(0, -0.1, 10, 10), true, false},
      {Box(0, 0, 10, 10), Box(0, 0, 10.1, 10), true, false},
      {Box(0, 0, 10, 10), Box(0, 0, 10, 10.1), true, false},
      {Box(0, 4, 10, 6), Box(4, 0, 6, 10), true, false}};
  for (const auto& [a, b, intersect, aContainsB] : rows) {
    EXPECT_EQ(a.InterseccionCon(b), intersect) << b.MinX << "," << b.MinY;
    EXPECT_EQ(b.InterseccionCon(a), intersect) << b.MinX << "," << b.MinY;
    EXPECT_EQ(a.ContieneA(b), aContainsB) << b.MinX << "," << b.MinY;
    EXPECT_EQ(b.ContenidoPor(a), aContainsB) << b.MinX << "," << b.MinY;
  }
  BoundingBox inverted;  // starts before the other box: never overlaps it
  inverted.MinX = inverted.MinY = 5;
  inverted.MaxX = inverted.MaxY = -5;
  EXPECT_FALSE(inverted.InterseccionCon(unit));
  EXPECT_FALSE(unit.InterseccionCon(inverted));
  const BoundingBox b = Box(-1, -2, 3, 4);
  for (const auto& [x, y] : {Point{-1, -2}, Point{3, -2}, Point{3, 4}, Point{-1, 4}, Point{0, 0}})
    EXPECT_TRUE(b.PointInBoundingBox(x, y)) << x << ", " << y;
  for (const auto& [x, y] :
       {Point{-1.0001, 0}, Point{3.0001, 0}, Point{0, -2.0001}, Point{0, 4.0001}})
    EXPECT_FALSE(b.PointInBoundingBox(x, y)) << x << ", " << y;
}

// A point keeps vertex and box in place until its box or vertex count
// outgrows that; the box only grows, whatever form the element takes.
TEST(Entidad, BoxVerticesAndScreenSurviveEveryChangeOfForm) {
  struct Step {
    std::vector<Point> points;
    bool recalculate;
    BoundingBox box;  // after the step
  };
  const std::vector<Step> steps = {
      {{}, true, {}},
      {{{2, 3}}, false, {}},
      {{{2, 3}}, true, Box(2, 3, 2, 3)},
      {{{5, -1}}, false, Box(2, 3, 2, 3)},  // moved: the old box stays
      {{{5, -1}}, true, Box(2, -1, 5, 3)},
      {{{3, 0}, {4, 1}, {6, 2}}, true, Box(2, -1, 6, 3)},
      {{{3, 0}}, true, Box(2, -1, 6, 3)},
      {{}, false, Box(2, -1, 6, 3)},
  };
  layer lay;
  lay.Tipo = pointlayer;
  Entidad ent;
  ent.parentLayer = &lay;
  for (std::size_t k = 0; k < steps.size(); ++k) {
    SCOPED_TRACE(k);
    const Step& step = steps[k];
    ent.SetPoints(step.points);
    if (step.recalculate) ent.CalculateBoundingBox();
    EXPECT_EQ(ent.Points(), step.points);
    EXPECT_EQ(ent.UboundPoints(), static_cast<int32_t>(step.points.size()));
    const BoundingBox b = ent.bb();
    EXPECT_EQ(std::tie(b.MinX, b.MinY, b.MaxX, b.MaxY),
              std::tie(step.box.MinX, step.box.MinY, step.box.MaxX, step.box.MaxY));
    EXPECT_EQ(ent.ScreenState(), ScreenCache::Unsized);
    const auto screen = ent.SizeScreen();
    ASSERT_EQ(screen.size(), step.points.size());
    for (std::size_t i = 0; i < screen.size(); ++i) screen[i] = {1.0f + i, 0};
    for (std::size_t i = 0; i < screen.size(); ++i) EXPECT_EQ(ent.Screen()[i].X, 1.0f + i);
    ent.MarkScreenOutside();
    ASSERT_EQ(ent.Screen().size(), 1u);
    EXPECT_EQ(ent.Screen()[0].X, 0);
  }
  EXPECT_EQ(lay.bb.MinX, 2);
  EXPECT_EQ(lay.bb.MaxX, 6);
}

TEST(Entidad, ThemeValueKeepsAnyText) {
  Entidad ent;
  const std::vector<std::string> texts = {
      "0", "", "1234567", "12345678", std::string(300, 'x'), "PUBLICA", ""};
  for (const std::string& text : texts) {
    ent.SetThemeValue(text);
    EXPECT_EQ(ent.ThemeValue(), text);
  }
}

std::vector<int32_t> Order(const Entidades& ents) {
  std::vector<int32_t> ids;
  for (const Entidad& e : ents) ids.push_back(e.ID);
  return ids;
}

TEST(Entidades, ReplacementMovesToTheEndAndIsNewAgain) {
  layer lay;
  for (int32_t id : {10, 20, 30}) lay.Entidades.Add(id, std::vector<Point>{{1.0 * id, 1}}, &lay);
  EXPECT_EQ(lay.Entidades.GetNewIDs(), (std::vector<int32_t>{10, 20, 30}));
  EXPECT_TRUE(lay.Entidades.GetNewIDs().empty());
  Entidad& again = lay.Entidades.Add(10, std::vector<Point>{{5, -5}}, &lay);
  EXPECT_EQ(again.ThemeCode, 1);
  EXPECT_EQ(Order(lay.Entidades), (std::vector<int32_t>{20, 30, 10}));
  EXPECT_EQ(lay.Entidades.GetNewIDs(), (std::vector<int32_t>{10}));
  EXPECT_EQ(lay.bb.MinX, 5) << "the layer's box covers old and new positions";
  EXPECT_EQ(lay.bb.MaxX, 30);
  EXPECT_EQ(lay.bb.MinY, -5);
  EXPECT_EQ(lay.Entidades.Item("10"), &again);
  EXPECT_EQ(lay.Entidades.Item(0), nullptr);
  EXPECT_EQ(lay.Entidades.Item(4), nullptr);
  lay.Entidades.Remove("20");
  EXPECT_EQ(Order(lay.Entidades), (std::vector<int32_t>{30, 10}));
}

// Random adds, replacements and removals against a plain list.
TEST(Entidades, OrderSurvivesManyReplacementsAndRemovals) {
  std::mt19937 rng(12345);
  Entidades ents;
  std::vector<int32_t> expected;
  for (int step = 0; step < 20000; ++step) {
    const auto id = static_cast<int32_t>(rng() % 300) - 100;
    if (const auto it = std::find(expected.begin(), expected.end(), id); it != expected.end())
      expected.erase(it);
    if (rng() % 3 == 0) {
      ents.RemoveID(id);
    } else {
      ents.Add(id, std::vector<Point>{{1.0 * id, 1.0 * step}}, nullptr);
      expected.push_back(id);
    }
    ASSERT_TRUE(step % 997 != 0 || Order(ents) == expected) << "step " << step;
  }
  ASSERT_EQ(ents.count(), static_cast<int32_t>(expected.size()));
  for (std::size_t k = 0; k < expected.size(); ++k) {
    ASSERT_EQ(ents.Item(static_cast<int32_t>(k + 1))->ID, expected[k]);
    EXPECT_EQ(ents.Item(std::to_string(expected[k]))->Points()[0].X, expected[k]);
  }
}

// Random puts and erases against std::unordered_map, with ID patterns that stress
// linear probing: consecutive runs, large strides, negative and extreme values.
TEST(IdIndex, AgreesWithAStandardMapUnderChurn) {
  std::mt19937 rng(99);
  const std::vector<std::function<int32_t(uint32_t)>> patterns = {
      [](uint32_t k) { return static_cast<int32_t>(k % 5000); },
      [](uint32_t k) { return static_cast<int32_t>((k % 3000) * 1048576u); },
      [](uint32_t k) { return static_cast<int32_t>((k % 3000) * 16u); },
      [](uint32_t k) { return -static_cast<int32_t>(k % 4000); },
      [](uint32_t k) { return static_cast<int32_t>(k); }};
  for (std::size_t p = 0; p < patterns.size(); ++p) {
    IdIndex index;
    EXPECT_EQ(index.Find(0), IdIndex::kNone);
    EXPECT_FALSE(index.Erase(0));
    std::unordered_map<int32_t, uint32_t> expected;
    for (uint32_t step = 0; step < 60000; ++step) {
      const int32_t id = patterns[p](rng());
      if (rng() % 3 == 0) {
        ASSERT_EQ(index.Erase(id), expected.erase(id) == 1) << "pattern " << p;
        continue;
      }
      const auto it = expected.find(id);
      ASSERT_EQ(index.Put(id, step), it == expected.end() ? IdIndex::kNone : it->second) << p;
      expected[id] = step;
    }
    ASSERT_EQ(index.size(), expected.size()) << "pattern " << p;
    for (const auto& [id, slot] : expected) ASSERT_EQ(index.Find(id), slot) << p << " " << id;
    for (int32_t probe : {INT_MIN, INT_MAX, -1, 0, 7}) {
      const auto it = expected.find(probe);
      EXPECT_EQ(index.Find(probe), it == expected.end() ? IdIndex::kNone : it->second);
    }
    index.Clear();
    EXPECT_EQ(index.Find(7), IdIndex::kNone);
    index.Put(INT_MIN, 1);
    EXPECT_EQ(index.Find(INT_MIN), 1u);
  }
}

}  // namespace
}  // namespace orvenda
