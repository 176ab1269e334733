#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "proj_oracle.h"
#include "render/cutm.h"

namespace orvenda {
namespace {

using test::ExpectPassesPositionsThrough;
using test::ProjOracle;
using test::Text;

constexpr double kMetreTolerance = 1e-3;
constexpr double kDegreeTolerance = 1e-9;
// How far the short USGS inverse may stray on the ground, out to half a degree past the
// edge of a zone.
constexpr double kSeriesGroundTolerance = 2e-3;

CUTM MakeUtm(double zone, double scale = 0.9996, double a = kWgs84SemiMajor,
             double b = kWgs84SemiMinor) {
  CUTM utm;
  const std::array<double, 2> params{zone, scale};
  EXPECT_TRUE(utm.Init(a, b, params)) << "zone " << zone;
  return utm;
}

TEST(CUTM, CentralMeridianAtTheEquatorLandsExactlyOnTheFalseOrigin) {
  struct Row {
    const char* name;
    int zone;
    double lon;
    double x, y;
  };
  const Row rows[] = {
      {"zone 19 north", 19, -69.0, 500000.0, 0.0},
      {"zone 19 south", -19, -69.0, 500000.0, 10000000.0},
      {"zone 1 north", 1, -177.0, 500000.0, 0.0},
      {"zone 60 south", -60, 177.0, 500000.0, 10000000.0},
      {"zone 31 north", 31, 3.0, 500000.0, 0.0},
  };
  for (const Row& r : rows) {
    const CUTM utm = MakeUtm(r.zone);
    const ProjectedXY p = utm.Project(r.lon, 0.0);
    EXPECT_EQ(p.x, r.x) << r.name << ": " << Text(p);
    EXPECT_EQ(p.y, r.y) << r.name << ": " << Text(p);
    const GeoLonLat g = utm.Unproject(r.x, r.y);
    EXPECT_NEAR(g.lon, r.lon, 1e-12) << r.name << ": " << Text(g);
    EXPECT_EQ(g.lat, 0.0) << r.name << ": " << Text(g);
  }
}

// Rows of zones, hemispheres and figures of the earth; each is checked on a grid of
// points across the zone and half a degree beyond it, forward and inverse.
//
// The forward series agree with PROJ's to well under a millimetre. The inverse here is
// the shorter USGS one: its meridian arc stops at the e^6 term and its series at the
// sixth power of the distance from the central meridian, where PROJ carries one term
// more of each. Both answer the same point to 1e-9 degrees near the equator and the
// central meridian; further out they part by up to about a millimetre on the ground.
TEST(CUTM, AgreesWithProjSeriesTransverseMercator) {
  struct Row {
    const char* name;
    int zone;
    double a, b, scale;
  };
  const Row rows[] = {
      {"WGS 84 zone 19 north", 19, kWgs84SemiMajor, kWgs84SemiMinor, 0.9996},
      {"WGS 84 zone 19 south", -19, kWgs84SemiMajor, kWgs84SemiMinor, 0.9996},
      {"WGS 84 zone 1 north", 1, kWgs84SemiMajor, kWgs84SemiMinor, 0.9996},
      {"WGS 84 zone 31 north", 31, kWgs84SemiMajor, kWgs84SemiMinor, 0.9996},
      {"WGS 84 zone 36 south", -36, kWgs84SemiMajor, kWgs84SemiMinor, 0.9996},
      {"WGS 84 zone 60 north", 60, kWgs84SemiMajor, kWgs84SemiMinor, 0.9996},
      {"WGS 84 zone 60 south", -60, kWgs84SemiMajor, kWgs84SemiMinor, 0.9996},
      {"Clarke 1866 zone 14, scale 1", 14, 6378206.4, 6356583.8, 1.0},
      {"International 1924 zone -21", -21, 6378388.0, 6356911.946, 0.9996},
  };
  for (const Row& r : rows) {
    const CUTM utm = MakeUtm(r.zone, r.scale, r.a, r.b);
    const ProjOracle proj(test::UtmSeriesDefinition(r.zone, r.a, r.b, r.scale));
    const double center = 6.0 * std::abs(r.zone) - 183.0;
    for (double lat = -84.0; lat <= 84.0; lat += 4.0) {
      for (double dlon = -3.5; dlon <= 3.5; dlon += 0.5) {
        const GeoLonLat g{center + dlon, lat};
        const ProjectedXY mine = utm.Project(g.lon, g.lat);
        const ProjectedXY want = proj.Forward(g.lon, g.lat);
        SCOPED_TRACE(std::string(r.name) + " at " + Text(g) + ": mine " + Text(mine) + ", PROJ " +
                     Text(want));
        EXPECT_NEAR(mine.x, want.x, kMetreTolerance);
        EXPECT_NEAR(mine.y, want.y, kMetreTolerance);

        const GeoLonLat back = utm.Unproject(mine.x, mine.y);
        const GeoLonLat wantBack = proj.Inverse(mine.x, mine.y);
        if (std::fabs(lat) <= 30.0 && std::fabs(dlon) <= 2.0) {
          EXPECT_NEAR(back.lon, wantBack.lon, kDegreeTolerance) << Text(back);
          EXPECT_NEAR(back.lat, wantBack.lat, kDegreeTolerance) << Text(back);
        }
        EXPECT_LT(test::GroundMetres(back, wantBack), kSeriesGroundTolerance)
            << "mine " << Text(back) << ", PROJ " << Text(wantBack);
        // Zones 1 and 60 wrap a longitude past 180 degrees back into range.
        EXPECT_LT(test::GroundMetres(back, g), kSeriesGroundTolerance) << Text(back);
      }
    }
  }
}

// A sphere goes through the same series. PROJ uses closed formulas there, whose arccosine
// loses centimetres right at the equator, so the equator row checks y = 0 by itself.
TEST(CUTM, SphereFollowsTheSameSeries) {
  const double radius = 6371000.0;
  const CUTM utm = MakeUtm(33, 0.9996, radius, radius);
  const ProjOracle proj(test::UtmSeriesDefinition(33, radius, radius, 0.9996));
  for (double lat = -84.0; lat <= 84.0; lat += 6.0) {
    for (double dlon = -3.0; dlon <= 3.0; dlon += 1.0) {
      const GeoLonLat g{15.0 + dlon, lat};
      const ProjectedXY mine = utm.Project(g.lon, g.lat);
      SCOPED_TRACE("sphere at " + Text(g) + ": mine " + Text(mine));
      if (lat == 0.0) {
        EXPECT_EQ(mine.y, 0.0);
      } else {
        const ProjectedXY want = proj.Forward(g.lon, g.lat);
        EXPECT_NEAR(mine.x, want.x, kMetreTolerance) << "PROJ " << Text(want);
        EXPECT_NEAR(mine.y, want.y, kMetreTolerance) << "PROJ " << Text(want);
      }
      const GeoLonLat back = utm.Unproject(mine.x, mine.y);
      EXPECT_LT(test::GroundMetres(back, g), kMetreTolerance) << Text(back);
    }
  }
}

// A longitude difference is wrapped once into +-180 degrees: a point just short of the
// antimeridian of the zone stays east of the central meridian, one just past it goes west.
TEST(CUTM, LongitudeDifferenceWrapsAtTheAntimeridianOfTheZone) {
  struct Row {
    const char* name;
    double dlon;
    bool east;
  };
  const double eps = 1e-7;
  const Row rows[] = {
      {"+180 - eps", 180.0 - eps, true},
      {"+180 + eps", 180.0 + eps, false},
      {"-180 + eps", -180.0 + eps, false},
      {"-180 - eps", -180.0 - eps, true},
      {"+190", 190.0, false},
      {"-190", -190.0, true},
  };
  const CUTM utm = MakeUtm(31);
  const ProjectedXY nearSide = utm.Project(3.0 + 180.0 - eps, 10.0);
  for (const Row& r : rows) {
    const ProjectedXY p = utm.Project(3.0 + r.dlon, 10.0);
    EXPECT_EQ(p.x > 500000.0, r.east) << r.name << ": " << Text(p);
    if (std::fabs(std::fabs(r.dlon) - 180.0) < 1.0) {
      // Both sides of the seam are mirror images about the central meridian.
      EXPECT_NEAR(std::fabs(p.x - 500000.0), nearSide.x - 500000.0, 1.0)
          << r.name << ": " << Text(p);
    }
  }
  // The inverse wraps too: 3.5 degrees west of zone 1 is 179.5 degrees east.
  const CUTM zone1 = MakeUtm(1);
  const ProjectedXY west = zone1.Project(179.5, 45.0);
  EXPECT_LT(west.x, 500000.0) << Text(west);
  const GeoLonLat back = zone1.Unproject(west.x, west.y);
  EXPECT_GT(back.lon, 179.0) << Text(back);
  EXPECT_LT(test::GroundMetres(back, {179.5, 45.0}), kSeriesGroundTolerance) << Text(back);
}

// Past the pole the footpoint latitude reaches 90 degrees and the answer is the pole on
// the central meridian; a metre short of it the ordinary formulas still answer.
TEST(CUTM, UnprojectBeyondThePoleAnswersThePole) {
  const double poleY = MakeUtm(19).Project(-69.0, 90.0).y;
  struct Row {
    const char* name;
    int zone;
    double x, y;
    double lat;  // NaN: short of the pole, compare with PROJ
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Row rows[] = {
      {"north, far beyond", 19, 700000.0, 10500000.0, 90.0},
      {"north, 1 m beyond", 19, 500000.0, poleY + 1.0, 90.0},
      {"north, 1 m short", 19, 500000.0, poleY - 1.0, nan},
      {"south, far beyond", -19, 300000.0, -500000.0, -90.0},
      {"south, 1 m beyond", -19, 500000.0, 10000000.0 - poleY - 1.0, -90.0},
      {"south, 1 m short", -19, 500000.0, 10000000.0 - poleY + 1.0, nan},
  };
  for (const Row& r : rows) {
    const CUTM utm = MakeUtm(r.zone);
    const GeoLonLat g = utm.Unproject(r.x, r.y);
    SCOPED_TRACE(std::string(r.name) + ": " + Text(g));
    EXPECT_NEAR(g.lon, -69.0, 1e-12);
    if (std::isnan(r.lat)) {
      EXPECT_GT(std::fabs(g.lat), 89.99);
      EXPECT_LT(std::fabs(g.lat), 90.0);
      // On the central meridian the latitude is the footpoint itself; the two
      // meridian-arc series part by a few tenths of a millimetre here.
      const ProjOracle proj(
          test::UtmSeriesDefinition(r.zone, kWgs84SemiMajor, kWgs84SemiMinor, 0.9996));
      EXPECT_NEAR(g.lat, proj.Inverse(r.x, r.y).lat, 1e-8);
    } else {
      EXPECT_EQ(g.lat, r.lat);
    }
  }
}

TEST(CUTM, RefusedSetUpsLeaveTheInputUnchanged) {
  struct Row {
    const char* name;
    std::vector<double> params;
    double a, b;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Row rows[] = {
      {"zone 0", {0.0, 0.9996}, kWgs84SemiMajor, kWgs84SemiMinor},
      {"zone 61", {61.0, 0.9996}, kWgs84SemiMajor, kWgs84SemiMinor},
      {"zone -61", {-61.0, 0.9996}, kWgs84SemiMajor, kWgs84SemiMinor},
      {"zone 0.5 rounds to 0", {0.5, 0.9996}, kWgs84SemiMajor, kWgs84SemiMinor},
      {"zone 60.6 rounds to 61", {60.6, 0.9996}, kWgs84SemiMajor, kWgs84SemiMinor},
      {"zone NaN", {nan, 0.9996}, kWgs84SemiMajor, kWgs84SemiMinor},
      {"no scale", {19.0}, kWgs84SemiMajor, kWgs84SemiMinor},
      {"no parameters", {}, kWgs84SemiMajor, kWgs84SemiMinor},
      {"scale 0", {19.0, 0.0}, kWgs84SemiMajor, kWgs84SemiMinor},
      {"scale -1", {19.0, -1.0}, kWgs84SemiMajor, kWgs84SemiMinor},
      {"no axes", {19.0, 0.9996}, 0.0, 0.0},
      {"minor axis above major", {19.0, 0.9996}, kWgs84SemiMinor, kWgs84SemiMajor},
  };
  for (const Row& r : rows) {
    CUTM utm;
    EXPECT_FALSE(utm.Init(r.a, r.b, r.params)) << r.name;
    ExpectPassesPositionsThrough(utm, {350000.0, 6170000.0}, r.name);
  }
}

TEST(CUTM, ZonesAtTheEdgesOfTheRangeAreTaken) {
  struct Row {
    const char* name;
    double zoneParam;
    double centralLon;
    double falseNorthing;
  };
  const Row rows[] = {
      {"zone 1", 1.0, -177.0, 0.0},
      {"zone -1", -1.0, -177.0, 10000000.0},
      {"zone 60", 60.0, 177.0, 0.0},
      {"zone -60", -60.0, 177.0, 10000000.0},
      {"zone 0.6 rounds to 1", 0.6, -177.0, 0.0},
      {"zone 60.5 rounds to 60", 60.5, 177.0, 0.0},
      {"zone -59.5 rounds to -60", -59.5, 177.0, 10000000.0},
  };
  for (const Row& r : rows) {
    const CUTM utm = MakeUtm(r.zoneParam);
    EXPECT_TRUE(utm.IsSetUp()) << r.name;
    const ProjectedXY p = utm.Project(r.centralLon, 0.0);
    EXPECT_EQ(p.x, 500000.0) << r.name << ": " << Text(p);
    EXPECT_EQ(p.y, r.falseNorthing) << r.name << ": " << Text(p);
  }
}

TEST(CUTM, RefusedInitKeepsTheZoneSetUpBefore) {
  CUTM utm = MakeUtm(19);
  const std::array<double, 2> zone0{0.0, 0.9996};
  EXPECT_FALSE(utm.Init(kWgs84SemiMajor, kWgs84SemiMinor, zone0));
  EXPECT_TRUE(utm.IsSetUp());
  const ProjectedXY p = utm.Project(-69.0, 0.0);
  EXPECT_EQ(p.x, 500000.0) << Text(p);
}

// Unproject iterates; an input it can never settle on must still come back.
TEST(CUTM, UnusableInputsReturn) {
  const CUTM utm = MakeUtm(19);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_TRUE(std::isnan(utm.Unproject(nan, nan).lat));
  EXPECT_TRUE(std::isnan(utm.Unproject(500000.0, nan).lat));
  const GeoLonLat far = utm.Unproject(500000.0, 1e12);
  EXPECT_EQ(far.lat, 90.0) << Text(far);
  (void)utm.Unproject(inf, -inf);
}

}  // namespace
}  // namespace orvenda
