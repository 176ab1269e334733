#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "model/layer.h"

namespace orvenda {
namespace {

// A layer of the given kind with a default class (key "1"), a hidden class
// (key "2": no outline, no fill) and an outline-only hidden class for lines
// (key "3": no outline, solid fill).
void Prepare(layer& lay, TipoLayer kind) {
  lay.Tipo = kind;
  lay.ThematicMap().Add(0, 1, 0xFF0000, 0xC0C000, 0, kAnyValueClass, "");
  lay.ThematicMap().Add(5, 1, 0, 0, 1, "oculto", "");
  lay.ThematicMap().Add(5, 1, 0, 0, 0, "sin borde", "");
}

Entidad& AddDrawn(layer& lay, int32_t id, std::vector<Point> points, int32_t themeCode = 1) {
  Entidad& e = lay.Entidades.Add(id, points, &lay);
  e.ThemeCode = themeCode;
  lay.DrawnEntities.push_back(id);
  return e;
}

const std::vector<Point> kSquare = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};

TEST(LayerSelectByPoint, PointsNearestDrawnLaterWinsTies) {
  layer lay;
  Prepare(lay, pointlayer);
  lay.Entidades.Add(99, std::vector<Point>{{0, 0}}, &lay);  // loaded, never drawn
  EXPECT_EQ(lay.SelectByPoint(0, 0), 0);                    // nothing drawn yet
  AddDrawn(lay, 1, {{0.0003, 0}});
  AddDrawn(lay, 2, {{-0.0003, 0}});
  AddDrawn(lay, 3, {{0.0001, 0.0001}}, 2);  // nearest, but its class hides it
  EXPECT_EQ(lay.SelectByPoint(0, 0), 2);
  EXPECT_EQ(lay.SelectByPoint(0.0003, 0.0001), 1);
  EXPECT_EQ(lay.SelectByPoint(0.001, 0), 0);  // 0.0007 away: beyond 0.00065
  lay.Selectable = false;
  EXPECT_EQ(lay.SelectByPoint(0.0003, 0), 0);
}

TEST(LayerSelectByPoint, KindsOutsideOneToFourSelectNothing) {
  for (TipoLayer kind : {0, 5}) {
    layer lay;
    Prepare(lay, kind);
    AddDrawn(lay, 1, {{0, 0}});
    EXPECT_EQ(lay.SelectByPoint(0, 0), 0) << kind;
    std::vector<int32_t> ids;
    lay.SelectByPointMany(0, 0, ids);
    EXPECT_TRUE(ids.empty()) << kind;
  }
}

TEST(LayerSelectByPoint, PolylinesByPerpendicularDistance) {
  layer lay;
  Prepare(lay, 3);
  AddDrawn(lay, 10, {{0, 0}, {1, 0}});
  // Binary fractions, so the two distances below are exactly equal.
  const double upper = 1.0 / 2048;
  const double middle = upper / 2;
  AddDrawn(lay, 11, {{0, upper}, {1, upper}});
  AddDrawn(lay, 12, {{0, middle}, {1, middle}}, 3);  // no outline: never picked
  EXPECT_EQ(lay.SelectByPoint(0.5, 0.0001), 10);
  EXPECT_EQ(lay.SelectByPoint(0.5, middle), 11);  // a tie goes to the later drawn
  lay.DrawnEntities = {11, 10, 12};
  EXPECT_EQ(lay.SelectByPoint(0.5, middle), 10);
  EXPECT_EQ(lay.SelectByPoint(1.5, 0), 0);  // past the ends
}

TEST(LayerSelectByPoint, PolygonsFirstContainingVisible) {
  layer lay;
  Prepare(lay, polygonlayer);
  AddDrawn(lay, 1, kSquare, 2);                           // hidden: no outline and no fill
  AddDrawn(lay, 2, {{2, 2}, {6, 2}, {6, 6}, {2, 6}}, 3);  // no outline, filled: still picked
  AddDrawn(lay, 3, kSquare);
  EXPECT_EQ(lay.SelectByPoint(1, 1), 3);
  EXPECT_EQ(lay.SelectByPoint(3, 3), 2);  // first containing in drawing order
  EXPECT_EQ(lay.SelectByPoint(0, 0), 3);  // exactly on a vertex
  EXPECT_EQ(lay.SelectByPoint(0, 2), 0);  // left edge is outside
  EXPECT_EQ(lay.SelectByPoint(10, 10), 0);
}

TEST(LayerSelectByPoint, AbsentClassIsAnErrorToTheCaller) {
  layer lay;
  Prepare(lay, pointlayer);
  AddDrawn(lay, 1, {{0, 0}}, 9);
  EXPECT_THROW(static_cast<void>(lay.SelectByPoint(0, 0)), std::out_of_range);
}

TEST(LayerSelectByPointMany, PointsAppendEachNewNearestUnderTolerance) {
  layer lay;
  Prepare(lay, pointlayer);
  AddDrawn(lay, 1, {{5e-5, 0}});
  AddDrawn(lay, 2, {{3e-5, 0}});
  AddDrawn(lay, 3, {{6e-5, 0}});     // farther than the best so far
  AddDrawn(lay, 4, {{0, 3e-5}});     // ties the best
  AddDrawn(lay, 5, {{0, 1e-6}}, 2);  // hidden
  AddDrawn(lay, 6, {{0, 2e-5}});
  struct Row {
    const char* name;
    std::vector<int32_t> given, expected;
  };
  const std::vector<Row> rows = {
      {"empty list", {}, {1, 2, 4, 6}},
      {"one free slot is filled first", {0}, {1, 2, 4, 6}},
      {"a taken slot grows the list", {7}, {7, 1, 2, 4, 6}},
      {"trailing free slot", {7, 0}, {7, 1, 2, 4, 6}},
      {"negative counts as free", {-1}, {1, 2, 4, 6}},
  };
  for (const Row& r : rows) {
    std::vector<int32_t> ids = r.given;
    lay.SelectByPointMany(0, 0, ids);
    EXPECT_EQ(ids, r.expected) << r.name;
  }
  std::vector<int32_t> far;
  lay.SelectByPointMany(1, 1, far);
  EXPECT_TRUE(far.empty());
}

TEST(LayerSelectByPointMany, LinesNearestAndPolygonsFirst) {
  layer lines;
  Prepare(lines, polylinelayer);
  AddDrawn(lines, 10, {{0, 0}, {1, 0}});
  AddDrawn(lines, 11, {{0, 0.0004}, {1, 0.0004}});
  std::vector<int32_t> ids = {0};
  lines.SelectByPointMany(0.5, 0.0003, ids);
  EXPECT_EQ(ids, (std::vector<int32_t>{11}));
  lines.SelectByPointMany(0.5, 0.01, ids);
  EXPECT_EQ(ids, (std::vector<int32_t>{11}));

  layer areas;
  Prepare(areas, polygonlayer);
  AddDrawn(areas, 1, kSquare);
  AddDrawn(areas, 2, kSquare);
  std::vector<int32_t> picked;
  areas.SelectByPointMany(1, 1, picked);
  EXPECT_EQ(picked, (std::vector<int32_t>{1}));
}

TEST(LayerSelectInPolygon, AnyOrWholeElementInCollectionOrder) {
  layer lay;
  Prepare(lay, polylinelayer);
  lay.Entidades.Add(1, std::vector<Point>{{1, 1}, {2, 2}}, &lay);                // wholly inside
  lay.Entidades.Add(2, std::vector<Point>{{3, 3}, {9, 9}}, &lay);                // partly inside
  lay.Entidades.Add(3, std::vector<Point>{{8, 8}, {9, 9}}, &lay);                // outside
  lay.Entidades.Add(4, std::vector<Point>{{1, 3}, {2, 3}}, &lay).ThemeCode = 2;  // hidden
  lay.Entidades.Add(5, std::vector<Point>{}, &lay);                              // no vertices
  lay.Entidades.Add(1, std::vector<Point>{{1, 1}, {2, 2}}, &lay);  // replaced: now last
  // Nothing is drawn: the polygon looks at every loaded element.
  EXPECT_EQ(lay.SelectElementsInPolygon(kSquare, false), (std::vector<int32_t>{2, 1}));
  EXPECT_EQ(lay.SelectElementsInPolygon(kSquare, true), (std::vector<int32_t>{1}));
  const std::vector<Point> far = {{100, 100}, {101, 100}, {101, 101}};
  EXPECT_EQ(lay.SelectElementsInPolygon(far, false), (std::vector<int32_t>{0}));
  const std::vector<Point> empty = {{5, 0.5}, {7, 0.5}, {7, 1.5}, {5, 1.5}};
  EXPECT_EQ(lay.SelectElementsInPolygon(empty, false), (std::vector<int32_t>{0}));
}

TEST(LayerSelectInPolygon, PolygonsHiddenOnlyWithoutFillAndOutline) {
  layer lay;
  Prepare(lay, polygonlayer);
  lay.Entidades.Add(1, std::vector<Point>{{1, 1}, {2, 1}, {2, 2}}, &lay).ThemeCode = 2;
  lay.Entidades.Add(2, std::vector<Point>{{1, 1}, {2, 1}, {2, 2}}, &lay).ThemeCode = 3;
  lay.Entidades.Add(3, std::vector<Point>{{1, 1}, {2, 1}, {2, 2}}, &lay);
  EXPECT_EQ(lay.SelectElementsInPolygon(kSquare, true), (std::vector<int32_t>{2, 3}));
}

}  // namespace
}  // namespace orvenda
