// Levels of detail at import: the generalised copies and the original share the
// original's zoom range end to end, hold fewer vertices the coarser they are, and stay
// within a pixel of the original by GEOS's Hausdorff distance.
#include <geos_c.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>

#include "import/importer.h"
#include "temp_dir.h"

namespace orvenda::server {
namespace {

// A wiggly coast around (0, 0) and an island to its east, as GeoJSON.
void WriteCoast(const std::filesystem::path& path) {
  std::ofstream out(path);
  out.precision(10);
  out << R"({"type":"FeatureCollection","features":[)";
  const auto ring = [&](double cx, double r, int n, double wiggle) {
    out << R"({"type":"Feature","properties":{},"geometry":{"type":"Polygon","coordinates":[[)";
    for (int k = 0; k <= n; ++k) {
      const double a = 2 * M_PI * (k % n) / n;
      const double d =
          r + wiggle * (3 * std::sin(7 * a) + std::sin(53 * a) + 0.3 * std::sin(331 * a));
      out << (k ? "," : "") << "[" << cx + d * std::cos(a) << "," << d * std::sin(a) << "]";
    }
    out << "]]}}";
  };
  ring(0, 40, 10000, 1);
  out << ",";
  ring(60, 2, 200, 0.1);
  out << "]}";
}

// Every element of a layer, by identifier, read cell by cell as the server sends them.
std::map<std::int32_t, std::vector<Point>> Elements(Store& s, const LayerRecord& l) {
  std::map<std::int32_t, std::vector<Point>> all;
  for (std::int32_t row = l.grid.firstRow; row <= l.grid.lastRow; ++row)
    for (std::int32_t col = l.grid.firstColumn; col <= l.grid.lastColumn; ++col)
      for (CellElement& e : s.CellElements(l.id, {row, col})) all[e.id] = std::move(e.points);
  return all;
}

// The rings as lines: Hausdorff distances between areas would see only their edges' overlap.
GEOSGeometry* Lines(GEOSContextHandle_t geos, const std::map<std::int32_t, std::vector<Point>>& e,
                    std::size_t& vertices) {
  std::vector<GEOSGeometry*> lines;
  for (const auto& [id, points] : e) {
    GEOSCoordSequence* seq = GEOSCoordSeq_create_r(geos, points.size(), 2);
    for (unsigned k = 0; k < points.size(); ++k)
      GEOSCoordSeq_setXY_r(geos, seq, k, points[k].x, points[k].y);
    lines.push_back(GEOSGeom_createLineString_r(geos, seq));
    vertices += points.size();
  }
  return GEOSGeom_createCollection_r(geos, GEOS_MULTILINESTRING, lines.data(),
                                     static_cast<unsigned>(lines.size()));
}

TEST(ImportLevels, BandsTileTheZoomRangeAndStayWithinAPixelOfTheOriginal) {
  test::TempDir dir;
  WriteCoast(dir / "coast.geojson");
  auto s = OpenStore(dir / "levels.db");
  s->CreateMap({0, "World", {-180, -90, 180, 90}, 0xFFFFFF, 0, {}});
  ImportOptions o;
  o.source = dir / "coast.geojson";
  o.layerName = "Coast";
  o.mapCode = 0;
  o.levels = true;
  ImportLayer(*s, o);
  std::vector<LayerRecord> layers = s->FindMapDefinition(0)->layers;
  std::sort(layers.begin(), layers.end(),
            [](const auto& a, const auto& b) { return a.zoomMin < b.zoomMin; });
  ASSERT_GE(layers.size(), 3u);
  EXPECT_EQ(layers.front().name, "Coast");
  EXPECT_EQ(layers.front().zoomMin, 0.0f);
  EXPECT_EQ(layers.back().zoomMax, 1e37f);
  GEOSContextHandle_t geos = GEOS_init_r();
  std::size_t originalVertices = 0;
  GEOSGeometry* original = Lines(geos, Elements(*s, layers[0]), originalVertices);
  std::size_t finer = originalVertices;
  for (std::size_t k = 1; k < layers.size(); ++k) {
    SCOPED_TRACE(layers[k].name);
    EXPECT_EQ(layers[k].zoomMin, layers[k - 1].zoomMax);
    EXPECT_LT(layers[k].zoomMin, layers[k].zoomMax);
    std::size_t vertices = 0;
    GEOSGeometry* level = Lines(geos, Elements(*s, layers[k]), vertices);
    EXPECT_LT(vertices, finer);
    finer = vertices;
    // One pixel of a 1080-pixel-high view at the finest zoom of the band (thousands
    // of degrees of view height).
    const double pixel = layers[k].zoomMin * 1000.0 / 1080;
    double distance = 0;
    ASSERT_EQ(GEOSHausdorffDistance_r(geos, original, level, &distance), 1);
    EXPECT_LE(distance, pixel);
    EXPECT_GT(distance, 0.0);
    GEOSGeom_destroy_r(geos, level);
  }
  GEOSGeom_destroy_r(geos, original);
  GEOS_finish_r(geos);
}

}  // namespace
}  // namespace orvenda::server
