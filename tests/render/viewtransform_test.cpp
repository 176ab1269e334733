#include "render/viewtransform.h"

#include <gtest/gtest.h>

#include <cmath>

#include "proj_oracle.h"
#include "render/clatlon.h"
#include "render/projectionsetup.h"

namespace orvenda {
namespace {

// Expects the box within `tol` of {minX, minY, maxX, maxY}, printing both on failure.
::testing::AssertionResult BoxNear(const BoundingBox& got, const std::array<double, 4>& want,
                                   double tol) {
  if (std::abs(got.MinX - want[0]) <= tol && std::abs(got.MinY - want[1]) <= tol &&
      std::abs(got.MaxX - want[2]) <= tol && std::abs(got.MaxY - want[3]) <= tol) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "got " << Describe(got) << ", want " << want[0] << " "
                                       << want[1] << " " << want[2] << " " << want[3];
}

ViewTransform LatLonView(int w, int h, std::array<double, 4> extents = {0, 0, 40, 20}) {
  ViewTransform v;
  v.ViewWidth = w;
  v.ViewHeight = h;
  v.Projection = 0;
  v.ApplyExtents(extents[0], extents[1], extents[2], extents[3]);
  return v;
}

// Geographic views: the projected plane is the degree plane, so every fit is worked out
// by hand. Corners are put in order and cut to the world; the scale fits the tighter
// direction and the view shows more of the other; a view flat in one direction fits by
// the other, and a single point keeps the scale it had.
TEST(ViewTransform, ApplyExtentsClampsCentresAndFits) {
  // Surface width, height; corners given; scale, centre; projected extents; view extents.
  const std::array<double, 17> rows[] = {
      {400, 400, 0, 0, 10, 10, 40, 5, 5, 0, 0, 10, 10, 0, 0, 10, 10},
      {400, 400, 10, 10, 0, 0, 40, 5, 5, 0, 0, 10, 10, 0, 0, 10, 10},
      {720, 360, -200, -100, 200, 100, 2, 0, 0, -180, -90, 180, 90, -180, -90, 180, 90},
      {200, 200, 170, 80, 190, 95, 20, 175, 85, 170, 80, 180, 90, 170, 80, 180, 90},
      {800, 200, 0, 0, 10, 20, 10, 5, 10, 0, 0, 10, 20, -35, 0, 45, 20},
      {100, 400, 0, 0, 20, 10, 5, 10, 5, 0, 0, 20, 10, 0, -35, 20, 45},
      {100, 100, 0, 5, 10, 5, 10, 5, 5, 0, 5, 10, 5, 0, 0, 10, 10},
      {100, 100, 5, 0, 5, 10, 10, 5, 5, 5, 0, 5, 10, 0, 0, 10, 10}};
  for (const auto& r : rows) {
    const ViewTransform v =
        LatLonView(static_cast<int>(r[0]), static_cast<int>(r[1]), {r[2], r[3], r[4], r[5]});
    EXPECT_FLOAT_EQ(v.FactorEscala, static_cast<float>(r[6])) << r[2];
    EXPECT_NEAR(std::abs(v.CenterX - r[7]) + std::abs(v.CenterY - r[8]), 0, 1e-9) << r[2];
    EXPECT_TRUE(BoxNear(v.ProjectedExtents, {r[9], r[10], r[11], r[12]}, 1e-9)) << r[2];
    EXPECT_TRUE(BoxNear(v.ViewExtents, {r[13], r[14], r[15], r[16]}, 1e-4)) << r[2];
  }
  ViewTransform none;
  EXPECT_EQ(none.SurfaceToProjectedX(10), kNoPosition) << "no view yet: no position";
  EXPECT_FALSE(none.ResizeRect().has_value());
  ViewTransform point = LatLonView(400, 400, {0, 0, 10, 10});
  point.ApplyExtents(3, 4, 3, 4);
  EXPECT_FLOAT_EQ(point.FactorEscala, 40);
  EXPECT_TRUE(BoxNear(point.ViewExtents, {-2, -1, 8, 9}, 1e-4));
}

// Zooming about an off-centre point centres on it; a drag pans by its difference; a resize keeps
// scale and centre.
TEST(ViewTransform, ZoomPanAndResize) {
  EXPECT_EQ(LatLonView(400, 200, {10, 5, 50, 25}).ZoomAboutRect(30, 5, 4.0),
            (ExtentsRect{25, 2.5, 35, 7.5}));

  EXPECT_FALSE(LatLonView(400, 200).PanRect(5, 5, 5, 5).has_value()) << "released where pressed";
  const std::array<double, 8> pans[] = {
      {10, 5, 14, 5, -4, 0, 36, 20}, {10, 10, 8, 7, 2, 3, 42, 23}, {10, 10, 10, 12, 0, -2, 40, 18}};
  for (const auto& r : pans) {
    ViewTransform v = LatLonView(400, 200);
    const auto rect = v.PanRect(r[0], r[1], r[2], r[3]);
    ASSERT_TRUE(rect.has_value());
    v.ApplyExtents(rect->X1, rect->Y1, rect->X2, rect->Y2);
    EXPECT_TRUE(BoxNear(v.ViewExtents, {r[4], r[5], r[6], r[7]}, 1e-4)) << r[0] << r[1] << r[2];
  }
  const std::array<double, 6> sizes[] = {
      {600, 200, -10, 0, 50, 20}, {400, 300, 0, -5, 40, 25}, {200, 100, 10, 5, 30, 15}};
  for (const auto& r : sizes) {
    ViewTransform v = LatLonView(400, 200);
    v.ViewWidth = static_cast<int>(r[0]);
    v.ViewHeight = static_cast<int>(r[1]);
    const auto rect = v.ResizeRect();
    ASSERT_TRUE(rect.has_value());
    v.ApplyExtents(rect->X1, rect->Y1, rect->X2, rect->Y2);
    EXPECT_FLOAT_EQ(v.FactorEscala, 10);
    EXPECT_TRUE(BoxNear(v.ViewExtents, {r[2], r[3], r[4], r[5]}, 1e-4)) << r[0] << "x" << r[1];
  }
}

// With UTM the view's centre, corners and zoom height come from the projector, with
// PROJ as the oracle; the view covers the rectangle up to the bend of the parallels.
TEST(ViewTransform, UtmViewAgreesWithProj) {
  ViewTransform v;
  v.ViewWidth = 1000;
  v.ViewHeight = 800;
  v.Projection = 119;  // zone 19 north
  v.ApplyExtents(-70, 40, -68, 42);
  const test::ProjOracle proj(
      test::UtmSeriesDefinition(19, kWgs84SemiMajor, kWgs84SemiMinor, 0.9996));
  const ProjectedXY c = proj.Forward(-69, 41);
  EXPECT_TRUE(test::Near({v.CenterX, v.CenterY}, c, 0.01));
  for (std::size_t k = 0; k < 4; ++k) {
    const ProjectedXY corner = proj.Forward(k < 2 ? -70 : -68, k % 2 == 0 ? 40 : 42);
    EXPECT_TRUE(test::Near({v.CornerX[k], v.CornerY[k]}, corner, 0.01)) << k;
  }
  const BoundingBox& e = v.ViewExtents;
  EXPECT_TRUE(e.MinX <= -70 + 1e-4 && e.MaxX >= -68 - 1e-4 && e.MinY <= 40 + 1e-4 &&
              e.MaxY >= 42 - 1e-4)
      << Describe(e);
  const double xm = (v.ViewExtents.MinX + v.ViewExtents.MaxX) / 2;
  const double want =
      (proj.Forward(xm, v.ViewExtents.MaxY).y - proj.Forward(xm, v.ViewExtents.MinY).y) / 1000;
  EXPECT_NEAR(v.CurrentZoom(), want, want * 1e-5);
  EXPECT_NEAR(v.MeasuredTotal({{-69, 41}, {-69, 42}}),
              std::floor(100 * (proj.Forward(-69, 42).y - c.y)) / 100, 1e-9);
  v.Projection = 7;  // a code that selects no class keeps the projection in force
  v.ApplyExtents(-70, 40, -68, 42);
  EXPECT_NEAR(v.CenterX, c.x, 0.01);
}

// A city in zone 14 (central meridian -99), zoomed out step after step: far from its
// zone the UTM inverse gave views millions of degrees wide, then a view of no width.
TEST(ViewTransform, ZoomingOutAUtmMapStopsWhereTheZoneStillHolds) {
  ViewTransform v;
  v.ViewWidth = 800;
  v.ViewHeight = 600;
  v.Projection = 114;
  v.ApplyExtents(-100.4, 25.6, -100.2, 25.8);
  const BoundingBox start = v.ViewExtents;
  const test::ProjOracle proj(
      test::UtmSeriesDefinition(14, kWgs84SemiMajor, kWgs84SemiMinor, 0.9996));
  double zoom = v.CurrentZoom();
  for (int step = 1; step <= 12; ++step) {
    const ExtentsRect out =
        v.ZoomAboutRect(v.SurfaceToProjectedX(400), v.SurfaceToProjectedY(300), 0.5);
    v.ApplyExtents(out.X1, out.Y1, out.X2, out.Y2);
    const BoundingBox& e = v.ViewExtents;
    EXPECT_TRUE(e.MinX >= -119 && e.MaxX <= -79 && e.MinY >= -84 && e.MaxY <= 84) << Describe(e);
    EXPECT_GT(e.MaxX - e.MinX, 0.1) << Describe(e);
    EXPECT_GE(v.CurrentZoom(), zoom * 0.999) << "zooming out never zooms in";
    zoom = v.CurrentZoom();
  }
  // At the end the view is the zone's window: no taller than from 84 S to 84 N.
  const double tallest = (proj.Forward(-99, 84).y - proj.Forward(-99, -84).y) / 1000;
  EXPECT_LE(zoom, tallest * 1.001);
  EXPECT_GT(zoom, tallest / 2);
  v.ApplyExtents(-100.4, 25.6, -100.2, 25.8);
  EXPECT_TRUE(BoxNear(v.ViewExtents, {start.MinX, start.MinY, start.MaxX, start.MaxY}, 1e-9));
}

TEST(ViewTransform, MeasuringTruncatesToHundredthsAndPositionsAreChecked) {
  const ViewTransform v = LatLonView(100, 100);
  const std::pair<std::vector<GeoLonLat>, const char*> rows[] = {
      {{{3, 4}}, "Total distance: 0 m."},
      {{{0, 0}, {3, 4}}, "Total distance: 5 m."},
      {{{1, 1}, {4, 5}, {4, 5.5}}, "Total distance: 5.5 m."},
      {{{0, 0}, {1, 1}, {1, 2}}, "Total distance: 2.41 m."}};
  for (const auto& [path, message] : rows) {
    EXPECT_EQ(TotalDistanceMessage(v.MeasuredTotal(path)), message) << path.size();
  }
  const std::tuple<double, double, bool> positions[] = {{0, 0, true},         {180, 90, true},
                                                        {-180, -90, true},    {180.0001, 0, false},
                                                        {0, -90.0001, false}, {1e37, 1e37, false}};
  for (const auto& [x, y, valid] : positions)
    EXPECT_EQ(ViewTransform::IsValidPosition(x, y), valid) << x << ", " << y;
}

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
  }
  // The meridian and false northing give the zone; WGS 84 and the scale show off it.
  const ProjOracle south(test::UtmSeriesDefinition(-1, kWgs84SemiMajor, kWgs84SemiMinor, 0.9996));
  EXPECT_TRUE(test::Near(p->Project(-175.0, -33.0), south.Forward(-175.0, -33.0), 1e-3));
  for (const int code : {40, 101, 160}) EXPECT_FALSE(ViewWindowForCode(code).WholeGlobe()) << code;
  EXPECT_TRUE(ViewWindowForCode(100).WholeGlobe()) << "zone 0";
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
