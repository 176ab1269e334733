#include "proj_oracle.h"

#include <gtest/gtest.h>
#include <proj.h>

#include <cmath>
#include <cstdio>
#include <limits>

namespace orvenda::test {

namespace {

std::string Number(const char* format, double v) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, v);
  return buffer;
}

// Failed points come back as NaN (the same union member for both directions).
PJ_COORD Transform(PJ* pj, PJ_DIRECTION direction, PJ_COORD in) {
  proj_errno_reset(pj);
  PJ_COORD out = proj_trans(pj, direction, in);
  if (proj_errno(pj) != 0 || out.xy.x == HUGE_VAL) {
    out.xy.x = out.xy.y = std::numeric_limits<double>::quiet_NaN();
  }
  return out;
}

}  // namespace

ProjOracle::ProjOracle(const std::string& definition) : ctx_(proj_context_create()) {
  pj_ = proj_create(ctx_, definition.c_str());
  if (pj_ == nullptr) {
    const std::string why = proj_context_errno_string(ctx_, proj_context_errno(ctx_));
    proj_context_destroy(ctx_);
    throw std::runtime_error("PROJ refused '" + definition + "': " + why);
  }
}

ProjOracle::~ProjOracle() {
  proj_destroy(pj_);
  proj_context_destroy(ctx_);
}

ProjectedXY ProjOracle::Forward(double lon, double lat) const {
  const PJ_COORD out = Transform(pj_, PJ_FWD, proj_coord(proj_torad(lon), proj_torad(lat), 0, 0));
  return {out.xy.x, out.xy.y};
}

GeoLonLat ProjOracle::Inverse(double x, double y) const {
  const PJ_COORD out = Transform(pj_, PJ_INV, proj_coord(x, y, 0, 0));
  return {proj_todeg(out.lp.lam), proj_todeg(out.lp.phi)};
}

std::string UtmSeriesDefinition(int zone, double r_major, double r_minor, double scale) {
  const int z = zone < 0 ? -zone : zone;
  return "+proj=tmerc +approx +lat_0=0 +lon_0=" + std::to_string(6 * z - 183) +
         " +k_0=" + Number("%.17g", scale) + " +x_0=500000 +y_0=" + (zone < 0 ? "10000000" : "0") +
         " +a=" + Number("%.17g", r_major) + " +b=" + Number("%.17g", r_minor);
}

std::string AlbersDefinition(double lat1, double lat2, double lon0, double lat0, double x0,
                             double y0, double r_major, double r_minor) {
  return "+proj=aea +lat_1=" + Number("%.17g", lat1) + " +lat_2=" + Number("%.17g", lat2) +
         " +lon_0=" + Number("%.17g", lon0) + " +lat_0=" + Number("%.17g", lat0) +
         " +x_0=" + Number("%.17g", x0) + " +y_0=" + Number("%.17g", y0) +
         " +a=" + Number("%.17g", r_major) + " +b=" + Number("%.17g", r_minor);
}

double GroundMetres(const GeoLonLat& a, const GeoLonLat& b) {
  constexpr double kMetresPerDegree = 6371000.0 * 3.14159265358979323846 / 180.0;
  const double dlon = std::remainder(a.lon - b.lon, 360.0);
  const double coslat = std::cos((a.lat + b.lat) * (3.14159265358979323846 / 360.0));
  return kMetresPerDegree * std::hypot(a.lat - b.lat, dlon * coslat);
}

std::string Text(const GeoLonLat& p) {
  return "(lon " + Number("%.10f", p.lon) + ", lat " + Number("%.10f", p.lat) + ")";
}

std::string Text(const ProjectedXY& p) {
  return "(x " + Number("%.4f", p.x) + ", y " + Number("%.4f", p.y) + ")";
}

::testing::AssertionResult Near(const ProjectedXY& got, const ProjectedXY& want, double tolerance) {
  if (std::fabs(got.x - want.x) <= tolerance && std::fabs(got.y - want.y) <= tolerance) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << Text(got) << ", want " << Text(want);
}

::testing::AssertionResult Near(const GeoLonLat& got, const GeoLonLat& want, double tolerance) {
  if (std::fabs(got.lon - want.lon) <= tolerance && std::fabs(got.lat - want.lat) <= tolerance) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << Text(got) << ", want " << Text(want);
}

void ExpectPassesPositionsThrough(const CProjection& projection, const ProjectedXY& projected,
                                  const std::string& name) {
  EXPECT_FALSE(projection.IsSetUp()) << name;
  const ProjectedXY p = projection.Project(-58.4, -34.6);
  EXPECT_EQ(p.x, -58.4) << name << ": " << Text(p);
  EXPECT_EQ(p.y, -34.6) << name << ": " << Text(p);
  const GeoLonLat g = projection.Unproject(projected.x, projected.y);
  EXPECT_EQ(g.lon, projected.x) << name << ": " << Text(g);
  EXPECT_EQ(g.lat, projected.y) << name << ": " << Text(g);
}

void ExpectNoPositionFromNonFiniteInput(const CProjection& projection, const std::string& name) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  for (const auto& [a, b] :
       {std::pair{inf, 40.0}, {-inf, -inf}, {10.0, inf}, {nan, 40.0}, {10.0, nan}, {inf, nan}}) {
    const ProjectedXY p = projection.Project(a, b);
    EXPECT_FALSE(std::isfinite(p.x) && std::isfinite(p.y)) << name << " " << a << "," << b;
    const GeoLonLat g = projection.Unproject(a, b);
    EXPECT_TRUE(!std::isfinite(g.lon + g.lat) || !std::isnan(a + b))
        << name << " " << a << "," << b << ": a NaN gives no position";
  }
}

}  // namespace orvenda::test
