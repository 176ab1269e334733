#include "render/cutm.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "proj_oracle.h"

namespace orvenda {
namespace {

using test::GroundMetres;
using test::ProjOracle;
using test::Text;

constexpr double kMetres = 1e-3;   // forward tolerance against PROJ
constexpr double kDegrees = 1e-9;  // inverse tolerance near the equator and meridian
// How far the short USGS inverse may stray on the ground, out to half a degree past the
// edge of a zone.
constexpr double kSeriesGround = 2e-3;

CUTM MakeUtm(double zone, double scale = 0.9996, double a = kWgs84SemiMajor,
             double b = kWgs84SemiMinor) {
  CUTM utm;
  EXPECT_TRUE(utm.Init(a, b, std::array{zone, scale})) << "zone " << zone;
  return utm;
}

// Zones, hemispheres and figures of the earth, each on a grid across the zone and half a
// degree beyond. The forward series agree with PROJ's to well under a millimetre. The
// inverse is the shorter USGS one (meridian arc to e^6, series to the sixth power of the
// distance from the meridian, one term less than PROJ): 1e-9 degrees near the equator
// and the meridian, about a millimetre on the ground further out. A sphere goes through
// the same series; PROJ's closed formulas lose centimetres at its equator, where y = 0.
TEST(CUTM, AgreesWithProjSeriesTransverseMercator) {
  const double a = kWgs84SemiMajor, b = kWgs84SemiMinor;
  // Zone, semi-axes, scale: WGS 84, Clarke 1866, International 1924, a sphere.
  const std::array<double, 4> rows[] = {{19, a, b, 0.9996},
                                        {-19, a, b, 0.9996},
                                        {1, a, b, 0.9996},
                                        {60, a, b, 0.9996},
                                        {14, 6378206.4, 6356583.8, 1.0},
                                        {-21, 6378388.0, 6356911.946, 0.9996},
                                        {33, 6371000.0, 6371000.0, 0.9996}};
  for (const auto& [zone, major, minor, scale] : rows) {
    const CUTM utm = MakeUtm(zone, scale, major, minor);
    const ProjOracle proj(test::UtmSeriesDefinition(static_cast<int>(zone), major, minor, scale));
    const double center = 6.0 * std::abs(zone) - 183.0;
    const bool sphere = major == minor;
    for (double lat = -84.0; lat <= 84.0; lat += 4.0) {
      for (double dlon = -3.5; dlon <= 3.5; dlon += sphere ? 1.0 : 0.5) {
        const GeoLonLat g{center + dlon, lat};
        const ProjectedXY mine = utm.Project(g.lon, g.lat);
        const ProjectedXY want = proj.Forward(g.lon, g.lat);
        SCOPED_TRACE("zone " + std::to_string(zone) + " at " + Text(g));
        EXPECT_TRUE(test::Near(mine, {want.x, sphere && lat == 0 ? 0.0 : want.y}, kMetres));
        const GeoLonLat back = utm.Unproject(mine.x, mine.y);
        const GeoLonLat wantBack = proj.Inverse(mine.x, mine.y);
        if (std::fabs(lat) <= 30.0 && std::fabs(dlon) <= 2.0 && !sphere) {
          EXPECT_TRUE(test::Near(back, wantBack, kDegrees)) << Text(back);
        }
        EXPECT_LT(GroundMetres(back, wantBack), kSeriesGround) << Text(back);
        EXPECT_LT(GroundMetres(back, g), kSeriesGround) << Text(back);  // zones 1, 60 wrap
      }
    }
  }
}

// A longitude difference is wrapped once into +-180 degrees: just short of the zone's
// antimeridian stays east, just past it goes west, mirrored about the central meridian.
TEST(CUTM, LongitudeDifferenceWrapsAtTheAntimeridianOfTheZone) {
  const CUTM utm = MakeUtm(31);
  const double eps = 1e-7;
  const double east = utm.Project(3.0 + 180.0 - eps, 10.0).x - 500000.0;
  EXPECT_GT(east, 0);
  // 182.99999999999977 lies exactly pi (as the zone's arithmetic truncates it) east of 3 E.
  EXPECT_GT(utm.Project(182.99999999999977, 10.0).x, 500000.0) << "pi itself is not wrapped";
  for (const auto& [dlon, sign] : {std::pair{180 + eps, -1}, {-180 + eps, -1}, {-180 - eps, 1}})
    EXPECT_NEAR(utm.Project(3.0 + dlon, 10.0).x - 500000.0, sign * east, 1.0) << dlon;
  EXPECT_LT(utm.Project(193.0, 10.0).x, 500000.0);
  EXPECT_GT(utm.Project(-187.0, 10.0).x, 500000.0);
  // The inverse wraps too: 3.5 degrees west of zone 1 is 179.5 degrees east.
  const CUTM zone1 = MakeUtm(1);
  const ProjectedXY west = zone1.Project(179.5, 45.0);
  EXPECT_LT(west.x, 500000.0) << Text(west);
  const GeoLonLat back = zone1.Unproject(west.x, west.y);
  EXPECT_LT(GroundMetres(back, {179.5, 45.0}), kSeriesGround) << Text(back);
}

// Past the pole the footpoint latitude reaches 90 degrees and the answer is the pole on
// the central meridian; a metre short of it the ordinary formulas still answer.
TEST(CUTM, UnprojectBeyondThePoleAnswersThePole) {
  const double poleY = MakeUtm(19).Project(-69.0, 90.0).y;
  // Zone, x, y, the latitude answered (0: short of the pole). At y 9997964.9432012346
  // the footpoint is exactly the zone arithmetic's pi/2, which is the pole already.
  const std::array<double, 4> rows[] = {
      {19, 700000, 10500000, 90},           {19, 500000, poleY + 1, 90},
      {19, 500000, poleY - 1, 0},           {-19, 300000, -500000, -90},
      {-19, 500000, 1e7 - poleY - 1, -90},  {19, 500000, 1e12, 90},
      {19, 500000, 9997964.9432012346, 90}, {-19, 500000, 1e7 - poleY + 1, 0}};
  for (const auto& [zone, x, y, lat] : rows) {
    const GeoLonLat g = MakeUtm(zone).Unproject(x, y);
    EXPECT_NEAR(g.lon, -69.0, 1e-12) << y << ": " << Text(g);
    EXPECT_TRUE(lat == 0 || g.lat == lat) << y << ": " << Text(g);
    if (lat != 0) continue;
    EXPECT_TRUE(std::fabs(g.lat) > 89.99 && std::fabs(g.lat) < 90.0) << Text(g);
    const ProjOracle proj(test::UtmSeriesDefinition(static_cast<int>(zone), kWgs84SemiMajor,
                                                    kWgs84SemiMinor, 0.9996));
    EXPECT_NEAR(g.lat, proj.Inverse(x, y).lat, 1e-8);  // the footpoint itself
  }
}

// Zones outside 1..60 (after rounding), a missing, zero or negative scale, missing or
// swapped axes: refused, positions handed through, an earlier zone kept in force.
TEST(CUTM, RefusedSetUpsLeaveTheInputUnchanged) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double a = kWgs84SemiMajor, b = kWgs84SemiMinor;
  const std::vector<std::vector<double>> rows = {
      {0, 0.9996, a, b},    {61, 0.9996, a, b},  {-61, 0.9996, a, b}, {0.5, 0.9996, a, b},
      {60.6, 0.9996, a, b}, {nan, 0.9996, a, b}, {19, 0.0, a, b},     {19, -1.0, a, b},
      {19, 0.9996, 0, 0},   {19, 0.9996, b, a}};
  for (const auto& r : rows) {
    CUTM utm;
    EXPECT_FALSE(utm.Init(r[2], r[3], std::array{r[0], r[1]})) << r[0] << " " << r[1];
    test::ExpectPassesPositionsThrough(utm, {350000.0, 6170000.0}, std::to_string(r[0]));
  }
  CUTM utm = MakeUtm(19);
  EXPECT_FALSE(utm.Init(a, b, std::array{19.0}));
  EXPECT_FALSE(utm.Init(a, b, std::vector<double>{}));
  EXPECT_FALSE(utm.Init(a, b, std::array{0.0, 0.9996}));
  EXPECT_TRUE(utm.IsSetUp());
  EXPECT_EQ(utm.Project(-69.0, 0.0).x, 500000.0);
  test::ExpectNoPositionFromNonFiniteInput(utm, "UTM");
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_FALSE(std::isfinite(utm.Unproject(inf, 40).lon + utm.Unproject(10, -inf).lat));
}

}  // namespace
}  // namespace orvenda
