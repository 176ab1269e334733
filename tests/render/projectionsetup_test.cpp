#include "render/projectionsetup.h"

#include <gtest/gtest.h>

#include "proj_oracle.h"
#include "render/clatlon.h"

namespace orvenda {
namespace {

using test::ProjOracle;
using test::Text;

// UTM codes give their zone on WGS 84, checked against PROJ: 119 is zone 19 north, 81
// zone 19 south, 40 and 160 the last zones. Code 1 builds the cone from the view: its
// parallels are the view's south and north edges, its centre lands on (5e6, 5e6).
TEST(ProjectionSetup, ProjectorsFollowTheCodeAndTheView) {
  const std::array<double, 3> utm[] = {{119, -69, 0}, {81, -69, 1e7}, {40, 177, 1e7},
                                       {160, 177, 0}, {101, -177, 0}, {99, -177, 1e7}};
  std::unique_ptr<CProjection> p;
  for (const auto& [code, lon, y] : utm) {
    ASSERT_TRUE(SetUpProjection(p, static_cast<int>(code), -10.0, 10.0, lon, 0.0)) << code;
    EXPECT_TRUE(test::Near(p->Project(lon, 0.0), {500000.0, y}, 0.0)) << code;
    const int zone = static_cast<int>(code) - 100;
    const ProjOracle proj(
        test::UtmSeriesDefinition(zone, kWgs84SemiMajor, kWgs84SemiMinor, 0.9996));
    const double lat = zone < 0 ? -33.0 : 47.0;
    EXPECT_TRUE(test::Near(p->Project(lon + 2, lat), proj.Forward(lon + 2, lat), 1e-3)) << code;
  }
  ASSERT_TRUE(SetUpProjection(p, 100, -10.0, 10.0, 3.0, 0.0)) << "zone 0: refused by the zone";
  EXPECT_EQ(p->Project(-177.0, 0.0).y, 10000000.0) << "so zone 1 south stays in force";

  ASSERT_TRUE(SetUpProjection(p, 1, 20.0, 50.0, -96.0, 35.0));
  const ProjOracle cone(
      test::AlbersDefinition(20.0, 50.0, -96.0, 35.0, 5e6, 5e6, kWgs84SemiMajor, kWgs84SemiMinor));
  for (const GeoLonLat g : {GeoLonLat{-96.0, 35.0}, {-120.0, 48.0}, {-75.0, 22.0}}) {
    EXPECT_TRUE(test::Near(p->Project(g.lon, g.lat), cone.Forward(g.lon, g.lat), 1e-3)) << Text(g);
  }
  EXPECT_EQ(p->Project(-96.0, 35.0).x, 5000000.0);
  // A view symmetric about the equator gives no cone: the earlier view's cone stays.
  const CProjection* before = p.get();
  const ProjectedXY earlier = p->Project(-100.0, 40.0);
  ASSERT_TRUE(SetUpProjection(p, 1, -30.0, 30.0, 10.0, 0.0));
  EXPECT_EQ(p.get(), before);
  EXPECT_EQ(p->Project(-100.0, 40.0).x, earlier.x);
  for (int code : {-1, 2, 39, 161, 999}) {
    EXPECT_FALSE(SetUpProjection(p, code, 20.0, 50.0, -96.0, 35.0)) << code;
    EXPECT_EQ(p->Project(-100.0, 40.0).y, earlier.y) << code;
  }
  ASSERT_TRUE(SetUpProjection(p, 0, 20.0, 50.0, -96.0, 35.0));
  EXPECT_EQ(p->Project(-96.0, 35.0).x, -96.0);

  EXPECT_TRUE(CLatLon().Init(kWgs84SemiMajor, kWgs84SemiMinor, std::array{19.0, 0.9996}));
  std::unique_ptr<CProjection> fresh;  // on a fresh projector the plane stays in degrees
  ASSERT_TRUE(SetUpProjection(fresh, 1, -30.0, 30.0, 10.0, 0.0));
  test::ExpectPassesPositionsThrough(*fresh, {12.5, -3.0}, "symmetric view");
}

}  // namespace
}  // namespace orvenda
