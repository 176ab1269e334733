#include "render/calbers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "proj_oracle.h"

namespace orvenda {
namespace {

using test::ProjOracle;
using test::Text;

constexpr double kMetres = 1e-3;   // forward tolerance against PROJ
constexpr double kDegrees = 1e-9;  // inverse tolerance
constexpr double kRadPerDeg = std::numbers::pi / 180.0;

struct Cone {
  double lat1, lat2, lon0, lat0, x0, y0;
  double a = kWgs84SemiMajor;
  double b = kWgs84SemiMinor;
};

CAlbers MakeAlbers(const Cone& c) {
  CAlbers albers;
  EXPECT_TRUE(albers.Init(c.a, c.b, std::array{c.lat1, c.lat2, c.lon0, c.lat0, c.x0, c.y0}));
  return albers;
}

ProjOracle MakeOracle(const Cone& c) {
  return ProjOracle(test::AlbersDefinition(c.lat1, c.lat2, c.lon0, c.lat0, c.x0, c.y0, c.a, c.b));
}

// Parallels north, south, across the equator and equal (tangent cones), on WGS 84,
// Clarke 1866 and a sphere; a grid from pole to pole, 60 degrees either side of the
// central meridian, forward against PROJ and back to where it started.
TEST(CAlbers, AgreesWithProjAlbersEqualArea) {
  const Cone cones[] = {{29.5, 45.5, -96.0, 23.0, 0.0, 0.0},
                        {29.5, 45.5, -96.0, 23.0, 0.0, 0.0, 6378206.4, 6356583.8},
                        {-10.0, -40.0, -60.0, -25.0, 5000000.0, 5000000.0},
                        {-5.0, 25.0, 0.0, 0.0, 0.0, 0.0},
                        {40.0, 40.0, 10.0, 40.0, 5000000.0, 5000000.0},
                        {29.5, 45.5, -96.0, 23.0, 0.0, 0.0, 6371000.0, 6371000.0}};
  for (const Cone& c : cones) {
    const CAlbers albers = MakeAlbers(c);
    const ProjOracle proj = MakeOracle(c);
    for (double lat = -90.0; lat <= 90.0; lat += 5.0) {
      for (double lon = c.lon0 - 60.0; lon <= c.lon0 + 60.0; lon += 10.0) {
        if (std::fabs(lon) > 180.0) continue;  // folded: see the seam test
        const GeoLonLat g{lon, std::clamp(lat, -89.9, 89.9)};
        const ProjectedXY mine = albers.Project(g.lon, g.lat);
        const ProjectedXY want = proj.Forward(g.lon, g.lat);
        SCOPED_TRACE("cone at " + std::to_string(c.lon0) + " " + Text(g) + ": " + Text(mine) +
                     ", PROJ " + Text(want));
        EXPECT_TRUE(test::Near(mine, want, kMetres));
        const GeoLonLat back = albers.Unproject(mine.x, mine.y);
        const GeoLonLat wantBack = proj.Inverse(mine.x, mine.y);
        EXPECT_TRUE(test::Near(back, wantBack, kDegrees)) << Text(back);
        EXPECT_TRUE(test::Near(back, g, kDegrees)) << Text(back);
      }
    }
  }
}

// A longitude more than 180 degrees from the central meridian is folded back onto its
// own side of the cone (PROJ wraps it to the other side): it lands where PROJ puts the
// mirrored longitude, both sides of the seam meet, and the inverse folds the same way.
// The inverse takes arctan(x/y), which only reaches cone angles within +-90 degrees: on
// a cone tangent at 60 N (constant sin 60) that is q = 90 / sin 60 = 103.92 degrees of
// longitude, and past it the answer is half a turn of the cone (2q) short.
TEST(CAlbers, LongitudesPastTheSeamAndTheQuarterTurn) {
  const double q = 90.0 / std::sin(60.0 * kRadPerDeg), none = std::nan("");
  // Parallels, central meridian, latitude of origin; the point; the longitude where PROJ
  // lands on it (none: not compared); the longitude the inverse answers (none: idem).
  const std::array<double, 8> rows[] = {{29.5, 45.5, 100, 23, -90, 40, -70, none},
                                        {29.5, 45.5, -100, 23, 90, 40, 70, none},
                                        {29.5, 45.5, 100, 23, -80 + 1e-6, 40, -80 + 1e-6, none},
                                        {29.5, 45.5, 100, 23, -80 - 1e-6, 40, -80 + 1e-6, none},
                                        {29.5, 45.5, 100, 23, -80 - 1e-7, 40, -80 + 1e-7, none},
                                        {29.5, 45.5, -100, 23, 80 + 1e-7, 40, 80 - 1e-7, none},
                                        {29.5, 45.5, -150, 23, 150, 40, -90, none},
                                        {29.5, 45.5, 170, 23, 200, 35, none, 160},
                                        {29.5, 45.5, 170, 23, 185, 35, none, 175},
                                        {29.5, 45.5, 170, 23, 180, 35, none, 180},
                                        {29.5, 45.5, -170, 23, -200, 35, none, -160},
                                        {60, 60, 0, 60, q - 1e-6, 70, q - 1e-6, q - 1e-6},
                                        {60, 60, 0, 60, q + 1e-6, 70, q + 1e-6, 1e-6 - q},
                                        {60, 60, 0, 60, 150, 70, 150, 150 - 2 * q},
                                        {60, 60, 0, 60, -150, 70, -150, 2 * q - 150},
                                        {60, 60, 0, 60, 1e-6 - q, 70, 1e-6 - q, 1e-6 - q}};
  for (const auto& [lat1, lat2, lon0, lat0, lon, lat, projLon, backLon] : rows) {
    const Cone cone{lat1, lat2, lon0, lat0, 0.0, 0.0};
    const CAlbers albers = MakeAlbers(cone);
    const ProjectedXY mine = albers.Project(lon, lat);
    if (!std::isnan(projLon)) {
      EXPECT_TRUE(test::Near(mine, MakeOracle(cone).Forward(projLon, lat), kMetres)) << lon;
    }
    if (!std::isnan(backLon)) {
      EXPECT_TRUE(test::Near(albers.Unproject(mine.x, mine.y), {backLon, lat}, kDegrees)) << lon;
    }
  }
}

// Within 1e-10 of the pole's q (about 5.7e-4 degrees of latitude) the inverse answers the
// pole exactly; just outside it still iterates to its 1e-7 radian tolerance (PROJ snaps
// much further out, so these are checked against the latitude itself). A point inside
// the circle of a pole answers the pole.
TEST(CAlbers, InverseNearAndPastThePoles) {
  const CAlbers albers = MakeAlbers({29.5, 45.5, -96.0, 23.0, 0.0, 0.0});
  for (const double pole : {90.0, -90.0}) {
    for (const double off : {0.0, 4e-4, 5.5e-4, 5.9e-4, 8e-4}) {
      const double lat = pole - std::copysign(off, pole);
      const ProjectedXY p = albers.Project(-80.0, lat);
      const GeoLonLat back = albers.Unproject(p.x, p.y);
      EXPECT_NEAR(back.lon, -80.0, kDegrees) << lat << ": " << Text(back);
      const bool snapped = off < 5.7e-4;
      EXPECT_EQ(back.lat == pole, snapped) << lat << ": " << Text(back);
      EXPECT_NEAR(back.lat, lat, snapped ? off + 1e-12 : 1e-7 / kRadPerDeg) << Text(back);
    }
  }
  const ProjectedXY north = albers.Project(-96.0, 90.0);
  const ProjectedXY south = albers.Project(-96.0, -90.0);
  for (double past : {1.0, 1000.0, 100000.0, 1000000.0}) {
    const GeoLonLat inNorth = albers.Unproject(north.x, north.y + past);
    EXPECT_EQ(inNorth.lat, 90.0) << past << " m inside the north pole: " << Text(inNorth);
    EXPECT_NEAR(inNorth.lon, -96.0, kDegrees) << Text(inNorth);
    EXPECT_EQ(albers.Unproject(south.x, south.y - past).lat, -90.0) << past;
  }
}

// Parallels closer than 1e-10 radians make a tangent cone with constant sin(lat1);
// further apart, the secant formula, which converges on the same cone.
TEST(CAlbers, NearlyEqualParallelsMakeATangentCone) {
  const Cone tangentCone{40.0, 40.0, 10.0, 40.0, 5000000.0, 5000000.0};
  const CAlbers tangent = MakeAlbers(tangentCone);
  for (const double dlat : {0.5e-10, 0.99e-10, 2e-10, 1e-6}) {  // radians between the parallels
    Cone cone = tangentCone;
    cone.lat2 = 40.0 + dlat / kRadPerDeg;
    const CAlbers albers = MakeAlbers(cone);
    for (const GeoLonLat g : {GeoLonLat{-20.0, 10.0}, GeoLonLat{35.0, 70.0}}) {
      const ProjectedXY mine = albers.Project(g.lon, g.lat);
      const ProjectedXY want = tangent.Project(g.lon, g.lat);
      // The secant formula divides two differences of order dlat.
      const double tolerance = dlat < 1e-10 ? 0.0 : 10.0;
      EXPECT_TRUE(test::Near(mine, want, tolerance))
          << dlat << " at " << Text(g) << ": " << Text(mine);
    }
  }
}

// Parallels symmetric about the equator (within 1e-10 radians) give no cone; neither do
// missing or non-finite parameters or axes. A refused set-up hands positions through and
// leaves a cone set up before in force.
TEST(CAlbers, RefusedSetUpsLeaveTheInputUnchanged) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<std::vector<double>> refused = {
      {30.0, -30.0, 0.0, 0.0, 0.0, 0.0}, {-45.0, 45.0, 0.0, 0.0, 0.0, 0.0},
      {0.0, 0.0, 0.0, 0.0, 0.0, 0.0},    {30.0, -30.0 + 0.5e-10 / kRadPerDeg, 0.0, 0.0, 0.0, 0.0},
      {29.5, 45.5, -96.0, 23.0, 0.0},    {29.5, 45.5, nan, 23.0, 0.0, 0.0}};
  for (const auto& params : refused) {
    CAlbers albers;
    EXPECT_FALSE(albers.Init(kWgs84SemiMajor, kWgs84SemiMinor, params)) << params[0];
    test::ExpectPassesPositionsThrough(albers, {5000000.0, 5000000.0}, std::to_string(params[1]));
  }
  CAlbers noAxes;
  EXPECT_FALSE(noAxes.Init(0.0, 0.0, std::array{29.5, 45.5, -96.0, 23.0, 0.0, 0.0}));
  test::ExpectPassesPositionsThrough(noAxes, {5000000.0, 5000000.0}, "no axes");

