#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "proj_oracle.h"
#include "render/calbers.h"
#include "render/clatlon.h"
#include "render/cutm.h"
#include "render/projectionsetup.h"

namespace orvenda {
namespace {

using test::ProjOracle;
using test::Text;

const char* Name(ProjectionClass c) {
  switch (c) {
    case ProjectionClass::None:
      return "none";
    case ProjectionClass::LatLon:
      return "CLatLon";
    case ProjectionClass::Albers:
      return "CAlbers";
    case ProjectionClass::UTM:
      return "CUTM";
  }
  return "?";
}

TEST(ProjectionSetup, MapCodesSelectTheirClass) {
  struct Row {
    int code;
    ProjectionClass want;
  };
  const Row rows[] = {
      {-1, ProjectionClass::None},    {0, ProjectionClass::LatLon}, {1, ProjectionClass::Albers},
      {2, ProjectionClass::None},     {39, ProjectionClass::None},  {40, ProjectionClass::UTM},
      {100, ProjectionClass::UTM},    {160, ProjectionClass::UTM},  {161, ProjectionClass::None},
      {32767, ProjectionClass::None},
  };
  for (const Row& r : rows) {
    EXPECT_STREQ(Name(ProjectionClassForCode(r.code)), Name(r.want)) << "code " << r.code;
    const std::unique_ptr<CProjection> p = MakeProjection(r.code);
    switch (r.want) {
      case ProjectionClass::None:
        EXPECT_EQ(p, nullptr) << "code " << r.code;
        break;
      case ProjectionClass::LatLon:
        EXPECT_NE(dynamic_cast<CLatLon*>(p.get()), nullptr) << "code " << r.code;
        break;
      case ProjectionClass::Albers:
        EXPECT_NE(dynamic_cast<CAlbers*>(p.get()), nullptr) << "code " << r.code;
        break;
      case ProjectionClass::UTM:
        EXPECT_NE(dynamic_cast<CUTM*>(p.get()), nullptr) << "code " << r.code;
        break;
    }
  }
}

// The zone is the code less 100: 119 is zone 19 north, 81 zone 19 south, 40 and 160 the
// last zones; 100 would be zone 0 and sets nothing up.
TEST(ProjectionSetup, UtmCodesGiveTheirZoneOnWgs84) {
  struct Row {
    int code;
    double centralLon;
    double falseNorthing;
  };
  const Row rows[] = {
      {119, -69.0, 0.0}, {81, -69.0, 10000000.0}, {40, 177.0, 10000000.0},
      {160, 177.0, 0.0}, {101, -177.0, 0.0},      {99, -177.0, 10000000.0},
  };
  for (const Row& r : rows) {
    std::unique_ptr<CProjection> p;
    ASSERT_TRUE(SetUpProjection(p, r.code, -10.0, 10.0, r.centralLon, 0.0)) << r.code;
    const ProjectedXY origin = p->Project(r.centralLon, 0.0);
    EXPECT_EQ(origin.x, 500000.0) << "code " << r.code << ": " << Text(origin);
    EXPECT_EQ(origin.y, r.falseNorthing) << "code " << r.code << ": " << Text(origin);

    const int zone = r.code - 100;
    const ProjOracle proj(
        test::UtmSeriesDefinition(zone, kWgs84SemiMajor, kWgs84SemiMinor, 0.9996));
    const ProjectedXY mine = p->Project(r.centralLon + 2.0, zone < 0 ? -33.0 : 47.0);
    const ProjectedXY want = proj.Forward(r.centralLon + 2.0, zone < 0 ? -33.0 : 47.0);
    EXPECT_NEAR(mine.x, want.x, 1e-3) << "code " << r.code << ": " << Text(mine);
    EXPECT_NEAR(mine.y, want.y, 1e-3) << "code " << r.code << ": " << Text(mine);
  }

  std::unique_ptr<CProjection> zone0;
  EXPECT_TRUE(SetUpProjection(zone0, 100, -10.0, 10.0, 3.0, 0.0));
  ASSERT_NE(zone0, nullptr);
  EXPECT_FALSE(zone0->IsSetUp());
  const ProjectedXY same = zone0->Project(-58.4, -34.6);
  EXPECT_EQ(same.x, -58.4) << Text(same);
  EXPECT_EQ(same.y, -34.6) << Text(same);
}

// Code 1 builds the cone from the view: its parallels are the view's south and north
// edges, its centre the view's centre, which lands on (5 000 000, 5 000 000).
TEST(ProjectionSetup, AlbersConeFollowsTheView) {
  std::unique_ptr<CProjection> p;
  ASSERT_TRUE(SetUpProjection(p, 1, 20.0, 50.0, -96.0, 35.0));
  const ProjectedXY centre = p->Project(-96.0, 35.0);
  EXPECT_EQ(centre.x, 5000000.0) << Text(centre);
  EXPECT_EQ(centre.y, 5000000.0) << Text(centre);

  const ProjOracle proj(test::AlbersDefinition(20.0, 50.0, -96.0, 35.0, 5000000.0, 5000000.0,
                                               kWgs84SemiMajor, kWgs84SemiMinor));
  for (const GeoLonLat g : {GeoLonLat{-120.0, 48.0}, GeoLonLat{-75.0, 22.0}}) {
    const ProjectedXY mine = p->Project(g.lon, g.lat);
    const ProjectedXY want = proj.Forward(g.lon, g.lat);
    EXPECT_NEAR(mine.x, want.x, 1e-3) << Text(g) << ": " << Text(mine);
    EXPECT_NEAR(mine.y, want.y, 1e-3) << Text(g) << ": " << Text(mine);
  }
}

// A view symmetric about the equator gives no cone. On a fresh projector that leaves the
// plane in degrees; after an earlier view the projector keeps that view's cone.
TEST(ProjectionSetup, SymmetricViewKeepsThePreviousCone) {
  std::unique_ptr<CProjection> fresh;
  ASSERT_TRUE(SetUpProjection(fresh, 1, -30.0, 30.0, 10.0, 0.0));
  EXPECT_FALSE(fresh->IsSetUp());
  const ProjectedXY degrees = fresh->Project(12.5, -3.0);
  EXPECT_EQ(degrees.x, 12.5) << Text(degrees);
  EXPECT_EQ(degrees.y, -3.0) << Text(degrees);

  std::unique_ptr<CProjection> p;
  ASSERT_TRUE(SetUpProjection(p, 1, 20.0, 50.0, -96.0, 35.0));
  const CProjection* before = p.get();
  const ProjectedXY earlier = p->Project(-100.0, 40.0);
  ASSERT_TRUE(SetUpProjection(p, 1, -30.0, 30.0, 10.0, 0.0));
  EXPECT_EQ(p.get(), before);
  const ProjectedXY now = p->Project(-100.0, 40.0);
  EXPECT_EQ(now.x, earlier.x) << Text(now);
  EXPECT_EQ(now.y, earlier.y) << Text(now);
}

TEST(ProjectionSetup, CodesOutsideTheTableLeaveTheProjectorAlone) {
  std::unique_ptr<CProjection> p;
  ASSERT_TRUE(SetUpProjection(p, 119, -10.0, 10.0, -69.0, 0.0));
  const CProjection* before = p.get();
  for (int code : {-1, 2, 39, 161, 999}) {
    EXPECT_FALSE(SetUpProjection(p, code, 20.0, 50.0, -96.0, 35.0)) << "code " << code;
    EXPECT_EQ(p.get(), before) << "code " << code;
    EXPECT_EQ(p->Project(-69.0, 0.0).x, 500000.0) << "code " << code;
  }
  std::unique_ptr<CProjection> none;
  EXPECT_FALSE(SetUpProjection(none, 7, 20.0, 50.0, -96.0, 35.0));
  EXPECT_EQ(none, nullptr);
}

TEST(ProjectionSetup, ChangingTheCodeChangesTheClass) {
  std::unique_ptr<CProjection> p;
  ASSERT_TRUE(SetUpProjection(p, 119, -10.0, 10.0, -69.0, 0.0));
  EXPECT_NE(dynamic_cast<CUTM*>(p.get()), nullptr);
  ASSERT_TRUE(SetUpProjection(p, 1, 20.0, 50.0, -96.0, 35.0));
  EXPECT_NE(dynamic_cast<CAlbers*>(p.get()), nullptr);
  EXPECT_EQ(p->Project(-96.0, 35.0).x, 5000000.0);
  ASSERT_TRUE(SetUpProjection(p, 0, 20.0, 50.0, -96.0, 35.0));
  EXPECT_NE(dynamic_cast<CLatLon*>(p.get()), nullptr);
  EXPECT_EQ(p->Project(-96.0, 35.0).x, -96.0);
  ASSERT_TRUE(SetUpProjection(p, 81, -10.0, 10.0, -69.0, 0.0));
  EXPECT_EQ(p->Project(-69.0, 0.0).y, 10000000.0);
}

}  // namespace
}  // namespace orvenda
