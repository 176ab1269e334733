#include <gdal.h>
#include <gtest/gtest.h>
#include <ogr_api.h>

#include <algorithm>
#include <memory>

#include "import/cell_size.h"
#include "import/importer.h"
#include "store/grid.h"
#include "temp_dir.h"
#include "test_backend.h"

namespace orvenda::server {
namespace {

using test::Fixture;
using test::TempDir;

std::string NameOf(Store& s, std::int32_t layer, std::int32_t id) {
  return std::get<std::string>(s.ElementAttributes(layer, id)->at(0).value);
}

ImportReport ImportFixture(Store& s, const char* file, std::optional<float> cellSize = {}) {
  ImportOptions o;
  o.source = Fixture(file);
  o.cellSize = cellSize;
  return ImportLayer(s, o);
}

// How many parts each feature gives is checked against GDAL below.
TEST(Import, FieldTypesAndValues) {
  TempDir dir;
  auto s = test::OpenTestStore(dir / "i.db");
  const ImportReport r = ImportFixture(*s, "places.geojson");
  std::vector<std::pair<std::string, std::int16_t>> fields;
  const LayerInfo info = s->FindLayerInfo(r.layerId).value();
  for (const FieldDef& f : info.fields) fields.emplace_back(f.name, f.type);
  EXPECT_EQ(fields,
            (decltype(fields){
                {"name", 202}, {"pop", 3}, {"ratio", 5}, {"ok", 2}, {"big", 5}, {"when", 202}}));
  // The feature without geometry is left out.
  EXPECT_EQ(std::tuple(r.kind, r.features, r.elements), std::tuple(LayerKind::Point, 6u, 8u));
  const auto mexico = s->ElementAttributes(r.layerId, 1).value();
  EXPECT_EQ(std::tuple(mexico.at(1).value, mexico.at(4).value, mexico.at(5).value),
            std::tuple(Value{std::int64_t{9209944}}, Value{5e9}, Value{std::string("2020/01/02")}));
  EXPECT_EQ(s->ElementAttributes(r.layerId, 5)->at(1).value, Value{});
}

// Names of the features that GDAL's spatial filter returns for a rectangle.
std::multiset<std::string> Filtered(OGRLayerH layer, const Box& r) {
  OGR_L_SetSpatialFilterRect(layer, r.minX, r.minY, r.maxX, r.maxY);
  OGR_L_ResetReading(layer);
  std::multiset<std::string> names;
  while (OGRFeatureH f = OGR_L_GetNextFeature(layer)) {
    names.insert(OGR_F_GetFieldAsString(f, OGR_F_GetFieldIndex(f, "name")));
    OGR_F_Destroy(f);
  }
  return names;
}

// The name and OGR's envelope of every part of every feature.
std::vector<std::pair<std::string, OGREnvelope>> PartEnvelopes(OGRLayerH layer) {
  std::vector<std::pair<std::string, OGREnvelope>> out;
  OGR_L_ResetReading(layer);
  while (OGRFeatureH f = OGR_L_GetNextFeature(layer)) {
    OGRGeometryH g = OGR_F_GetGeometryRef(f);
    const bool multi = g && OGR_GT_IsSubClassOf(OGR_G_GetGeometryType(g), wkbGeometryCollection);
    for (int i = 0; g && i < (multi ? OGR_G_GetGeometryCount(g) : 1); ++i) {
      OGREnvelope e;
      OGR_G_GetEnvelope(multi ? OGR_G_GetGeometryRef(g, i) : g, &e);
      out.emplace_back(OGR_F_GetFieldAsString(f, OGR_F_GetFieldIndex(f, "name")), e);
    }
    OGR_F_Destroy(f);
  }
  return out;
}

TEST(Import, CellContentsMatchGdalSpatialFilter) {
  for (const char* file : {"zones.geojson", "places.geojson"}) {
    SCOPED_TRACE(file);
    TempDir dir;
    auto s = test::OpenTestStore(dir / "c.db");
    // Fixture vertices keep clear of the cell edges at x.5.
    const ImportReport r = ImportFixture(*s, file, 1.0f);
    const LayerGrid g = s->FindLayerInfo(r.layerId)->grid;
    GDALAllRegister();
    OGRDataSourceH src = OGROpen(Fixture(file).c_str(), FALSE, nullptr);
    ASSERT_NE(src, nullptr);
    OGRLayerH layer = OGR_DS_GetLayer(src, 0);
    const auto envelopes = PartEnvelopes(layer);
    // One ring of cells around the grid limits must be empty too.
    for (std::int32_t row = g.firstRow - 1; row <= g.lastRow + 1; ++row)
      for (std::int32_t col = g.firstColumn - 1; col <= g.lastColumn + 1; ++col) {
        std::multiset<std::string> ours, boxes;
        for (const CellElement& e : s->CellElements(r.layerId, {row, col}))
          ours.insert(NameOf(*s, r.layerId, e.id));
        // Cell c of a 1-degree grid covers c - 0.5 .. c + 0.5.
        const Box c{col - 180.5, row - 90.5, col - 179.5, row - 89.5};
        for (const auto& [name, e] : envelopes)
          if (e.MinX <= c.maxX && e.MaxX >= c.minX && e.MinY <= c.maxY && e.MaxY >= c.minY)
            boxes.insert(name);
        // Exactly the parts whose box meets the cell, among them every feature whose
        // geometry itself does.
        EXPECT_EQ(ours, boxes) << "cell " << row << "," << col;
        for (const std::string& n : Filtered(layer, c))
          EXPECT_TRUE(ours.count(n)) << n << " missing from " << row << "," << col;
      }
    OGR_DS_Destroy(src);
  }
}

TEST(CellSize, LargestViewStaysWithinSixtyFourCellsUnlessDensityForbids) {
  // A world of scattered points: the whole world fits in 64 cells.
  std::vector<Box> boxes;
  for (int i = 0; i < 1000; ++i) {
    const double x = -179 + (i * 37) % 358, y = -89 + (i * 11) % 178;
    boxes.push_back({x, y, x, y});
  }
  CellSizeChoice c = ChooseCellSize(boxes, {});
  EXPECT_EQ(std::tuple(c.size, c.goalsMet), std::tuple(45.0f, true));
  // A city layer seen up to 20 km high near latitude 25: the largest size that fits.
  const CellSizeGoal city = GoalForZoom(20, 114, 25);
  const Box town{-100.4, 25.6, -100.2, 25.8};
  c = ChooseCellSize({town}, city);
  const auto ladder = CellSizeLadder();
  const auto pos = std::find_if(ladder.begin(), ladder.end(),
                                [&](double l) { return static_cast<float>(l) == c.size; });
  ASSERT_TRUE(pos != ladder.end() && pos != ladder.begin());
  EXPECT_LE(CellsPerView(city.viewWidth, city.viewHeight, c.size, town), 64u);
  EXPECT_GT(CellsPerView(city.viewWidth, city.viewHeight, *(pos - 1), town), 64u);
  // 20,000 points on one spot: the smallest size; under a continent-sized polygon the
  // shrinking stops before the polygon's cells fill the index.
  std::vector<Box> dense(20000, Box{1, 1, 1, 1});
  EXPECT_EQ(std::tuple(ChooseCellSize(dense, {}).size, ChooseCellSize(dense, {}).goalsMet),
            std::tuple(0.001f, false));
  dense.push_back({-170, -80, 170, 80});
  c = ChooseCellSize(dense, {});
  EXPECT_LE(CellCountOfBox(dense.back(), c.size, c.size), 20'000'000);
  EXPECT_GE(c.size, 0.05f);
}

}  // namespace
}  // namespace orvenda::server
