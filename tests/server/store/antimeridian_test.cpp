// Rings and lines of sources drawn on the sphere, cut at the antimeridian.

#include "import/antimeridian.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "import/importer.h"
#include "temp_dir.h"

namespace orvenda::server {
namespace {

using test::TempDir;

double Area(const std::vector<Point>& ring) {
  double twice = 0;
  for (std::size_t i = 0; i + 1 < ring.size(); ++i)
    twice += ring[i].x * ring[i + 1].y - ring[i + 1].x * ring[i].y;
  return std::fabs(twice) / 2;
}

// Parts must be closed, within -180..180, and take long steps only along a pole.
void ExpectFlat(const std::vector<std::vector<Point>>& parts, const std::string& what) {
  for (const auto& part : parts) {
    ASSERT_GE(part.size(), 4u) << what;
    EXPECT_TRUE(part.front().x == part.back().x && part.front().y == part.back().y) << what;
    for (std::size_t i = 0; i < part.size(); ++i) {
      EXPECT_LE(std::fabs(part[i].x), 180) << what;
      const bool alongPole = i > 0 && std::fabs(part[i].y) == 90 && part[i - 1].y == part[i].y;
      EXPECT_TRUE(i == 0 || alongPole || std::fabs(part[i].x - part[i - 1].x) <= 180) << what;
    }
  }
}

// A ring round the south pole at latitude -70, from `start` eastwards (or
// westwards) in 10-degree steps, written as a sphere-drawn source does.
std::vector<Point> AroundThePole(double start, bool east) {
  std::vector<Point> ring;
  for (int k = 0; k <= 36; ++k) {
    double x = start + (east ? 10 : -10) * k;
    x = std::remainder(x, 360.0);  // back into -180..180, stepping across
    ring.push_back({x, -70});
  }
  ring.back() = ring.front();
  return ring;
}

TEST(Antimeridian, RingsAreCutIntoPartsThatKeepTheirArea) {
  struct Row {
    const char* name;
    std::vector<Point> ring;
    std::size_t parts;
    double area;  // of the region the ring bounds on the sphere's flat map
  };
  using Ring = std::vector<Point>;
  const std::vector<Row> rows = {
      {"island across 180", Ring{{178, -17}, {-179, -17}, {-179, -19}, {178, -19}, {178, -17}}, 2,
       6},
      {"the other way", Ring{{-179, -17}, {178, -17}, {178, -19}, {-179, -19}, {-179, -17}}, 2, 6},
      {"round the pole from -180", AroundThePole(-180, true), 1, 360 * 20},
      {"round the pole from 25 eastwards", AroundThePole(25, true), 2, 360 * 20},
      {"round the pole from 25 westwards", AroundThePole(25, false), 2, 360 * 20},
      {"no crossing", {{10, 10}, {20, 10}, {20, 20}, {10, 10}}, 1, 50},
  };
  for (const Row& row : rows) {
    const auto parts = SplitRingAtAntimeridian(row.ring);
    EXPECT_EQ(parts.size(), row.parts) << row.name;
    double total = 0;
    for (const auto& p : parts) total += Area(p);
    EXPECT_NEAR(total, row.area, 1e-9) << row.name;
    ExpectFlat(parts, row.name);
  }
}

TEST(Antimeridian, LinesAreCutWhereTheyCross) {
  std::ostringstream parts;
  for (const auto& part : SplitLineAtAntimeridian({{170, 0}, {-170, 10}, {-160, 10}, {175, 20}})) {
    for (const Point& p : part) parts << p.x << "," << p.y << " ";
    parts << "| ";
  }
  // Crossing at 180 a fifth into the step and -180 four fifths into the next.
  EXPECT_EQ(parts.str(), "170,0 180,5 | -180,5 -170,10 -160,10 -180,18 | 180,18 175,20 | ");
}

TEST(Antimeridian, TheImportCutsOnlyWhenAsked) {
  TempDir dir;
  std::ofstream(dir / "fiji.geojson") << R"({"type": "FeatureCollection", "features": [
      {"type": "Feature", "properties": {"name": "Fiji"}, "geometry": {"type": "Polygon",
       "coordinates": [[[178, -17], [-179, -17], [-179, -19], [178, -19], [178, -17]]]}}]})";
  for (const bool split : {false, true}) {
    auto s = OpenStore(dir / (split ? "split.db" : "flat.db"));
    ImportOptions o;
    o.source = dir / "fiji.geojson";
    o.read.splitAtAntimeridian = split;
    const ImportReport r = ImportLayer(*s, o);
    EXPECT_EQ(r.features, 1u);
    EXPECT_EQ(r.elements, split ? 2u : 1u);
    const auto box = s->ElementExtent(r.layerId, 1);
    ASSERT_TRUE(box);
    // Without the option the ring is the flat one it says it is: 357 degrees wide.
    EXPECT_DOUBLE_EQ(box->maxX - box->minX, split ? 2 : 357);
  }
}

}  // namespace
}  // namespace orvenda::server
