// Polygons with holes, imported and read back, keep their true shape under the
// client's even-odd rule: its point-in-polygon test and the signed area of the
// stored rings agree with GEOS (through OGR) on the source geometry.
#include <gtest/gtest.h>
#include <ogr_api.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <fstream>
#include <map>

#include "import/importer.h"
#include "model/entidad.h"
#include "model/layer.h"
#include "temp_dir.h"
#include "test_backend.h"

namespace orvenda::server {
namespace {

struct Shape {
  const char* name;
  const char* wkt;   // as the source holds it
  const char* flat;  // the same shape with longitudes run on past 180, or empty: wkt
};

// A country whose two holes turn either way and whose outer ring is a circle (read
// as some 90 vertices: a deep tree for the search of nearest vertices), an enclave
// inside one hole, a multipolygon with a holed part, and an island whose hole
// straddles 180.
const Shape kShapes[] = {
    {"Country",
     "CURVEPOLYGON (CIRCULARSTRING (0.1 4.1,10.1 4.1,0.1 4.1),(2.1 2.1,5.1 2.1,5.1 6.1,2.1 6.1,2.1 "
     "2.1),(6.6 1.6,6.6 3.1,8.6 3.1,8.6 1.6,6.6 1.6))",
     ""},
    {"Enclave", "POLYGON ((3.1 3.1,4.1 3.1,4.1 5.1,3.1 5.1,3.1 3.1))", ""},
    {"Archipelago",
     "MULTIPOLYGON (((20.1 0.1,30.1 0.1,25.1 9.1,20.1 0.1),(23.1 1.1,27.1 1.1,25.1 5.1,23.1 "
     "1.1)),((31.1 0.1,35.1 0.1,35.1 4.1,31.1 4.1,31.1 0.1)))",
     ""},
    {"Dateline",
     "POLYGON ((175.1 -9.9,-174.9 -9.9,-174.9 -1.9,175.1 -1.9,175.1 -9.9),(178.1 -7.9,-177.9 "
     "-7.9,-177.9 -3.9,178.1 -3.9,178.1 -7.9))",
     "POLYGON ((175.1 -9.9,185.1 -9.9,185.1 -1.9,175.1 -1.9,175.1 -9.9),(178.1 -7.9,182.1 "
     "-7.9,182.1 -3.9,178.1 -3.9,178.1 -7.9))"},
};

TEST(ImportHoles, EvenOddShapeAreaAndBridgesAgreeWithGeos) {
  test::TempDir dir;
  std::ofstream csv(dir / "holes.csv");
  csv << "name,WKT\n";
  for (const Shape& s : kShapes) csv << s.name << ",\"" << s.wkt << "\"\n";
  csv.close();
  auto store = test::OpenTestStore(dir / "h.db");
  ImportOptions o;
  o.source = dir / "holes.csv";
  o.read.splitAtAntimeridian = true;
  o.cellSize = 1.0f;
  const ImportReport r = ImportLayer(*store, o);
  EXPECT_EQ(r.elements, 6u) << "one element per part, the island cut in two at 180";
  layer lay;
  lay.Tipo = polygonlayer;
  std::map<std::string, std::deque<Entidad>> elements;
  std::map<std::string, double> areas, lengths;
  for (std::int32_t id = 1; id <= static_cast<std::int32_t>(r.elements); ++id) {
    const auto name = std::get<std::string>(store->ElementAttributes(r.layerId, id)->at(0).value);
    std::vector<Point> ring = test::PointsOf(*store, r.layerId, id);
    std::vector<orvenda::Point> points;
    double twice = 0;
    for (std::size_t i = 0; i < ring.size(); ++i) {
      const Point& b = ring[(i + 1) % ring.size()];
      twice += ring[i].x * b.y - b.x * ring[i].y;
      lengths[name] += std::hypot(b.x - ring[i].x, b.y - ring[i].y);
      points.push_back({ring[i].x, ring[i].y});
    }
    areas[name] += std::fabs(twice) / 2;
    Entidad& ent = elements[name].emplace_back();
    ent.parentLayer = &lay;
    ent.SetPoints(points);
    ent.CalculateBoundingBox();
  }
  for (const Shape& s : kShapes) {
    SCOPED_TRACE(s.name);
    OGRGeometryH curved = nullptr;
    std::string wkt = *s.flat ? s.flat : s.wkt;
    char* text = wkt.data();
    ASSERT_EQ(OGR_G_CreateFromWkt(&text, nullptr, &curved), OGRERR_NONE);
    OGRGeometryH g = OGR_G_GetLinearGeometry(curved, 0, nullptr);  // as the importer reads it
    OGR_G_DestroyGeometry(curved);
    EXPECT_NEAR(areas[s.name], OGR_G_Area(g), 1e-9);
    OGRGeometryH boundary = OGR_G_Boundary(g);
    if (!*s.flat && wkbFlatten(OGR_G_GetGeometryType(g)) == wkbPolygon) {
      // Beyond the rings, each bridge walked twice: here the shortest of all its pairs of
      // hole and outer ring vertices, so no long edge crosses the map.
      double bridges = 0;
      for (int h = 1; h < OGR_G_GetGeometryCount(g); ++h) {
        OGRGeometryH hole = OGR_G_GetGeometryRef(g, h), outer = OGR_G_GetGeometryRef(g, 0);
        double shortest = 1e300;
        for (int i = 0; i < OGR_G_GetPointCount(hole); ++i)
          for (int j = 0; j < OGR_G_GetPointCount(outer); ++j)
            shortest = std::min(shortest, std::hypot(OGR_G_GetX(hole, i) - OGR_G_GetX(outer, j),
                                                     OGR_G_GetY(hole, i) - OGR_G_GetY(outer, j)));
        bridges += 2 * shortest;
      }
      EXPECT_NEAR(lengths[s.name] - OGR_G_Length(boundary), bridges, 1e-9);
    }
    OGREnvelope e;
    OGR_G_GetEnvelope(g, &e);
    OGRGeometryH p = OGR_G_CreateGeometry(wkbPoint);
    for (double x = e.MinX - 0.45; x < e.MaxX + 0.5; x += 0.25)
      for (double y = e.MinY - 0.45; y < e.MaxY + 0.5; y += 0.25) {
        OGR_G_SetPoint_2D(p, 0, x, y);
        const bool expected = OGR_G_Contains(g, p);
        // On the boundary the client's own rule decides.
        if (OGR_G_Distance(boundary, p) < 1e-6) continue;
        bool ours = false;
        for (const Entidad& ent : elements[s.name])
          ours = ours || ent.PointInPolygon(x > 180 ? x - 360 : x, y);
        EXPECT_EQ(ours, expected) << x << " " << y;
      }
    OGR_G_DestroyGeometry(p);
    OGR_G_DestroyGeometry(boundary);
    OGR_G_DestroyGeometry(g);
  }
}

}  // namespace
}  // namespace orvenda::server
