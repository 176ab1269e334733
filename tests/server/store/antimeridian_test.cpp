// Rings and lines of sources drawn on the sphere, cut at the antimeridian.

#include "import/antimeridian.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace orvenda::server {
namespace {

// The area the parts bound; each must be closed, within -180..180, and take long steps
// only along a pole.
double FlatArea(const std::vector<std::vector<Point>>& parts) {
  double area = 0;
  for (const auto& part : parts) {
    double twice = 0;
    EXPECT_GE(part.size(), 4u);
    EXPECT_TRUE(part.front().x == part.back().x && part.front().y == part.back().y);
    for (std::size_t i = 1; i < part.size(); ++i) {
      twice += part[i - 1].x * part[i].y - part[i].x * part[i - 1].y;
      EXPECT_LE(std::fabs(part[i].x), 180);
      const bool alongPole = std::fabs(part[i].y) == 90 && part[i - 1].y == part[i].y;
      EXPECT_TRUE(alongPole || std::fabs(part[i].x - part[i - 1].x) <= 180);
    }
    area += std::fabs(twice) / 2;
  }
  return area;
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

TEST(Antimeridian, RingsAndLinesAreCutIntoFlatPartsThatKeepTheirArea) {
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
      {"round the pole from -180", AroundThePole(-180, true), 1, 360 * 20},
      {"round the pole from 25 eastwards", AroundThePole(25, true), 2, 360 * 20},
      {"round the pole from 25 westwards", AroundThePole(25, false), 2, 360 * 20},
      {"no crossing", {{10, 10}, {20, 10}, {20, 20}, {10, 10}}, 1, 50},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto parts = SplitRingAtAntimeridian(row.ring);
    EXPECT_EQ(parts.size(), row.parts);
    EXPECT_NEAR(FlatArea(parts), row.area, 1e-9);
  }
  // A line crosses at 180 a fifth into the step and at -180 four fifths into the next.
  std::ostringstream line;
  for (const auto& part : SplitLineAtAntimeridian({{170, 0}, {-170, 10}, {-160, 10}, {175, 20}})) {
    for (const Point& p : part) line << p.x << "," << p.y << " ";
    line << "| ";
  }
  EXPECT_EQ(line.str(), "170,0 180,5 | -180,5 -170,10 -160,10 -180,18 | 180,18 175,20 | ");
}

}  // namespace
}  // namespace orvenda::server
