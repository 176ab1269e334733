#include "render/projectionsetup.h"

#include <gtest/gtest.h>

#include "proj_oracle.h"
#include "render/calbers.h"
#include "render/clatlon.h"
#include "render/cutm.h"

namespace orvenda {
namespace {

using test::ProjOracle;
using test::Text;

// Code 0 is latitude/longitude, 1 Albers, 40..160 UTM zone code - 100 (negative south);
// anything else selects nothing and leaves the projector alone.
TEST(ProjectionSetup, MapCodesSelectTheirClass) {
  const std::pair<int, ProjectionClass> rows[] = {
      {-1, ProjectionClass::None},   {0, ProjectionClass::LatLon}, {1, ProjectionClass::Albers},
      {2, ProjectionClass::None},    {39, ProjectionClass::None},  {40, ProjectionClass::UTM},
      {100, ProjectionClass::UTM},   {160, ProjectionClass::UTM},  {161, ProjectionClass::None},
      {32767, ProjectionClass::None}};
  for (const auto& [code, want] : rows) {
    EXPECT_EQ(ProjectionClassForCode(code), want) << code;
    const std::unique_ptr<CProjection> p = MakeProjection(code);
    EXPECT_EQ(p == nullptr, want == ProjectionClass::None) << code;
    EXPECT_EQ(dynamic_cast<CLatLon*>(p.get()) != nullptr, want == ProjectionClass::LatLon) << code;
    EXPECT_EQ(dynamic_cast<CAlbers*>(p.get()) != nullptr, want == ProjectionClass::Albers) << code;
    EXPECT_EQ(dynamic_cast<CUTM*>(p.get()) != nullptr, want == ProjectionClass::UTM) << code;
  }
  std::unique_ptr<CProjection> none;
  EXPECT_FALSE(SetUpProjection(none, 7, 20.0, 50.0, -96.0, 35.0));
  EXPECT_EQ(none, nullptr);
}

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

  // Latitude and longitude are their own plane: any parameters are taken, and every
  // position, even outside the world, comes back unchanged both ways.
  CLatLon latlon;
  EXPECT_TRUE(latlon.Init(kWgs84SemiMajor, kWgs84SemiMinor, std::array{19.0, 0.9996}));
  for (const auto& [a, b] : {std::pair{-58.4, -34.6}, {180.0, -90.0}, {512.25, -1e30}}) {
    const ProjectedXY xy = latlon.Project(a, b);
    const GeoLonLat g = latlon.Unproject(a, b);
    EXPECT_TRUE(xy.x == a && xy.y == b && g.lon == a && g.lat == b) << a << ", " << b;
  }
  test::ExpectNoPositionFromNonFiniteInput(latlon, "lat/lon");
  std::unique_ptr<CProjection> fresh;  // on a fresh projector the plane stays in degrees
  ASSERT_TRUE(SetUpProjection(fresh, 1, -30.0, 30.0, 10.0, 0.0));
  test::ExpectPassesPositionsThrough(*fresh, {12.5, -3.0}, "symmetric view");
}

}  // namespace
}  // namespace orvenda
