#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "proj_oracle.h"
#include "render/calbers.h"

namespace orvenda {
namespace {

using test::ExpectPassesPositionsThrough;
using test::ProjOracle;
using test::Text;

constexpr double kMetreTolerance = 1e-3;
constexpr double kDegreeTolerance = 1e-9;
constexpr double kClarkeMajor = 6378206.4;
constexpr double kClarkeMinor = 6356583.8;

struct Cone {
  double lat1, lat2, lon0, lat0, x0, y0;
  double a = kWgs84SemiMajor;
  double b = kWgs84SemiMinor;
};

CAlbers MakeAlbers(const Cone& c) {
  CAlbers albers;
  const std::array<double, 6> params{c.lat1, c.lat2, c.lon0, c.lat0, c.x0, c.y0};
  EXPECT_TRUE(albers.Init(c.a, c.b, params)) << "parallels " << c.lat1 << ", " << c.lat2;
  return albers;
}

ProjOracle MakeOracle(const Cone& c) {
  return ProjOracle(test::AlbersDefinition(c.lat1, c.lat2, c.lon0, c.lat0, c.x0, c.y0, c.a, c.b));
}

// Pairs of parallels north, south, across the equator and equal (a tangent cone); a
// grid from pole to pole and 60 degrees either side of the central meridian.
TEST(CAlbers, AgreesWithProjAlbersEqualArea) {
  struct Row {
    const char* name;
    Cone cone;
  };
  const Row rows[] = {
      {"conterminous US, WGS 84", {29.5, 45.5, -96.0, 23.0, 0.0, 0.0}},
      {"conterminous US, Clarke 1866",
       {29.5, 45.5, -96.0, 23.0, 0.0, 0.0, kClarkeMajor, kClarkeMinor}},
      {"South America, southern cone", {-10.0, -40.0, -60.0, -25.0, 5000000.0, 5000000.0}},
      {"Asia, wide pair", {20.0, 60.0, 100.0, 40.0, 0.0, 0.0}},
      {"across the equator", {-5.0, 25.0, 0.0, 0.0, 0.0, 0.0}},
      {"mostly south across the equator", {-60.0, 5.0, 30.0, 0.0, 0.0, 0.0}},
      {"tangent at 40 N", {40.0, 40.0, 10.0, 40.0, 5000000.0, 5000000.0}},
      {"tangent at 30 S", {-30.0, -30.0, 140.0, -30.0, 0.0, 0.0}},
      {"arctic", {60.0, 75.0, 20.0, 65.0, 5000000.0, 5000000.0}},
      {"sphere", {29.5, 45.5, -96.0, 23.0, 0.0, 0.0, 6371000.0, 6371000.0}},
  };
  std::vector<double> lats{-89.9};
  for (double lat = -85.0; lat <= 85.0; lat += 5.0) {
    lats.push_back(lat);
  }
  lats.push_back(89.9);
  for (const Row& r : rows) {
    const CAlbers albers = MakeAlbers(r.cone);
    const ProjOracle proj = MakeOracle(r.cone);
    for (double lat : lats) {
      for (double dlon = -60.0; dlon <= 60.0; dlon += 10.0) {
        const GeoLonLat g{r.cone.lon0 + dlon, lat};
        if (std::fabs(g.lon) > 180.0) {
          continue;  // the inverse folds those; see the antimeridian test
        }
        const ProjectedXY mine = albers.Project(g.lon, g.lat);
        const ProjectedXY want = proj.Forward(g.lon, g.lat);
        SCOPED_TRACE(std::string(r.name) + " at " + Text(g) + ": mine " + Text(mine) + ", PROJ " +
                     Text(want));
        EXPECT_NEAR(mine.x, want.x, kMetreTolerance);
        EXPECT_NEAR(mine.y, want.y, kMetreTolerance);

        const GeoLonLat back = albers.Unproject(mine.x, mine.y);
        const GeoLonLat wantBack = proj.Inverse(mine.x, mine.y);
        EXPECT_NEAR(back.lon, wantBack.lon, kDegreeTolerance) << Text(back);
        EXPECT_NEAR(back.lat, wantBack.lat, kDegreeTolerance) << Text(back);
        EXPECT_NEAR(back.lon, g.lon, kDegreeTolerance) << Text(back);
        EXPECT_NEAR(back.lat, g.lat, kDegreeTolerance) << Text(back);
      }
    }
  }
}

// A longitude more than 180 degrees from the central meridian is folded back onto its
// own side of the cone (PROJ wraps it to the other side), so it lands where PROJ puts
// the mirrored longitude. Both sides of the seam meet: the fold is continuous there.
TEST(CAlbers, ForwardFoldsLongitudesPastTheSeamOntoTheirOwnSide) {
  struct Row {
    const char* name;
    double lon0;
    double lon;
    double mirroredLon;  // where PROJ's answer matches ours
  };
  const Row rows[] = {
      {"190 W of 100 E", 100.0, -90.0, -70.0},
      {"190 E of 100 W", -100.0, 90.0, 70.0},
      {"just short of 180 W", 100.0, -80.0 + 1e-6, -80.0 + 1e-6},
      {"just past 180 W", 100.0, -80.0 - 1e-6, -80.0 + 1e-6},
      {"a hair past 180 W, cosine exactly -1", 100.0, -80.0 - 1e-7, -80.0 + 1e-7},
      {"a hair past 180 E, cosine exactly -1", -100.0, 80.0 + 1e-7, 80.0 - 1e-7},
      {"300 E of 150 W", -150.0, 150.0, -90.0},
  };
  for (const Row& r : rows) {
    const Cone cone{29.5, 45.5, r.lon0, 23.0, 0.0, 0.0};
    const CAlbers albers = MakeAlbers(cone);
    const ProjOracle proj = MakeOracle(cone);
    const ProjectedXY mine = albers.Project(r.lon, 40.0);
    const ProjectedXY want = proj.Forward(r.mirroredLon, 40.0);
    SCOPED_TRACE(std::string(r.name) + ": mine " + Text(mine) + ", PROJ at the mirror " +
                 Text(want));
    EXPECT_NEAR(mine.x, want.x, kMetreTolerance);
    EXPECT_NEAR(mine.y, want.y, kMetreTolerance);
  }
}

// The inverse folds its result the same way: a longitude past 180 comes back mirrored
// about the antimeridian.
TEST(CAlbers, InverseFoldsLongitudesPastTheAntimeridian) {
  struct Row {
    const char* name;
    double lon0;
    double lon;
    double want;
  };
  const Row rows[] = {
      {"200 E on a cone about 170 E", 170.0, 200.0, 160.0},
      {"185 E on a cone about 170 E", 170.0, 185.0, 175.0},
      {"180 E on a cone about 170 E", 170.0, 180.0, 180.0},
      {"200 W on a cone about 170 W", -170.0, -200.0, -160.0},
  };
  for (const Row& r : rows) {
    const CAlbers albers = MakeAlbers({29.5, 45.5, r.lon0, 23.0, 0.0, 0.0});
    const ProjectedXY p = albers.Project(r.lon, 35.0);
    const GeoLonLat back = albers.Unproject(p.x, p.y);
    EXPECT_NEAR(back.lon, r.want, kDegreeTolerance) << r.name << ": " << Text(back);
    EXPECT_NEAR(back.lat, 35.0, kDegreeTolerance) << r.name << ": " << Text(back);
  }
}

// The inverse takes arctan(x/y), which only reaches cone angles within +-90 degrees. On a
// cone tangent at 60 N the cone constant is sin 60, so the angle passes 90 degrees at
// 90 / sin 60 = 103.92 degrees of longitude; past it the answer is half a turn of the
// cone, 180 / sin 60 degrees, short. The latitude stays right.
TEST(CAlbers, InverseAnswersWithinAQuarterTurnOfTheCone) {
  const double n = std::sin(60.0 * std::numbers::pi / 180.0);
  const double quarter = 90.0 / n;
  const double half = 180.0 / n;
  struct Row {
    const char* name;
    double lon;
    double want;
  };
  const Row rows[] = {
      {"just inside the quarter turn", quarter - 1e-6, quarter - 1e-6},
      {"just past the quarter turn", quarter + 1e-6, quarter + 1e-6 - half},
      {"150 E", 150.0, 150.0 - half},
      {"150 W", -150.0, -150.0 + half},
      {"just inside the quarter turn west", -quarter + 1e-6, -quarter + 1e-6},
  };
  const Cone cone{60.0, 60.0, 0.0, 60.0, 0.0, 0.0};
  const CAlbers albers = MakeAlbers(cone);
  const ProjOracle proj = MakeOracle(cone);
  for (const Row& r : rows) {
    const ProjectedXY p = albers.Project(r.lon, 70.0);
    const ProjectedXY want = proj.Forward(r.lon, 70.0);
    EXPECT_NEAR(p.x, want.x, kMetreTolerance) << r.name << ": " << Text(p);
    EXPECT_NEAR(p.y, want.y, kMetreTolerance) << r.name << ": " << Text(p);
    const GeoLonLat back = albers.Unproject(p.x, p.y);
    EXPECT_NEAR(back.lon, r.want, kDegreeTolerance) << r.name << ": " << Text(back);
    EXPECT_NEAR(back.lat, 70.0, kDegreeTolerance) << r.name << ": " << Text(back);
  }
}

// Within 1e-10 of the pole's q (about 5.7e-4 degrees of latitude) the inverse answers the
// pole exactly; just outside that it still iterates, to its 1e-7 radian tolerance. PROJ
// snaps much further out (q within 1e-7, about 0.018 degrees), so these rows are checked
// against the projected latitude itself. A point inside the circle of a pole answers the
// pole.
TEST(CAlbers, InverseNearAndPastThePoles) {
  const Cone cone{29.5, 45.5, -96.0, 23.0, 0.0, 0.0};
  const CAlbers albers = MakeAlbers(cone);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Row {
    const char* name;
    double lat;
    double want;  // NaN: the latitude itself, to the iteration's tolerance
  };
  const Row rows[] = {
      {"north pole", 90.0, 90.0},
      {"4e-4 from the north pole", 90.0 - 4e-4, 90.0},
      {"5.5e-4 from the north pole", 90.0 - 5.5e-4, 90.0},
      {"5.9e-4 from the north pole", 90.0 - 5.9e-4, nan},
      {"8e-4 from the north pole", 90.0 - 8e-4, nan},
      {"south pole", -90.0, -90.0},
      {"4e-4 from the south pole", -90.0 + 4e-4, -90.0},
      {"5.5e-4 from the south pole", -90.0 + 5.5e-4, -90.0},
      {"5.9e-4 from the south pole", -90.0 + 5.9e-4, nan},
      {"8e-4 from the south pole", -90.0 + 8e-4, nan},
  };
  for (const Row& r : rows) {
    const ProjectedXY p = albers.Project(-80.0, r.lat);
    const GeoLonLat back = albers.Unproject(p.x, p.y);
    SCOPED_TRACE(std::string(r.name) + ": " + Text(back));
    EXPECT_NEAR(back.lon, -80.0, kDegreeTolerance);
    if (std::isnan(r.want)) {
      EXPECT_NE(std::fabs(back.lat), 90.0);
      EXPECT_NEAR(back.lat, r.lat, 1e-7 * 180.0 / std::numbers::pi);
    } else {
      EXPECT_EQ(back.lat, r.want);
    }
  }

  const ProjectedXY north = albers.Project(-96.0, 90.0);
  const ProjectedXY south = albers.Project(-96.0, -90.0);
  for (double past : {1.0, 1000.0, 100000.0, 1000000.0}) {
    const GeoLonLat inNorth = albers.Unproject(north.x, north.y + past);
    EXPECT_EQ(inNorth.lat, 90.0) << past << " m inside the north pole: " << Text(inNorth);
    EXPECT_NEAR(inNorth.lon, -96.0, kDegreeTolerance) << Text(inNorth);
    const GeoLonLat outSouth = albers.Unproject(south.x, south.y - past);
    EXPECT_EQ(outSouth.lat, -90.0) << past << " m past the south pole: " << Text(outSouth);
  }
}

// Parallels closer than 1e-10 radians make a tangent cone with constant sin(lat1);
// further apart, the secant formula, which converges on the same cone.
TEST(CAlbers, NearlyEqualParallelsMakeATangentCone) {
  const double radPerDeg = std::numbers::pi / 180.0;
  const Cone tangentCone{40.0, 40.0, 10.0, 40.0, 5000000.0, 5000000.0};
  const CAlbers tangent = MakeAlbers(tangentCone);
  struct Row {
    const char* name;
    double dlat;  // radians between the parallels
    bool exactlyTangent;
  };
  const Row rows[] = {
      {"0.5e-10 apart", 0.5e-10, true},
      {"1e-10 apart less a little", 0.99e-10, true},
      {"2e-10 apart", 2e-10, false},
      {"1e-6 apart", 1e-6, false},
  };
  for (const Row& r : rows) {
    Cone cone = tangentCone;
    cone.lat2 = 40.0 + r.dlat / radPerDeg;
    const CAlbers albers = MakeAlbers(cone);
    for (const GeoLonLat g : {GeoLonLat{-20.0, 10.0}, GeoLonLat{35.0, 70.0}}) {
      const ProjectedXY mine = albers.Project(g.lon, g.lat);
      const ProjectedXY want = tangent.Project(g.lon, g.lat);
      SCOPED_TRACE(std::string(r.name) + " at " + Text(g) + ": " + Text(mine) + ", tangent " +
                   Text(want));
      if (r.exactlyTangent) {
        EXPECT_EQ(mine.x, want.x);
        EXPECT_EQ(mine.y, want.y);
      } else {
        // The secant formula divides two differences of order dlat.
        EXPECT_NEAR(mine.x, want.x, 10.0);
        EXPECT_NEAR(mine.y, want.y, 10.0);
      }
    }
  }
}

TEST(CAlbers, RefusedSetUpsLeaveTheInputUnchanged) {
  const double radPerDeg = std::numbers::pi / 180.0;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Row {
    const char* name;
    std::vector<double> params;
    double a, b;
  };
  const Row rows[] = {
      {"30 N and 30 S", {30.0, -30.0, 0.0, 0.0, 0.0, 0.0}, kWgs84SemiMajor, kWgs84SemiMinor},
      {"45 S and 45 N", {-45.0, 45.0, 0.0, 0.0, 0.0, 0.0}, kWgs84SemiMajor, kWgs84SemiMinor},
      {"both on the equator", {0.0, 0.0, 0.0, 0.0, 0.0, 0.0}, kWgs84SemiMajor, kWgs84SemiMinor},
      {"symmetric within 0.5e-10 rad",
       {30.0, -30.0 + 0.5e-10 / radPerDeg, 0.0, 0.0, 0.0, 0.0},
       kWgs84SemiMajor,
       kWgs84SemiMinor},
      {"five parameters", {29.5, 45.5, -96.0, 23.0, 0.0}, kWgs84SemiMajor, kWgs84SemiMinor},
      {"NaN central meridian", {29.5, 45.5, nan, 23.0, 0.0, 0.0}, kWgs84SemiMajor, kWgs84SemiMinor},
      {"no axes", {29.5, 45.5, -96.0, 23.0, 0.0, 0.0}, 0.0, 0.0},
  };
  for (const Row& r : rows) {
    CAlbers albers;
    EXPECT_FALSE(albers.Init(r.a, r.b, r.params)) << r.name;
    ExpectPassesPositionsThrough(albers, {5000000.0, 5000000.0}, r.name);
  }

  // Just outside the tolerance the cone is set up, however flat.
  CAlbers nearlyFlat;
  const std::array<double, 6> params{30.0, -30.0 + 2e-10 / radPerDeg, 0.0, 0.0, 0.0, 0.0};
  EXPECT_TRUE(nearlyFlat.Init(kWgs84SemiMajor, kWgs84SemiMinor, params));
  const ProjectedXY p = nearlyFlat.Project(-58.4, -34.6);
  EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << Text(p);
  EXPECT_LT(p.x, -1000000.0) << Text(p);
}

TEST(CAlbers, RefusedInitKeepsTheConeSetUpBefore) {
  const Cone cone{29.5, 45.5, -96.0, 23.0, 5000000.0, 5000000.0};
  CAlbers albers = MakeAlbers(cone);
  const ProjectedXY before = albers.Project(-80.0, 40.0);
  const std::array<double, 6> symmetric{-20.0, 20.0, 0.0, 0.0, 0.0, 0.0};
  EXPECT_FALSE(albers.Init(kWgs84SemiMajor, kWgs84SemiMinor, symmetric));
  EXPECT_TRUE(albers.IsSetUp());
  const ProjectedXY after = albers.Project(-80.0, 40.0);
  EXPECT_EQ(after.x, before.x) << Text(after);
  EXPECT_EQ(after.y, before.y) << Text(after);
}

TEST(CAlbers, CentreOfTheConeLandsOnTheFalseOrigin) {
  const CAlbers albers = MakeAlbers({20.0, 50.0, -96.0, 35.0, 5000000.0, 5000000.0});
  const ProjectedXY p = albers.Project(-96.0, 35.0);
  EXPECT_EQ(p.x, 5000000.0) << Text(p);
  EXPECT_EQ(p.y, 5000000.0) << Text(p);
  const GeoLonLat g = albers.Unproject(5000000.0, 5000000.0);
  EXPECT_NEAR(g.lon, -96.0, 1e-12) << Text(g);
  EXPECT_NEAR(g.lat, 35.0, kDegreeTolerance) << Text(g);
}

TEST(CAlbers, UnusableInputsReturn) {
  const CAlbers albers = MakeAlbers({29.5, 45.5, -96.0, 23.0, 0.0, 0.0});
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_TRUE(std::isnan(albers.Unproject(nan, nan).lat));
  (void)albers.Unproject(inf, -inf);
  (void)albers.Project(inf, nan);
}

}  // namespace
}  // namespace orvenda
