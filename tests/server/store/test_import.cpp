#include <gdal.h>
#include <gtest/gtest.h>
#include <ogr_api.h>
#include <proj.h>

#include <algorithm>
#include <map>
#include <memory>

#include "import/cell_size.h"
#include "import/importer.h"
#include "store/grid.h"
#include "temp_dir.h"

namespace orvenda::server {
namespace {

using test::fixture;
using test::TempDir;

std::string nameOf(Store& s, std::int32_t layer, std::int32_t id) {
  auto attrs = s.elementAttributes(layer, id);
  return std::get<std::string>(attrs->at(0).value);
}

TEST(Import, FieldTypesCountsAndMultiPartsOfPoints) {
  TempDir dir;
  auto s = openStore(dir / "i.db");
  ImportOptions o;
  o.source = fixture("places.geojson");
  o.layerName = "Lugares";
  const ImportReport r = importLayer(*s, o);
  EXPECT_EQ(r.kind, LayerKind::Point);
  const std::vector<std::pair<std::string, std::int16_t>> want = {
      {"name", 202}, {"pop", 3}, {"ratio", 5}, {"ok", 2}, {"big", 5}, {"when", 202}};
  auto info = s->layerInfo(r.layerId);
  ASSERT_EQ(info->fields.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(info->fields[i].name, want[i].first);
    EXPECT_EQ(info->fields[i].type, want[i].second) << want[i].first;
  }
  EXPECT_EQ(r.features, 6u);  // the feature without geometry is left out
  EXPECT_EQ(r.elements, 8u);  // the three points of Iberia are three elements
  EXPECT_EQ(info->elementCount, 8);
  EXPECT_EQ(info->name, "Lugares");

  // The parts of a multi-point share the feature's values.
  std::vector<std::int32_t> iberia;
  for (std::int32_t id = 1; id <= 8; ++id)
    if (nameOf(*s, r.layerId, id) == "Iberia") iberia.push_back(id);
  ASSERT_EQ(iberia.size(), 3u);
  for (std::int32_t id : iberia)
    EXPECT_DOUBLE_EQ(std::get<double>(s->elementAttributes(r.layerId, id)->at(2).value), 0.125);

  auto mexico = s->elementAttributes(r.layerId, 1);
  EXPECT_EQ(std::get<std::int64_t>(mexico->at(1).value), 9209944);
  EXPECT_EQ(std::get<std::int64_t>(mexico->at(3).value), 1);
  EXPECT_DOUBLE_EQ(std::get<double>(mexico->at(4).value), 5e9);  // too big for a Long
  EXPECT_EQ(std::get<std::string>(mexico->at(5).value), "2020/01/02");
  auto sydney = s->elementAttributes(r.layerId, 5);
  EXPECT_TRUE(std::holds_alternative<std::monostate>(sydney->at(1).value));
  EXPECT_DOUBLE_EQ(s->elementExtent(r.layerId, 5)->minX, 151.21);

  // A second import under the same name is refused and leaves nothing behind.
  EXPECT_THROW(importLayer(*s, o), StoreError);
  EXPECT_EQ(s->listLayers().size(), 1u);
}

TEST(Import, PolygonsKeepTheirOuterRingAndSplitIntoParts) {
  TempDir dir;
  auto s = openStore(dir / "z.db");
  ImportOptions o;
  o.source = fixture("zones.geojson");
  o.cellSize = 1.0f;
  const ImportReport r = importLayer(*s, o);
  EXPECT_EQ(r.kind, LayerKind::Polygon);
  EXPECT_EQ(r.features, 5u);
  EXPECT_EQ(r.elements, 6u);
  EXPECT_EQ(s->layerInfo(r.layerId)->name, "zones");
  std::map<std::string, std::vector<std::size_t>> vertexCounts;
  for (std::int32_t id = 1; id <= 6; ++id) {
    auto box = s->elementExtent(r.layerId, id);
    auto cell = cellOfPoint({box->minX, box->minY}, s->layerInfo(r.layerId)->grid);
    auto els = s->cellElements(r.layerId, cell);
    auto it = std::find_if(els.begin(), els.end(), [&](auto& e) { return e.id == id; });
    ASSERT_NE(it, els.end());
    vertexCounts[nameOf(*s, r.layerId, id)].push_back(it->points.size());
  }
  EXPECT_EQ(vertexCounts["Islands"], (std::vector<std::size_t>{5, 4}));
  EXPECT_EQ(vertexCounts["Ring"], (std::vector<std::size_t>{5}));  // the hole is dropped
}

// Rectangle of one cell of a 1-degree grid: index c covers c - 0.5 .. c + 0.5.
struct Rect {
  double minX, minY, maxX, maxY;
};
Rect cellRect(CellKey c, double d) {
  return {c.column * d - 180 - d / 2, c.row * d - 90 - d / 2, c.column * d - 180 + d / 2,
          c.row * d - 90 + d / 2};
}

// Names of the features (one entry per part) that GDAL's spatial filter returns for a
// rectangle, from the fixture itself or from a layer of the parts' envelopes.
std::multiset<std::string> filtered(OGRLayerH layer, const Rect& r) {
  OGR_L_SetSpatialFilterRect(layer, r.minX, r.minY, r.maxX, r.maxY);
  OGR_L_ResetReading(layer);
  std::multiset<std::string> names;
  while (OGRFeatureH f = OGR_L_GetNextFeature(layer)) {
    names.insert(OGR_F_GetFieldAsString(f, OGR_F_GetFieldIndex(f, "name")));
    OGR_F_Destroy(f);
  }
  return names;
}

// A memory layer with one rectangle per part of every feature of the source, built
// from OGR's own envelopes.
OGRLayerH envelopeLayer(OGRDataSourceH mem, OGRLayerH src) {
  OGRLayerH out = OGR_DS_CreateLayer(mem, "env", nullptr, wkbPolygon, nullptr);
  OGRFieldDefnH fd = OGR_Fld_Create("name", OFTString);
  OGR_L_CreateField(out, fd, TRUE);
  OGR_Fld_Destroy(fd);
  OGR_L_SetSpatialFilter(src, nullptr);
  OGR_L_ResetReading(src);
  while (OGRFeatureH f = OGR_L_GetNextFeature(src)) {
    OGRGeometryH g = OGR_F_GetGeometryRef(f);
    const bool multi = g && OGR_GT_IsSubClassOf(OGR_G_GetGeometryType(g), wkbGeometryCollection);
    const int parts = !g ? 0 : multi ? OGR_G_GetGeometryCount(g) : 1;
    for (int i = 0; i < parts; ++i) {
      OGREnvelope e;
      OGR_G_GetEnvelope(multi ? OGR_G_GetGeometryRef(g, i) : g, &e);
      OGRGeometryH ring = OGR_G_CreateGeometry(wkbLinearRing);
      OGR_G_AddPoint_2D(ring, e.MinX, e.MinY);
      OGR_G_AddPoint_2D(ring, e.MaxX, e.MinY);
      OGR_G_AddPoint_2D(ring, e.MaxX, e.MaxY);
      OGR_G_AddPoint_2D(ring, e.MinX, e.MaxY);
      OGR_G_AddPoint_2D(ring, e.MinX, e.MinY);
      OGRGeometryH poly = OGR_G_CreateGeometry(wkbPolygon);
      OGR_G_AddGeometryDirectly(poly, ring);
      OGRFeatureH nf = OGR_F_Create(OGR_L_GetLayerDefn(out));
      OGR_F_SetFieldString(nf, 0, OGR_F_GetFieldAsString(f, OGR_F_GetFieldIndex(f, "name")));
      OGR_F_SetGeometryDirectly(nf, poly);
      EXPECT_EQ(OGR_L_CreateFeature(out, nf), OGRERR_NONE);
      OGR_F_Destroy(nf);
    }
    OGR_F_Destroy(f);
  }
  return out;
}

TEST(Import, CellContentsMatchGdalSpatialFilter) {
  for (const char* file : {"zones.geojson", "places.geojson"}) {
    SCOPED_TRACE(file);
    TempDir dir;
    auto s = openStore(dir / "c.db");
    ImportOptions o;
    o.source = fixture(file);
    o.cellSize = 1.0f;  // fixture vertices keep clear of the cell edges at x.5
    const ImportReport r = importLayer(*s, o);
    const LayerGrid g = s->layerInfo(r.layerId)->grid;

    GDALAllRegister();
    OGRDataSourceH src = OGROpen(fixture(file).c_str(), FALSE, nullptr);
    ASSERT_NE(src, nullptr);
    OGRLayerH layer = OGR_DS_GetLayer(src, 0);
    OGRSFDriverH memDriver = OGRGetDriverByName("Memory");
    OGRDataSourceH mem = OGR_Dr_CreateDataSource(memDriver, "env", nullptr);
    OGRLayerH env = envelopeLayer(mem, layer);

    std::size_t checked = 0;
    // One ring of cells around the grid limits must be empty too.
    for (std::int32_t row = g.firstRow - 1; row <= g.lastRow + 1; ++row)
      for (std::int32_t col = g.firstColumn - 1; col <= g.lastColumn + 1; ++col) {
        std::multiset<std::string> ours;
        for (const CellElement& e : s->cellElements(r.layerId, {row, col}))
          ours.insert(nameOf(*s, r.layerId, e.id));
        const Rect rect = cellRect({row, col}, 1.0);
        EXPECT_EQ(ours, filtered(env, rect)) << "cell " << row << "," << col;
        // Every feature whose geometry itself meets the cell is there as well.
        for (const std::string& n : filtered(layer, rect))
          EXPECT_TRUE(ours.count(n)) << n << " missing from " << row << "," << col;
        ++checked;
      }
    EXPECT_GT(checked, 100u);
    OGR_DS_Destroy(mem);
    OGR_DS_Destroy(src);
  }
}

TEST(Import, ProjectedSourcesArriveInDegrees) {
  struct Row {
    const char* name;
    const char* file;
    const char* crs;      // given on the command line, or null: the file's own
    const char* projCrs;  // what PROJ is asked to transform from
  };
  const Row rows[] = {
      {"web mercator named in the file", "roads_3857.geojson", nullptr, "EPSG:3857"},
      {"UTM zone 14 given by the operator", "roads_utm14.geojson", "EPSG:32614", "EPSG:32614"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    auto s = openStore(dir / "p.db");
    ImportOptions o;
    o.source = fixture(row.file);
    if (row.crs) o.read.sourceCrs = row.crs;
    const ImportReport r = importLayer(*s, o);
    EXPECT_EQ(r.kind, LayerKind::Polyline);

    PJ_CONTEXT* ctx = proj_context_create();
    PJ* raw = proj_create_crs_to_crs(ctx, row.projCrs, "EPSG:4326", nullptr);
    ASSERT_NE(raw, nullptr);
    PJ* pj = proj_normalize_for_visualization(ctx, raw);  // longitude first
    proj_destroy(raw);

    OGRDataSourceH src = OGROpen(fixture(row.file).c_str(), FALSE, nullptr);
    OGRLayerH layer = OGR_DS_GetLayer(src, 0);
    std::int32_t id = 0;
    std::size_t compared = 0;
    while (OGRFeatureH f = OGR_L_GetNextFeature(layer)) {
      OGRGeometryH g = OGR_F_GetGeometryRef(f);
      const bool multi = OGR_G_GetGeometryCount(g) > 0;
      const int parts = multi ? OGR_G_GetGeometryCount(g) : 1;
      for (int p = 0; p < parts; ++p) {
        OGRGeometryH part = multi ? OGR_G_GetGeometryRef(g, p) : g;
        auto box = s->elementExtent(r.layerId, ++id);
        ASSERT_TRUE(box);
        auto cell = cellOfPoint({box->minX, box->minY}, s->layerInfo(r.layerId)->grid);
        std::vector<Point> pts;
        for (auto& e : s->cellElements(r.layerId, cell))
          if (e.id == id) pts = e.points;
        ASSERT_EQ(pts.size(), static_cast<std::size_t>(OGR_G_GetPointCount(part)));
        for (int i = 0; i < OGR_G_GetPointCount(part); ++i) {
          PJ_COORD c = proj_coord(OGR_G_GetX(part, i), OGR_G_GetY(part, i), 0, 0);
          PJ_COORD d = proj_trans(pj, PJ_FWD, c);
          EXPECT_NEAR(pts[static_cast<std::size_t>(i)].x, d.xy.x, 1e-9);
          EXPECT_NEAR(pts[static_cast<std::size_t>(i)].y, d.xy.y, 1e-9);
          ++compared;
        }
      }
      OGR_F_Destroy(f);
    }
    EXPECT_GE(compared, 4u);
    OGR_DS_Destroy(src);
    proj_destroy(pj);
    proj_context_destroy(ctx);
  }
}

TEST(Import, TheWebMercatorEdgeLandsOnTheAntimeridian) {
  TempDir dir;
  auto s = openStore(dir / "m.db");
  ImportOptions o;
  o.source = fixture("roads_3857.geojson");
  const ImportReport r = importLayer(*s, o);
  auto box = s->elementExtent(r.layerId, 4);  // Reforma 1, Insurgentes 2 and 3
  ASSERT_TRUE(box);
  EXPECT_NEAR(box->maxX, 180.0, 1e-9);
  EXPECT_NEAR(box->minY, 0.0, 1e-9);
}

TEST(Import, UnreadableSourcesAndUnknownMapsAreReported) {
  TempDir dir;
  auto s = openStore(dir / "e.db");
  ImportOptions o;
  o.source = dir / "missing.geojson";
  EXPECT_THROW(importLayer(*s, o), StoreError);
  o.source = fixture("places.geojson");
  o.read.layer = "no such layer";
  EXPECT_THROW(importLayer(*s, o), StoreError);
  o.read.layer.clear();
  o.read.sourceCrs = "EPSG:999999";
  EXPECT_THROW(importLayer(*s, o), StoreError);
  o.read.sourceCrs.clear();
  o.mapCode = 12;
  EXPECT_THROW(importLayer(*s, o), StoreError);
  EXPECT_TRUE(s->listLayers().empty());
}

TEST(CellSize, LargestViewStaysWithinSixtyFourCellsUnlessDensityForbids) {
  // A world of scattered points: the whole world must fit in 64 cells.
  std::vector<Box> boxes;
  for (int i = 0; i < 1000; ++i) {
    const double x = -179 + (i * 37) % 358, y = -89 + (i * 11) % 178;
    boxes.push_back({x, y, x, y});
  }
  CellSizeChoice c = chooseCellSize(boxes, {});
  EXPECT_LE(c.cellsPerView, 64u);
  EXPECT_TRUE(c.goalsMet);
  EXPECT_EQ(c.size, 45.0f);
  // A city layer seen up to 20 km high in a UTM map near latitude 25.
  const CellSizeGoal city = goalForZoom(20, 114, 25);
  EXPECT_NEAR(city.viewHeight, 20000 / 111320.0, 1e-9);
  boxes = {{-100.4, 25.6, -100.2, 25.8}};
  c = chooseCellSize(boxes, city);
  EXPECT_LE(cellsPerView(city.viewWidth, city.viewHeight, c.size, boxes[0]), 64u);
  const auto ladder = cellSizeLadder();
  const auto pos = std::find_if(ladder.begin(), ladder.end(),
                                [&](double l) { return static_cast<float>(l) == c.size; });
  ASSERT_NE(pos, ladder.end());
  ASSERT_NE(pos, ladder.begin());
  EXPECT_GT(cellsPerView(city.viewWidth, city.viewHeight, *(pos - 1), boxes[0]), 64u);
  // 20,000 points on one spot: no size keeps a cell under 5,000, the smallest is used.
  std::vector<Box> dense(20000, Box{1, 1, 1, 1});
  c = chooseCellSize(dense, {});
  EXPECT_FALSE(c.goalsMet);
  EXPECT_FLOAT_EQ(c.size, 0.001f);
  // Dense points under a continent-sized polygon: smaller cells would fill the index
  // with the polygon's cells long before they help, so the shrinking stops.
  dense.assign(20000, Box{1, 1, 1, 1});
  dense.push_back({-170, -80, 170, 80});
  c = chooseCellSize(dense, {});
  EXPECT_FALSE(c.goalsMet);
  EXPECT_LE(cellCountOfBox(dense.back(), c.size, c.size), 20'000'000);
  EXPECT_GE(c.size, 0.05f);
  // Density alone shrinks the cells: 6,000 points in a band of 10 degrees.
  dense.clear();
  for (int i = 0; i < 6000; ++i) dense.push_back({i * 10.0 / 6000, 0.2, i * 10.0 / 6000, 0.2});
  c = chooseCellSize(dense, {});
  EXPECT_LE(c.maxElementsInCell, 5000u);
  EXPECT_LT(c.size, 45.0f);
}

}  // namespace
}  // namespace orvenda::server
