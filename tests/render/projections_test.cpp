#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "proj_oracle.h"
#include "render/calbers.h"
#include "render/cutm.h"

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
                                        {29.5, 45.5, 100, 23, -80 + 1e-6, 40, -80 + 1e-6, none},
                                        {29.5, 45.5, 100, 23, -80 - 1e-6, 40, -80 + 1e-6, none},
                                        {29.5, 45.5, 100, 23, -80 - 1e-7, 40, -80 + 1e-7, none},
                                        {29.5, 45.5, -150, 23, 150, 40, -90, none},
                                        {29.5, 45.5, 170, 23, 200, 35, none, 160},
                                        {29.5, 45.5, 170, 23, 180, 35, none, 180},
                                        {60, 60, 0, 60, q - 1e-6, 70, q - 1e-6, q - 1e-6},
                                        {60, 60, 0, 60, q + 1e-6, 70, q + 1e-6, 1e-6 - q},
                                        {60, 60, 0, 60, 150, 70, 150, 150 - 2 * q},
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
  EXPECT_EQ(albers.Unproject(north.x, north.y + 1000.0).lat, 90.0) << "inside the pole's circle";
}

// Refused set-ups hand positions through both ways: UTM zones outside 1..60 (after
// rounding), a missing, zero or negative scale, missing or swapped axes; Albers parallels
// symmetric about the equator (within 1e-10 radians), missing or non-finite parameters or
// axes. A refusal leaves a projection set up before in force.
TEST(Projections, RefusedSetUpsLeaveTheInputUnchanged) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const double a = kWgs84SemiMajor, b = kWgs84SemiMinor, flat = -30.0 + 0.5e-10 / kRadPerDeg;
  // UTM: zone, scale, axes. Albers: parallels, centre, false origin (or less), axes.
  std::vector<std::vector<double>> rows = {
      {0, 0.9996, a, b},    {61, 0.9996, a, b},  {-61, 0.9996, a, b}, {0.5, 0.9996, a, b},
      {60.6, 0.9996, a, b}, {nan, 0.9996, a, b}, {19, 0.0, a, b},     {19, -1.0, a, b},
      {19, 0.9996, 0, 0},   {19, 0.9996, b, a}};
  const std::vector<std::vector<double>> cones = {
      {30, -30, 0, 0, 0, 0, a, b},      {-45, 45, 0, 0, 0, 0, a, b},
      {0, 0, 0, 0, 0, 0, a, b},         {30, flat, 0, 0, 0, 0, a, b},
      {29.5, 45.5, -96, 23, 0, a, b},   {29.5, 45.5, nan, 23, 0, 0, a, b},
      {29.5, 45.5, -96, 23, 0, 0, 0, 0}};
  rows.insert(rows.end(), cones.begin(), cones.end());
  for (const auto& r : rows) {
    std::unique_ptr<CProjection> p(r.size() == 4 ? static_cast<CProjection*>(new CUTM)
                                                 : new CAlbers);
    const std::string name = std::to_string(r.size()) + " values from " + std::to_string(r[0]);
    EXPECT_FALSE(p->Init(r[r.size() - 2], r.back(), std::span(r).first(r.size() - 2))) << name;
    test::ExpectPassesPositionsThrough(*p, {5000000.0, 5000000.0}, name);
  }
  CUTM utm = MakeUtm(19);
  EXPECT_FALSE(utm.Init(a, b, std::array{19.0}));
  EXPECT_FALSE(utm.Init(a, b, std::vector<double>{}));
  EXPECT_FALSE(utm.Init(a, b, std::array{0.0, 0.9996}));
  EXPECT_TRUE(utm.IsSetUp());
  EXPECT_EQ(utm.Project(-69.0, 0.0).x, 500000.0);
  test::ExpectNoPositionFromNonFiniteInput(utm, "UTM");
  EXPECT_FALSE(std::isfinite(utm.Unproject(inf, 40).lon + utm.Unproject(10, -inf).lat));

  CAlbers cone = MakeAlbers({20.0, 50.0, -96.0, 35.0, 5000000.0, 5000000.0});
  EXPECT_FALSE(cone.Init(a, b, std::array{30.0, -30.0, 0.0, 0.0, 0.0, 0.0}));
  EXPECT_TRUE(cone.IsSetUp());
  const ProjectedXY centre = cone.Project(-96.0, 35.0);
  EXPECT_EQ(centre.x, 5000000.0) << "the cone's centre lands on the false origin";
  EXPECT_EQ(centre.y, 5000000.0);
  const GeoLonLat g = cone.Unproject(5000000.0, 5000000.0);
  EXPECT_NEAR(g.lon, -96.0, 1e-12) << Text(g);
  EXPECT_NEAR(g.lat, 35.0, kDegrees) << Text(g);
  test::ExpectNoPositionFromNonFiniteInput(cone, "Albers");
  // Infinitely far from the cone's apex is inside the circle of the south pole.
  EXPECT_EQ(cone.Unproject(inf, 40).lat, -90.0);
  EXPECT_EQ(cone.Unproject(10, inf).lat, -90.0);
}

}  // namespace
}  // namespace orvenda
