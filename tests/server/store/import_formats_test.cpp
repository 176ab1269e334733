// Sources in other formats and projected CRSs arrive in longitude/latitude as GDAL's
// own ogr2ogr (and through it PROJ) reprojects them.
#include <gdal.h>
#include <gdal_utils.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "import/importer.h"
#include "temp_dir.h"
#include "test_backend.h"

namespace orvenda::server {
namespace {

using test::Fixture;
using test::TempDir;

// Writes `from` to `to` with ogr2ogr and `args`.
void Translate(const std::filesystem::path& from, const std::filesystem::path& to,
               std::vector<std::string> args) {
  GDALAllRegister();
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  GDALVectorTranslateOptions* opts = GDALVectorTranslateOptionsNew(argv.data(), nullptr);
  GDALDatasetH src = GDALOpenEx(from.c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr);
  ASSERT_NE(src, nullptr);
  int usageError = 0;
  GDALDatasetH out = GDALVectorTranslate(to.c_str(), nullptr, 1, &src, opts, &usageError);
  ASSERT_NE(out, nullptr);
  GDALClose(out);
  GDALClose(src);
  GDALVectorTranslateOptionsFree(opts);
}

TEST(ImportFormats, ProjectedSourcesMatchGdalsOwnReprojection) {
  struct Row {
    const char* fixture;
    const char* format;       // ogr2ogr writes the source in it first, or empty
    const char* crs;          // ... in this CRS
    const char* operatorCrs;  // --source-crs, or empty: the file's own
  };
  const Row rows[] = {
      {"roads_3857.geojson", "", "", ""},
      {"roads_utm14.geojson", "", "", "EPSG:32614"},
      {"zones.geojson", "GPKG", "EPSG:4087", ""},
      {"zones.geojson", "ESRI Shapefile", "EPSG:3857", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.fixture) + " " + row.format + " " + row.operatorCrs);
    TempDir dir;
    std::filesystem::path source = Fixture(row.fixture);
    if (*row.format) {
      source = dir / (std::string(row.format) == "GPKG" ? "source.gpkg" : "source.shp");
      Translate(Fixture(row.fixture), source, {"-f", row.format, "-t_srs", row.crs});
    }
    std::vector<std::string> toDegrees = {"-f", "GeoJSON", "-t_srs", "EPSG:4326"};
    if (*row.operatorCrs) toDegrees.insert(toDegrees.end(), {"-s_srs", row.operatorCrs});
    Translate(source, dir / "degrees.geojson", toDegrees);

    auto s = test::OpenTestStore(dir / "s.db");
    ImportOptions o;
    o.source = source;
    o.read.sourceCrs = row.operatorCrs;
    o.cellSize = 1.0f;
    const ImportReport got = ImportLayer(*s, o);
    o.source = dir / "degrees.geojson";
    o.read.sourceCrs.clear();
    o.layerName = "reference";
    const ImportReport want = ImportLayer(*s, o);
    EXPECT_FALSE(got.sourceCrs.empty());
    ASSERT_EQ(got.elements, want.elements);
    for (std::int32_t id = 1; id <= static_cast<std::int32_t>(want.elements); ++id) {
      const auto expected = test::PointsOf(*s, want.layerId, id);
      const auto have = test::PointsOf(*s, got.layerId, id);
      ASSERT_EQ(have.size(), expected.size()) << "element " << id;
      // Shapefiles turn rings clockwise: compare vertices, not their order.
      for (const Point& p : have) {
        EXPECT_TRUE(std::any_of(expected.begin(), expected.end(),
                                [&](const Point& q) {
                                  return std::fabs(p.x - q.x) < 1e-9 && std::fabs(p.y - q.y) < 1e-9;
                                }))
            << "element " << id << " vertex " << p.x << " " << p.y;
      }
    }
    // Field types survive the trip too (Shapefiles keep integers as such).
    const auto fields = s->FindLayerInfo(got.layerId)->fields;
    ASSERT_GE(fields.size(), 2u);
    EXPECT_EQ(fields[0].type, 202);
  }
}

}  // namespace
}  // namespace orvenda::server
