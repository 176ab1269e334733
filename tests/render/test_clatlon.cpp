#include <gtest/gtest.h>

#include <array>
#include <limits>

#include "proj_oracle.h"
#include "render/clatlon.h"

namespace orvenda {
namespace {

using test::Text;

TEST(CLatLon, HandsCoordinatesBackUnchanged) {
  struct Row {
    const char* name;
    double a, b;
  };
  const Row rows[] = {
      {"Buenos Aires", -58.4, -34.6},
      {"corner of the world", 180.0, -90.0},
      {"outside the world", 512.25, -1e30},
      {"negative zero", -0.0, 0.0},
  };
  CLatLon latlon;
  const std::array<double, 2> ignored{19.0, 0.9996};
  EXPECT_TRUE(latlon.Init(kWgs84SemiMajor, kWgs84SemiMinor, ignored));
  EXPECT_TRUE(latlon.Init(0.0, 0.0, {}));
  for (const Row& r : rows) {
    const ProjectedXY p = latlon.Project(r.a, r.b);
    EXPECT_EQ(p.x, r.a) << r.name << ": " << Text(p);
    EXPECT_EQ(p.y, r.b) << r.name << ": " << Text(p);
    const GeoLonLat g = latlon.Unproject(r.a, r.b);
    EXPECT_EQ(g.lon, r.a) << r.name << ": " << Text(g);
    EXPECT_EQ(g.lat, r.b) << r.name << ": " << Text(g);
  }
}

}  // namespace
}  // namespace orvenda
