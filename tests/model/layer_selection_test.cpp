#include <gtest/gtest.h>

#include "model/layer.h"

namespace orvenda {
namespace {

// Classes: 1 the default, 2 hidden (no outline, no fill), 3 no outline but a solid fill.
void Prepare(layer& lay, TipoLayer kind) {
  lay.Tipo = kind;
  lay.ThematicMap().Add(0, 1, 0xFF0000, 0xC0C000, 0, kAnyValueClass, "");
  lay.ThematicMap().Add(5, 1, 0, 0, 1, "oculto", "");
  lay.ThematicMap().Add(5, 1, 0, 0, 0, "sin borde", "");
}

void AddDrawn(layer& lay, int32_t id, std::vector<Point> points, int32_t themeCode = 1) {
  lay.Entidades.Add(id, points, &lay).ThemeCode = themeCode;
  lay.DrawnEntities.push_back(id);
}

const std::vector<Point> kSquare = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};

// Points and lines: the nearest drawn element with an outline, a later one winning a
// tie, nearer than 0.00065 degrees; polygons: the first drawn containing one.
TEST(LayerSelectByPoint, NearestOrContainingDrawnElement) {
  layer points;
  Prepare(points, pointlayer);
  points.Entidades.Add(99, std::vector<Point>{{0, 0}}, &points);  // loaded, never drawn
  EXPECT_EQ(points.SelectByPoint(0, 0), 0);
  AddDrawn(points, 1, {{0.0003, 0}});
  AddDrawn(points, 2, {{-0.0003, 0}});
  AddDrawn(points, 3, {{0.0001, 0.0001}}, 2);  // nearest, but its class hides it
  EXPECT_EQ(points.SelectByPoint(0, 0), 2);
  EXPECT_EQ(points.SelectByPoint(0.0003, 0.0001), 1);
  points.DrawnEntities = {99};
  EXPECT_EQ(points.SelectByPoint(0.00065, 0), 0) << "exactly 0.00065 away";
  EXPECT_EQ(points.SelectByPoint(0.00064, 0), 99);
  points.Selectable = false;
  EXPECT_EQ(points.SelectByPoint(0.0003, 0), 0);

  layer lines;
  Prepare(lines, 3);
  const double upper = 1.0 / 2048, middle = upper / 2;  // exactly equal distances
  AddDrawn(lines, 10, {{0, 0}, {1, 0}});
  AddDrawn(lines, 11, {{0, upper}, {1, upper}});
  AddDrawn(lines, 12, {{0, middle}, {1, middle}}, 3);  // no outline: never picked
  EXPECT_EQ(lines.SelectByPoint(0.5, 0.0001), 10);
  EXPECT_EQ(lines.SelectByPoint(0.5, middle), 11);
  lines.DrawnEntities = {11, 10, 12};
  EXPECT_EQ(lines.SelectByPoint(0.5, middle), 10);
  EXPECT_EQ(lines.SelectByPoint(1.5, 0), 0) << "past the ends";

  layer areas;
  Prepare(areas, polygonlayer);
  AddDrawn(areas, 1, kSquare, 2);
  AddDrawn(areas, 2, {{2, 2}, {6, 2}, {6, 6}, {2, 6}}, 3);  // no outline, filled: picked
  AddDrawn(areas, 3, kSquare);
  for (const auto& [x, y, id] : {std::tuple{1, 1, 3}, {3, 3, 2}, {0, 0, 3}, {0, 2, 0}, {10, 10, 0}})
    EXPECT_EQ(areas.SelectByPoint(x, y), id) << x << ", " << y;

  for (TipoLayer kind : {0, 5}) {
    layer other;
    Prepare(other, kind);
    AddDrawn(other, 1, {{0, 0}});
    std::vector<int32_t> ids;
    other.SelectByPointMany(0, 0, ids);
    EXPECT_EQ(other.SelectByPoint(0, 0) + ids.size(), 0u) << kind;
  }
  AddDrawn(points, 4, {{0, 0}}, 9);
  points.Selectable = true;
  EXPECT_THROW(static_cast<void>(points.SelectByPoint(0, 0)), std::out_of_range) << "no class 9";
}

// Many: points at least as near as every earlier one and under 7.5e-5 are appended,
// filling a free (not positive) last slot first; lines and polygons add one.
TEST(LayerSelectByPointMany, AppendsToTheCallersList) {
  layer lay;
  Prepare(lay, pointlayer);
  AddDrawn(lay, 1, {{5e-5, 0}});
  AddDrawn(lay, 2, {{3e-5, 0}});
  AddDrawn(lay, 3, {{6e-5, 0}});     // farther than the best so far
  AddDrawn(lay, 4, {{0, 3e-5}});     // ties the best
  AddDrawn(lay, 5, {{0, 1e-6}}, 2);  // hidden
  AddDrawn(lay, 6, {{0, 2e-5}});
  const std::vector<std::pair<std::vector<int32_t>, std::vector<int32_t>>> rows = {
      {{}, {1, 2, 4, 6}},
      {{0}, {1, 2, 4, 6}},
      {{7}, {7, 1, 2, 4, 6}},
      {{7, 0}, {7, 1, 2, 4, 6}},
      {{-1}, {1, 2, 4, 6}}};
  for (auto [ids, expected] : rows) {
    lay.SelectByPointMany(0, 0, ids);
    EXPECT_EQ(ids, expected);
  }
  std::vector<int32_t> far;
  lay.SelectByPointMany(1, 1, far);
  EXPECT_TRUE(far.empty());

  layer lines;
  Prepare(lines, polylinelayer);
  AddDrawn(lines, 10, {{0, 0}, {1, 0}});
  AddDrawn(lines, 11, {{0, 0.0004}, {1, 0.0004}});
  AddDrawn(lines, 12, {{0, -0.00065}, {1, -0.00065}});
  std::vector<int32_t> ids = {0};
  lines.SelectByPointMany(0.5, 0.0003, ids);
  lines.SelectByPointMany(0.5, 0.01, ids);
  lines.DrawnEntities = {12};
  lines.SelectByPointMany(0.5, 0, ids);  // exactly 0.00065 away
  EXPECT_EQ(ids, (std::vector<int32_t>{11}));
  layer areas;
  Prepare(areas, polygonlayer);
  AddDrawn(areas, 1, kSquare);
  AddDrawn(areas, 2, kSquare);
  areas.SelectByPointMany(1, 1, ids);
  EXPECT_EQ(ids, (std::vector<int32_t>{11, 1}));
}

// Elements with any (or every) vertex in the polygon, in collection order, drawn or not;
// hidden lines have no outline, hidden polygons neither outline nor fill; none gives {0}.
TEST(LayerSelectInPolygon, AnyOrWholeElementInCollectionOrder) {
  layer lay;
  Prepare(lay, polylinelayer);
  lay.Entidades.Add(1, std::vector<Point>{{1, 1}, {2, 2}}, &lay);
  lay.Entidades.Add(2, std::vector<Point>{{3, 3}, {9, 9}}, &lay);                // partly inside
  lay.Entidades.Add(3, std::vector<Point>{{8, 8}, {9, 9}}, &lay);                // outside
  lay.Entidades.Add(4, std::vector<Point>{{1, 3}, {2, 3}}, &lay).ThemeCode = 3;  // hidden
  lay.Entidades.Add(5, std::vector<Point>{}, &lay);
  lay.Entidades.Add(1, std::vector<Point>{{1, 1}, {2, 2}}, &lay);  // replaced: now last
  EXPECT_EQ(lay.SelectElementsInPolygon(kSquare, false), (std::vector<int32_t>{2, 1}));
  EXPECT_EQ(lay.SelectElementsInPolygon(kSquare, true), (std::vector<int32_t>{1}));
  const std::vector<Point> far = {{100, 100}, {101, 100}, {101, 101}};
  EXPECT_EQ(lay.SelectElementsInPolygon(far, false), (std::vector<int32_t>{0}));
  const std::vector<Point> gap = {{5, 0.5}, {7, 0.5}, {7, 1.5}, {5, 1.5}};
  EXPECT_EQ(lay.SelectElementsInPolygon(gap, false), (std::vector<int32_t>{0}));

  layer areas;
  Prepare(areas, polygonlayer);
  for (int32_t code : {2, 3, 1})
    areas.Entidades.Add(code, std::vector<Point>{{1, 1}, {2, 1}, {2, 2}}, &areas).ThemeCode = code;
  EXPECT_EQ(areas.SelectElementsInPolygon(kSquare, true), (std::vector<int32_t>{3, 1}));
}

}  // namespace
}  // namespace orvenda