  // Just outside the tolerance the cone is set up, however flat.
  const ProjectedXY flat =
      MakeAlbers({30.0, -30.0 + 2e-10 / kRadPerDeg, 0.0, 0.0, 0.0, 0.0}).Project(-58.4, -34.6);
  EXPECT_TRUE(std::isfinite(flat.y)) << Text(flat);
  EXPECT_LT(flat.x, -1000000.0) << Text(flat);

  CAlbers albers = MakeAlbers({20.0, 50.0, -96.0, 35.0, 5000000.0, 5000000.0});
  EXPECT_FALSE(albers.Init(kWgs84SemiMajor, kWgs84SemiMinor, refused[0]));
  EXPECT_TRUE(albers.IsSetUp());
  const ProjectedXY centre = albers.Project(-96.0, 35.0);
  EXPECT_EQ(centre.x, 5000000.0) << "the cone's centre lands on the false origin";
  EXPECT_EQ(centre.y, 5000000.0);
  const GeoLonLat g = albers.Unproject(5000000.0, 5000000.0);
  EXPECT_NEAR(g.lon, -96.0, 1e-12) << Text(g);
  EXPECT_NEAR(g.lat, 35.0, kDegrees) << Text(g);
  test::ExpectNoPositionFromNonFiniteInput(albers, "Albers");
  // Infinitely far from the cone's apex is inside the circle of the south pole.
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(albers.Unproject(inf, 40).lat, -90.0);
  EXPECT_EQ(albers.Unproject(10, inf).lat, -90.0);
}

}  // namespace
}  // namespace orvenda
