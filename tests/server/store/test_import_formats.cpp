#include <gdal.h>
#include <gdal_utils.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "import/importer.h"
#include "store/grid.h"
#include "temp_dir.h"

namespace orvenda::server {
namespace {

using test::fixture;
using test::TempDir;

// Writes the fixture in another format and CRS with GDAL's own ogr2ogr.
void translate(const std::filesystem::path& from, const std::filesystem::path& to,
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

std::vector<Point> pointsOf(Store& s, std::int32_t layer, std::int32_t id) {
  const auto box = s.elementExtent(layer, id).value();
  const auto cell = cellOfPoint({box.minX, box.minY}, s.layerInfo(layer)->grid);
  for (const CellElement& e : s.cellElements(layer, cell))
    if (e.id == id) return e.points;
  return {};
}

// The same features through GeoPackage and Shapefile, written in projected CRSs by
// ogr2ogr, come back to the coordinates of the original longitude/latitude file.
TEST(ImportFormats, GeoPackageAndShapefileInProjectedCrsRoundTrip) {
  struct Row {
    const char* name;
    const char* file;
    const char* driver;
    const char* crs;
  };
  const Row rows[] = {
      {"GeoPackage in world equidistant cylindrical", "zones.gpkg", "GPKG", "EPSG:4087"},
      {"Shapefile in web mercator", "zones.shp", "ESRI Shapefile", "EPSG:3857"},
  };
  TempDir dir;
  auto reference = openStore(dir / "ref.db");
  ImportOptions ro;
  ro.source = fixture("zones.geojson");
  ro.cellSize = 1.0f;
  const ImportReport ref = importLayer(*reference, ro);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const auto file = dir / r.file;
    translate(fixture("zones.geojson"), file, {"-f", r.driver, "-t_srs", r.crs});
    auto s = openStore(dir / (std::string(r.file) + ".db"));
    ImportOptions o;
    o.source = file;
    o.cellSize = 1.0f;
    const ImportReport got = importLayer(*s, o);
    EXPECT_FALSE(got.sourceCrs.empty());
    EXPECT_EQ(got.kind, LayerKind::Polygon);
    ASSERT_EQ(got.elements, ref.elements);
    for (std::int32_t id = 1; id <= static_cast<std::int32_t>(ref.elements); ++id) {
      const auto want = pointsOf(*reference, ref.layerId, id);
      const auto have = pointsOf(*s, got.layerId, id);
      ASSERT_EQ(have.size(), want.size()) << "element " << id;
      // Shapefiles turn rings clockwise: compare vertices, not their order.
      for (const Point& p : have) {
        const bool found = std::any_of(want.begin(), want.end(), [&](const Point& q) {
          return std::fabs(p.x - q.x) < 1e-7 && std::fabs(p.y - q.y) < 1e-7;
        });
        EXPECT_TRUE(found) << "element " << id << " vertex " << p.x << " " << p.y;
      }
    }
    // Field names and types survive the trip too (Shapefiles keep integers as such).
    const auto fields = s->layerInfo(got.layerId)->fields;
    ASSERT_GE(fields.size(), 2u);
    EXPECT_EQ(fields[0].type, 202);
    EXPECT_TRUE(fields[1].type == 3 || fields[1].type == 20) << fields[1].type;
  }
}

}  // namespace
}  // namespace orvenda::server
