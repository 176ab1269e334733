#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "proj_oracle.h"
#include "render/viewtransform.h"

namespace orvenda {
namespace {

struct Box {
  double minX, minY, maxX, maxY;
};

std::string Text(const Box& b) { return Describe(BoundingBox{b.minY, b.maxX, b.minX, b.maxY}); }

// Expects the box within `tol` of the wanted one, printing both on failure.
::testing::AssertionResult BoxNear(const BoundingBox& got, const Box& want, double tol) {
  if (std::abs(got.MinX - want.minX) <= tol && std::abs(got.MaxX - want.maxX) <= tol &&
      std::abs(got.MinY - want.minY) <= tol && std::abs(got.MaxY - want.maxY) <= tol) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "got " << Describe(got) << ", want " << Text(want) << " (tolerance " << tol << ")";
}

ViewTransform LatLonView(int w, int h) {
  ViewTransform v;
  v.ViewWidth = w;
  v.ViewHeight = h;
  v.Projection = 0;
  return v;
}

TEST(ViewTransform, SurfaceConversionsBeforeTheFirstViewGiveNoPosition) {
  ViewTransform v = LatLonView(800, 600);
  EXPECT_EQ(v.SurfaceToProjectedX(10), kNoPosition);
  EXPECT_EQ(v.SurfaceToProjectedY(10), kNoPosition);
  EXPECT_FALSE(v.ResizeRect().has_value());
}

// Geographic views: the projected plane is the degree plane, so every fit can be
// worked out by hand.
TEST(ViewTransform, ApplyExtentsClampsCentresAndFits) {
  struct Row {
    const char* name;
    int w, h;
    Box in;
    double wantScale;
    double wantCX, wantCY;
    Box wantProjected;
    Box wantView;
  };
  const Row rows[] = {
      {"square on square", 400, 400, {0, 0, 10, 10}, 40, 5, 5, {0, 0, 10, 10}, {0, 0, 10, 10}},
      {"corners given reversed",
       400,
       400,
       {10, 10, 0, 0},
       40,
       5,
       5,
       {0, 0, 10, 10},
       {0, 0, 10, 10}},
      {"beyond the limits is cut",
       720,
       360,
       {-200, -100, 200, 100},
       2,
       0,
       0,
       {-180, -90, 180, 90},
       {-180, -90, 180, 90}},
      {"cut on one side only",
       200,
       200,
       {170, 80, 190, 95},
       20,
       175,
       85,
       {170, 80, 180, 90},
       {170, 80, 180, 90}},
      {"tall narrow on wide surface: height rules, more X shown",
       800,
       200,
       {0, 0, 10, 20},
       10,
       5,
       10,
       {0, 0, 10, 20},
       {-35, 0, 45, 20}},
      {"wide flat on tall surface: width rules, more Y shown",
       100,
       400,
       {0, 0, 20, 10},
       5,
       10,
       5,
       {0, 0, 20, 10},
       {0, -35, 20, 45}},
      {"flat in Y fits by X", 100, 100, {0, 5, 10, 5}, 10, 5, 5, {0, 5, 10, 5}, {0, 0, 10, 10}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ViewTransform v = LatLonView(r.w, r.h);
    v.ApplyExtents(r.in.minX, r.in.minY, r.in.maxX, r.in.maxY);
    EXPECT_FLOAT_EQ(v.FactorEscala, static_cast<float>(r.wantScale));
    EXPECT_NEAR(v.CenterX, r.wantCX, 1e-9);
    EXPECT_NEAR(v.CenterY, r.wantCY, 1e-9);
    EXPECT_TRUE(BoxNear(v.ProjectedExtents, r.wantProjected, 1e-9));
    EXPECT_TRUE(BoxNear(v.ViewExtents, r.wantView, 1e-4));
  }
}

TEST(ViewTransform, ConversionsRoundTripAndYGrowsDownwards) {
  ViewTransform v = LatLonView(400, 200);
  v.ApplyExtents(-20, -10, 20, 10);  // scale 10
  EXPECT_FLOAT_EQ(v.ProjectedToSurfaceX(-20), 0);
  EXPECT_FLOAT_EQ(v.ProjectedToSurfaceX(20), 400);
  EXPECT_FLOAT_EQ(v.ProjectedToSurfaceY(10), 0);  // north at the top
  EXPECT_FLOAT_EQ(v.ProjectedToSurfaceY(-10), 200);
  const SurfacePoint p = v.GeoToSurface(5, 2.5);
  EXPECT_FLOAT_EQ(p.x, 250);
  EXPECT_FLOAT_EQ(p.y, 75);
  const GeoLonLat g = v.SurfaceToGeo(p.x, p.y);
  EXPECT_NEAR(g.lon, 5, 1e-6);
  EXPECT_NEAR(g.lat, 2.5, 1e-6);
}

TEST(ViewTransform, SinglePointKeepsTheScaleItHad) {
  ViewTransform v = LatLonView(400, 400);
  v.ApplyExtents(0, 0, 10, 10);
  v.ApplyExtents(3, 4, 3, 4);
  EXPECT_FLOAT_EQ(v.FactorEscala, 40);
  EXPECT_TRUE(std::isfinite(v.ViewExtents.MinX));
  EXPECT_TRUE(BoxNear(v.ViewExtents, {-2, -1, 8, 9}, 1e-4));
}

// Zoom in then out about the same point returns to the same extent when the
// views have the surface's aspect; otherwise the fit widens the view first.
TEST(ViewTransform, ZoomInThenOut) {
  struct Row {
    const char* name;
    Box start;
    bool sameAgain;
  };
  const Row rows[] = {
      {"same aspect as the surface", {0, 0, 40, 20}, true},
      {"taller than the surface", {0, 0, 10, 20}, true},  // the first fit already widened it
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ViewTransform v = LatLonView(400, 200);
    v.ApplyExtents(r.start.minX, r.start.minY, r.start.maxX, r.start.maxY);
    const BoundingBox before = v.ViewExtents;
    const double px = v.SurfaceToProjectedX(v.ViewWidth / 2.0);
    const double py = v.SurfaceToProjectedY(v.ViewHeight / 2.0);
    ExtentsRect in = v.ZoomAboutRect(px, py, 2.0);
    v.ApplyExtents(in.X1, in.Y1, in.X2, in.Y2);
    EXPECT_NEAR(v.ViewExtents.MaxX - v.ViewExtents.MinX, (before.MaxX - before.MinX) / 2, 1e-4);
    ExtentsRect out = v.ZoomAboutRect(px, py, 0.5);
    v.ApplyExtents(out.X1, out.Y1, out.X2, out.Y2);
    if (r.sameAgain) {
      EXPECT_TRUE(
          BoxNear(v.ViewExtents, {before.MinX, before.MinY, before.MaxX, before.MaxY}, 1e-4));
    }
  }
}

TEST(ViewTransform, ZoomAboutAnOffCentrePointCentresOnIt) {
  ViewTransform v = LatLonView(400, 200);
  v.ApplyExtents(0, 0, 40, 20);
  const ExtentsRect r = v.ZoomAboutRect(30, 5, 4.0);
  EXPECT_EQ(r, (ExtentsRect{25, 2.5, 35, 7.5})) << r;
}

TEST(ViewTransform, PanMovesByTheDragDifference) {
  struct Row {
    const char* name;
    double xd, yd, xu, yu;
    bool moves;
    Box want;
  };
  const Row rows[] = {
      {"release at the press point", 5, 5, 5, 5, false, {}},
      {"drag east shows the west", 10, 5, 14, 5, true, {-4, 0, 36, 20}},
      {"drag south-west", 10, 10, 8, 7, true, {2, 3, 42, 23}},
      {"only X differs still pans", 10, 10, 9, 10, true, {1, 0, 41, 20}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ViewTransform v = LatLonView(400, 200);
    v.ApplyExtents(0, 0, 40, 20);
    const auto rect = v.PanRect(r.xd, r.yd, r.xu, r.yu);
    ASSERT_EQ(rect.has_value(), r.moves);
    if (rect) {
      v.ApplyExtents(rect->X1, rect->Y1, rect->X2, rect->Y2);
      EXPECT_TRUE(BoxNear(v.ViewExtents, r.want, 1e-4));
      EXPECT_FLOAT_EQ(v.FactorEscala, 10);
    }
  }
}

TEST(ViewTransform, ResizeKeepsScaleAndCentre) {
  struct Row {
    const char* name;
    int w, h;
    Box wantView;
  };
  const Row rows[] = {
      {"wider", 600, 200, {-10, 0, 50, 20}},
      {"taller", 400, 300, {0, -5, 40, 25}},
      {"smaller", 200, 100, {10, 5, 30, 15}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ViewTransform v = LatLonView(400, 200);
    v.ApplyExtents(0, 0, 40, 20);
    v.ViewWidth = r.w;
    v.ViewHeight = r.h;
    const auto rect = v.ResizeRect();
    ASSERT_TRUE(rect.has_value());
    v.ApplyExtents(rect->X1, rect->Y1, rect->X2, rect->Y2);
    EXPECT_FLOAT_EQ(v.FactorEscala, 10);
    EXPECT_NEAR(v.CenterX, 20, 1e-6);
    EXPECT_NEAR(v.CenterY, 10, 1e-6);
    EXPECT_TRUE(BoxNear(v.ViewExtents, r.wantView, 1e-4));
  }
}

// With UTM the view's extents and zoom height come from the projector; PROJ is
// the oracle of the projected figures.
TEST(ViewTransform, UtmViewAgreesWithProj) {
  ViewTransform v;
  v.ViewWidth = 1000;
  v.ViewHeight = 800;
  v.Projection = 119;  // zone 19 north
  v.ApplyExtents(-70, 40, -68, 42);
  ASSERT_NE(v.Projector, nullptr);
  const test::ProjOracle proj(
      test::UtmSeriesDefinition(19, kWgs84SemiMajor, kWgs84SemiMinor, 0.9996));
  const ProjectedXY c = proj.Forward(-69, 41);
  EXPECT_NEAR(v.CenterX, c.x, 0.01);
  EXPECT_NEAR(v.CenterY, c.y, 0.01);
  const ProjectedXY sw = proj.Forward(-70, 40);
  EXPECT_NEAR(v.CornerX[0], sw.x, 0.01);
  EXPECT_NEAR(v.CornerY[0], sw.y, 0.01);
  // The view covers the rectangle, up to the bend of the parallels between the
  // projected corners and the middle of the top edge (under 1E-4 degrees here).
  EXPECT_LE(v.ViewExtents.MinX, -70 + 1e-4) << Describe(v.ViewExtents);
  EXPECT_GE(v.ViewExtents.MaxX, -68 - 1e-4) << Describe(v.ViewExtents);
  EXPECT_LE(v.ViewExtents.MinY, 40 + 1e-4) << Describe(v.ViewExtents);
  EXPECT_GE(v.ViewExtents.MaxY, 42 - 1e-4) << Describe(v.ViewExtents);
  const double xm = (v.ViewExtents.MinX + v.ViewExtents.MaxX) / 2;
  const double want =
      std::abs(proj.Forward(xm, v.ViewExtents.MaxY).y - proj.Forward(xm, v.ViewExtents.MinY).y) /
      1000;
  EXPECT_NEAR(v.CurrentZoom(), want, want * 1e-5);
  // A code that selects no class keeps the projection in force.
  v.Projection = 7;
  v.ApplyExtents(-70, 40, -68, 42);
  EXPECT_NEAR(v.CenterX, c.x, 0.01);
}

TEST(ViewTransform, ZoomingOutAUtmMapStopsWhereTheZoneStillHolds) {
  // A city in zone 14 (central meridian -99), zoomed out step after step: far
  // from its zone the UTM inverse gave views millions of degrees wide and then
  // a view of no width at all.
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
    SCOPED_TRACE(step);
    const double px = v.SurfaceToProjectedX(v.ViewWidth / 2.0);
    const double py = v.SurfaceToProjectedY(v.ViewHeight / 2.0);
    const ExtentsRect out = v.ZoomAboutRect(px, py, 0.5);
    v.ApplyExtents(out.X1, out.Y1, out.X2, out.Y2);
    const BoundingBox& e = v.ViewExtents;
    EXPECT_GE(e.MinX, -119.0) << Describe(e);
    EXPECT_LE(e.MaxX, -79.0) << Describe(e);
    EXPECT_GE(e.MinY, -84.0) << Describe(e);
    EXPECT_LE(e.MaxY, 84.0) << Describe(e);
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

TEST(ViewTransform, MeasuringTruncatesToHundredths) {
  ViewTransform v = LatLonView(100, 100);
  struct Row {
    const char* name;
    std::vector<GeoLonLat> path;
    double want;
    const char* message;
  };
  const Row rows[] = {
      {"single vertex", {{3, 4}}, 0, "Total distance: 0 m."},
      {"3-4-5 leg", {{0, 0}, {3, 4}}, 5, "Total distance: 5 m."},
      {"two legs truncated", {{0, 0}, {1, 1}, {1, 2}}, 2.41, "Total distance: 2.41 m."},
      {"no vertex", {}, 0, "Total distance: 0 m."},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const double total = v.MeasuredTotal(r.path);
    EXPECT_DOUBLE_EQ(total, r.want);
    EXPECT_EQ(TotalDistanceMessage(total), r.message);
  }
}

TEST(ViewTransform, ValidPositions) {
  struct Row {
    double x, y;
    bool valid;
  };
  const Row rows[] = {{0, 0, true},         {180, 90, true},      {-180, -90, true},
                      {180.0001, 0, false}, {0, -90.0001, false}, {1e37, 1e37, false}};
  for (const Row& r : rows) {
    EXPECT_EQ(ViewTransform::IsValidPosition(r.x, r.y), r.valid) << r.x << ", " << r.y;
  }
}

}  // namespace
}  // namespace orvenda
