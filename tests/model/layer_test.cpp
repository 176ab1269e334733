#include "model/layer.h"

#include <gtest/gtest.h>

#include "model/layerowner.h"
#include "model/layers.h"
#include "model/thematicmap.h"
#include "support/recording_cell_requester.h"

namespace orvenda {
namespace {

using testing::RecordingCellRequester;

// The viewer as a layer sees it: hands out the recording connection.
class FakeViewer : public LayerOwner {
 public:
  int32_t ImageIndexFor(const std::string&) override { return -1; }
  void CloseImage(int32_t) override {}
  CellValueRequester* CellValues() override { return connection; }
  CellValueRequester* connection = nullptr;
};

// The class is the position of the first matching class (which class matches: the
// ThematicMap test); no match keeps the old code, and a layer with only the default class
// puts everything in it.
TEST(Layer, CalculateThemeObjectByClassPosition) {
  layer lay;
  Entidad& ent = lay.Entidades.Add(1, std::vector<Point>{{0, 0}}, &lay);
  ent.ThemeCode = 4;
  lay.CalculateThemeObject(ent);
  EXPECT_EQ(ent.ThemeCode, 4) << "no classes: left alone";
  lay.ThematicMap().Add(0, 1, 0, 0, 0, kAnyValueClass, "");
  ent.SetThemeValue("whatever");
  lay.CalculateThemeObject(ent);
  EXPECT_EQ(ent.ThemeCode, 1);
  lay.ThematicFieldType = 5;
  lay.ThematicMap().Add(0, 1, 0, 0, 0, "0", "10");
  lay.ThematicMap().Add(0, 1, 0, 0, 0, "10", "20");
  for (const auto& [value, code] : {std::pair{"15 m", 3}, {"25", 3}}) {
    ent.SetThemeValue(value);
    lay.CalculateThemeObject(ent);
    EXPECT_EQ(ent.ThemeCode, code) << value;
  }
  lay.ThematicMap().Remove("2");  // the code is the position again
  ent.SetThemeValue("15");
  lay.CalculateThemeObject(ent);
  EXPECT_EQ(ent.ThemeCode, 2);
}

TEST(Layer, LabelsThemesAndRequestedCells) {
  layer lay;
  lay.IDLayer = 42;
  lay.ThematicField = "USO";
  for (int32_t id = 1; id <= 3; ++id) {
    Entidad& e = lay.Entidades.Add(id, std::vector<Point>{{0, 0}}, &lay);
    e.SetThemeValue("x");
    e.ThemeCode = 3;
    e.IDLabel = lay.LabelIndex(id == 2 ? "Sur" : "Norte");
  }
  EXPECT_EQ(lay.LabelIndex("norte"), 3) << "a new text is added at the end";
  EXPECT_EQ(lay.Entidades.ItemByID(3)->IDLabel, 1);
  lay.CeldaSolicitada(5, 6);
  lay.CeldaSolicitada(1, 2);
  lay.CeldaSolicitada(5, 6);
  lay.LabelCellSolicitada(9, 9);  // label cells are not asked for themes
  RecordingCellRequester direct, viaViewer;
  lay.RequestThemesForCells(direct);
  const std::vector<RecordingCellRequester::Request> expected = {
      {42, 5, 6, "USO"}, {42, 1, 2, "USO"}, {42, 5, 6, "USO"}};
  EXPECT_EQ(direct.requests, expected);
  FakeViewer viewer;
  lay.RequestThemesForCells();  // no viewer, then no connection: nothing
  lay.parentMap = &viewer;
  lay.RequestThemesForCells();
  viewer.connection = &viaViewer;
  lay.RequestThemesForCells();
  EXPECT_EQ(viaViewer.requests, expected);

  lay.ResetThemes();
  lay.ClearLabels();
  for (const Entidad& e : lay.Entidades) {
    EXPECT_EQ(e.ThemeValue(), "");
    EXPECT_EQ(e.ThemeCode, 1);
    EXPECT_EQ(e.IDLabel, 0);
  }
  EXPECT_FALSE(lay.IsLabelCellRequested(9, 9));
  EXPECT_EQ(lay.LabelIndex("Plaza"), 1);
}

TEST(Layer, NearestSegmentAndVertexOverDrawnElementsLaterWinsTies) {
  layer lay;
  lay.Tipo = polylinelayer;
  lay.Entidades.Add(1, std::vector<Point>{{0, 1}, {10, 1}}, &lay);
  lay.Entidades.Add(2, std::vector<Point>{{0, -1}, {10, -1}}, &lay);
  lay.Entidades.Add(3, std::vector<Point>{{0, 0.1}, {10, 0.1}}, &lay);  // not drawn
  EXPECT_EQ(lay.NearestSegmentInLayer(5, 0).distance, 1e30);
  EXPECT_EQ(lay.NearestVertexInLayer(5, 0).distance, 1e38);
  lay.DrawnEntities = {1, 2, 77};  // 77 was drawn and has since been removed
  const auto segment = lay.NearestSegmentInLayer(2, 0);
  EXPECT_EQ((std::vector<double>{segment.distance, segment.x0, segment.y0, segment.x1, segment.y1}),
            (std::vector<double>{1, 0, -1, 10, -1}));
  const auto vertex = lay.NearestVertexInLayer(0, 0);
  EXPECT_EQ((std::vector<double>{vertex.distance, vertex.X, vertex.Y}),
            (std::vector<double>{1, 0, -1}));
  lay.DrawnEntities = {2, 1};
  EXPECT_EQ(lay.NearestSegmentInLayer(2, 0).y0, 1);
  EXPECT_EQ(lay.NearestVertexInLayer(9, -0.5).X, 10);
  EXPECT_EQ(lay.NearestVertexInLayer(9, -0.5).Y, -1);
}

// Numeric fields: the first class whose bounds hold the value's leading number, the
// default class (position 1) skipped. Text fields: the trimmed exact text, default included.
TEST(ThematicMap, ClassOfNumbersAndTexts) {
  ThematicMap numbers, texts;
  numbers.Add(0, 1, 0, 0, 0, kAnyValueClass, "");
  numbers.Add(0, 1, 0, 0, 0, "0", "10");
  numbers.Add(0, 1, 0, 0, 0, "10", "20");
  const std::pair<const char*, std::optional<int32_t>> numeric[] = {
      {"10", 2}, {"15 m", 3},          {"sin datos", 2},          {"  7.5", 2},
      {"20", 3}, {"-1", std::nullopt}, {"20.0001", std::nullopt}, {"1.5e1", 3}};
  for (const auto& [value, position] : numeric)
    EXPECT_EQ(numbers.ClassOf(value, 3), position) << value;
  for (const char* v : {kAnyValueClass, "Centro", "Norte"}) texts.Add(0, 1, 0, 0, 0, v, "");
  for (int32_t type : {8, 129, 130, 200, 201, 202, 203}) {
    EXPECT_EQ(texts.ClassOf("  Centro ", type), 2) << type;
    EXPECT_EQ(texts.ClassOf("centro", type), std::nullopt) << type;
    EXPECT_EQ(texts.ClassOf(kAnyValueClass, type), 1) << type;
  }
  EXPECT_EQ(texts.ClassOf("\tCentro", 202), std::nullopt) << "tabs are not spaces";
}

TEST(LeadingNumber, ReadsTheNumberAtTheStartOfTheText) {
  const std::pair<const char*, double> rows[] = {
      {"15 m", 15}, {"", 0},       {"abc", 0},   {"-3.25x", -3.25}, {"+4", 4},     {".5", 0.5},
      {"5.", 5},    {".", 0},      {"-", 0},     {"  12", 12},      {"1e3", 1000}, {"2E-2", 0.02},
      {"1D2", 100}, {"3e", 3},     {"7e+", 7},   {"1,5", 1},        {"0010", 10},  {"9:", 9},
      {"/5", 0},    {"-.5e1", -5}, {"4d+1", 40}, {"nan", 0},        {"-inf", 0},   {"1e999", 0}};
  for (const auto& [text, value] : rows) EXPECT_DOUBLE_EQ(LeadingNumber(text), value) << text;
}

// Records the image renderers the layers open and close.
class ImageViewer : public LayerOwner {
 public:
  int32_t ImageIndexFor(const std::string& name) override { return name == "orto" ? 3 : -1; }
  void CloseImage(int32_t imageNumber) override { closed.push_back(imageNumber); }
  CellValueRequester* CellValues() override { return nullptr; }
  std::vector<int32_t> closed;
};

std::vector<int32_t> Ids(const Layers& layers) {
  std::vector<int32_t> ids;
  for (const layer& l : layers) ids.push_back(l.IDLayer);
  return ids;
}

TEST(Layers, AddTakesTheIDFromTheKeyAndTheImageFromTheViewer) {
  ImageViewer viewer;
  {
    Layers layers;
    EXPECT_EQ(layers.Add("calles", " 12 ", polylinelayer, &viewer).ImageNumber, -1);
    EXPECT_EQ(layers.Add("orto", "7", ImageLayer, &viewer).ImageNumber, 3);
    EXPECT_EQ(layers.Add("orto", "9", pointlayer, nullptr).ImageNumber, -1);
    EXPECT_EQ(layers.Add("orto", "10", polylinelayer, &viewer).ImageNumber, 3);
    EXPECT_THROW(layers.Add("otra", " 12 ", pointlayer, &viewer), DuplicateKeyError);
    for (const char* bad : {"doce", "", "  ", "1 2"})
      EXPECT_THROW(layers.Add("mala", bad, pointlayer, &viewer), std::invalid_argument) << bad;
    EXPECT_EQ(Ids(layers), (std::vector<int32_t>{12, 7, 9, 10}));
    EXPECT_EQ(layers.Item("2"), nullptr);
    EXPECT_THROW(layers.Item(5), std::out_of_range);
    EXPECT_THROW(layers.Remove("2"), std::out_of_range);
    layers.Remove("7");  // an image layer closes its renderer; "10" is no image layer
    EXPECT_EQ(viewer.closed, (std::vector<int32_t>{3}));
    layers.Add("orto", "11", ImageLayer, &viewer);
  }
  EXPECT_EQ(viewer.closed, (std::vector<int32_t>{3, 3}));
}

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
  EXPECT_EQ(points.SelectByPoint(0.002, 0, 0.0021), 99) << "within a wider reach";
  EXPECT_EQ(points.SelectByPoint(0.002, 0, 0.0019), 0);
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
  lay.SelectByPointMany(0.001, 0, far, 0.00096);  // 1 and 3 each nearest so far, within reach
  EXPECT_EQ(far, (std::vector<int32_t>{1, 3}));

  layer lines;
  Prepare(lines, polylinelayer);
  AddDrawn(lines, 10, {{0, 0}, {1, 0}});
  AddDrawn(lines, 11, {{0, 0.0004}, {1, 0.0004}});
  AddDrawn(lines, 12, {{0, -0.00065}, {1, -0.00065}});
  std::vector<int32_t> ids = {0};
  lines.SelectByPointMany(0.5, 0.0003, ids);
  lines.SelectByPointMany(0.5, 0.01, ids);
  lines.SelectByPointMany(0.5, 0.0103, ids, 0.01);  // 11 again, within the reach
  lines.DrawnEntities = {12};
  lines.SelectByPointMany(0.5, 0, ids);  // exactly 0.00065 away
  EXPECT_EQ(ids, (std::vector<int32_t>{11, 11}));
  layer areas;
  Prepare(areas, polygonlayer);
  AddDrawn(areas, 1, kSquare);
  AddDrawn(areas, 2, kSquare);
  areas.SelectByPointMany(1, 1, ids);
  EXPECT_EQ(ids, (std::vector<int32_t>{11, 11, 1}));
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
