#include "render/viewsteps.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvenda {
namespace {

ViewTransform View(int projection, std::array<double, 4> extents) {
  ViewTransform v;
  v.ViewWidth = 400;
  v.ViewHeight = 200;
  v.Projection = projection;
  v.ApplyExtents(extents[0], extents[1], extents[2], extents[3]);
  return v;
}

// Wheel notches zoom by the ZoomIn/ZoomOut factor per notch and the geographic point under
// the pointer stays under it, in degrees and through the bent grids of UTM and the cone.
TEST(ViewSteps, WheelZoomKeepsThePointUnderThePointer) {
  // Projection, pointer x, y, notches.
  const std::array<double, 4> rows[] = {{0, 100, 50, 1},  {0, 390, 10, -1},  {0, 200, 100, 3},
                                        {0, 0, 200, -2},  {119, 320, 40, 1}, {119, 20, 180, -1},
                                        {1, 300, 150, 2}, {1, 50, 20, -1}};
  for (const auto& [code, x, y, notches] : rows) {
    ViewTransform v =
        View(static_cast<int>(code), code == 0   ? std::array{0.0, 0.0, 40.0, 20.0}
                                     : code == 1 ? std::array{-100.0, 30.0, -90.0, 40.0}
                                                 : std::array{-70.0, 40.0, -68.0, 41.0});
    const GeoLonLat before = v.SurfaceToGeo(x, y);
    const float scale = v.FactorEscala;
    const auto rect = WheelZoomRect(v, x, y, static_cast<int>(notches));
    ASSERT_TRUE(rect.has_value());
    v.ApplyExtents(rect->X1, rect->Y1, rect->X2, rect->Y2);
    // Degrees exactly; a projected view within a thousandth of a pixel.
    const GeoLonLat after = v.SurfaceToGeo(x, y);
    if (code == 0) {
      EXPECT_NEAR(std::hypot(after.lon - before.lon, after.lat - before.lat), 0, 1e-9);
    }
    const SurfacePoint there = v.GeoToSurface(before.lon, before.lat);
    EXPECT_NEAR(std::hypot(there.x - x, there.y - y), 0, 1e-3) << code << " at " << x << ", " << y;
    EXPECT_NEAR(v.FactorEscala / scale, std::pow(2.0, notches), 1e-4) << code << " " << notches;
  }
  // Out from a corner of the whole United States in the cone, where the pole stops every
  // rectangle that would keep the point exactly under the pointer: it stays within a
  // few pixels and the scale halves, where the corrections once ran past the pole and
  // then stalled 65 pixels off.
  for (const auto& [x, y] : {std::pair{10.0, 190.0}, {390.0, 10.0}}) {
    ViewTransform v = View(1, {-125, 24, -66, 50});
    const GeoLonLat before = v.SurfaceToGeo(x, y);
    const float scale = v.FactorEscala;
    const auto rect = WheelZoomRect(v, x, y, -1);
    ASSERT_TRUE(rect.has_value());
    v.ApplyExtents(rect->X1, rect->Y1, rect->X2, rect->Y2);
    const SurfacePoint there = v.GeoToSurface(before.lon, before.lat);
    EXPECT_LT(std::hypot(there.x - x, there.y - y), 5) << x;
    EXPECT_NEAR(v.FactorEscala / scale, 0.5, 0.005) << x;
  }
  EXPECT_FALSE(WheelZoomRect(View(0, {0, 0, 40, 20}), 10, 10, 0).has_value()) << "no notch";
  EXPECT_FALSE(WheelZoomRect(ViewTransform{}, 10, 10, 1).has_value()) << "no view yet";
}

// The arrows move the view a quarter of its width or height, the zoom keys zoom about the
// middle as ZoomIn and ZoomOut do, Home shows the whole map.
TEST(ViewSteps, KeysPanByAQuarterZoomAboutTheMiddleAndGoHome) {
  const BoundingBox map{.MinY = -5, .MaxX = 70, .MinX = -10, .MaxY = 35};
  const std::pair<ViewKey, std::array<double, 4>> rows[] = {
      {ViewKey::Right, {10, 0, 50, 20}},  {ViewKey::Left, {-10, 0, 30, 20}},
      {ViewKey::Up, {0, 5, 40, 25}},      {ViewKey::Down, {0, -5, 40, 15}},
      {ViewKey::ZoomIn, {10, 5, 30, 15}}, {ViewKey::ZoomOut, {-20, -10, 60, 30}},
      {ViewKey::Home, {-10, -5, 70, 35}}};
  for (const auto& [key, want] : rows) {
    ViewTransform v = View(0, {0, 0, 40, 20});
    const auto rect = KeyRect(v, key, map);
    ASSERT_TRUE(rect.has_value()) << static_cast<int>(key);
    v.ApplyExtents(rect->X1, rect->Y1, rect->X2, rect->Y2);
    const BoundingBox& e = v.ViewExtents;
    const double got[] = {e.MinX, e.MinY, e.MaxX, e.MaxY};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(got[i], want[i], 1e-9) << static_cast<int>(key);
  }
  EXPECT_FALSE(KeyRect(View(0, {0, 0, 40, 20}), ViewKey::None, map).has_value());
  EXPECT_FALSE(KeyRect(ViewTransform{}, ViewKey::Right, map).has_value()) << "no view yet";
}

// Fractions of a notch from high-resolution wheels count once they make a whole one.
TEST(ViewSteps, WheelFractionsAddUpToNotches) {
  WheelNotches wheel;
  const std::pair<int, int> deltas[] = {{120, 1}, {60, 0}, {60, 1},  {-30, 0}, {-90, -1},
                                        {360, 3}, {40, 0}, {-80, 0}, {-80, -1}};
  for (const auto& [delta, notches] : deltas) EXPECT_EQ(wheel.Add(delta), notches) << delta;
}

}  // namespace
}  // namespace orvenda
