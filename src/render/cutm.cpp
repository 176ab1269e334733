#include "render/cutm.h"

#include <cmath>

namespace orvenda {

namespace {

// The zone's central meridian is computed with this constant; the input longitude uses
// the same one, so that a point on the central meridian has a difference of exactly 0
// and lands exactly on the false easting.
constexpr double kRadPerDeg = 0.0174532925199433;
constexpr double kPi = 3.14159265358979;
constexpr double kTwoPi = 6.28318530717958;
constexpr double kHalfPi = 1.570796326794895;
constexpr double kFootpointTolerance = 1e-10;

// One wrap, not a loop: every difference of two longitudes within +-180 degrees lies
// within +-2 pi. The truncated pi makes a value a hair past the true pi wrap as well.
double AdjustLon(double a) {
  if (std::fabs(a) <= kPi) {
    return a;
  }
  return a - std::copysign(kTwoPi, a);
}

double Sign(double v) { return v > 0.0 ? 1.0 : (v < 0.0 ? -1.0 : 0.0); }

}  // namespace

bool CUTM::Init(double r_major, double r_minor, std::span<const double> params) {
  if (params.size() < 2 || !std::isfinite(params[0])) {
    return false;
  }
  const double zone = std::nearbyint(params[0]);  // halves to even, as an Integer takes it
  const double scale = params[1];
  if (std::fabs(zone) < 1.0 || std::fabs(zone) > 60.0) {
    return false;
  }
  // A zero or negative scale or axis would only yield divisions by zero later.
  if (!(scale > 0.0) || !std::isfinite(scale) || !(r_major > 0.0) || !std::isfinite(r_major) ||
      !(r_minor > 0.0) || r_minor > r_major) {
    return false;
  }

  r_major_ = r_major;
  scale_factor_ = scale;
  lon_center_ = (6.0 * std::fabs(zone) - 183.0) * kRadPerDeg;
  false_easting_ = 500000.0;
  false_northing_ = zone < 0.0 ? 10000000.0 : 0.0;

  const double ratio = r_minor / r_major;
  es_ = 1.0 - ratio * ratio;
  e0_ = 1.0 - 0.25 * es_ * (1.0 + es_ / 16.0 * (3.0 + 1.25 * es_));
  e1_ = 0.375 * es_ * (1.0 + 0.25 * es_ * (1.0 + 0.46875 * es_));
  e2_ = 0.05859375 * es_ * es_ * (1.0 + 0.75 * es_);
  e3_ = es_ * es_ * es_ * (35.0 / 3072.0);
  esp_ = es_ / (1.0 - es_);
  // The latitude of origin is the equator, where the meridian arc is 0: no ml0 term.
  // A sphere (es = 0) goes through the same series, which then reduce to the
  // spherical ones.
  set_up_ = true;
  return true;
}

double CUTM::Mlfn(double phi) const {
  return e0_ * phi - e1_ * std::sin(2.0 * phi) + e2_ * std::sin(4.0 * phi) -
         e3_ * std::sin(6.0 * phi);
}

ProjectedXY CUTM::Project(double lon, double lat) const {
  if (!set_up_) {
    return {lon, lat};
  }
  const double phi = lat * kRadPerDeg;
  const double dlam = AdjustLon(lon * kRadPerDeg - lon_center_);
  const double sinphi = std::sin(phi);
  const double cosphi = std::cos(phi);

  const double al = cosphi * dlam;
  const double als = al * al;
  const double c = esp_ * cosphi * cosphi;
  const double tq = std::tan(phi);
  const double t = tq * tq;
  const double con = 1.0 - es_ * sinphi * sinphi;
  const double n = r_major_ / std::sqrt(con);
  const double ml = r_major_ * Mlfn(phi);

  ProjectedXY out;
  out.x = scale_factor_ * n * al *
              (1.0 +
               als / 6.0 *
                   (1.0 - t + c + als / 20.0 * (5.0 - 18.0 * t + t * t + 72.0 * c - 58.0 * esp_))) +
          false_easting_;
  out.y =
      scale_factor_ *
          (ml +
           n * tq *
               (als *
                (0.5 + als / 24.0 *
                           (5.0 - t + 9.0 * c + 4.0 * c * c +
                            als / 30.0 * (61.0 - 58.0 * t + t * t + 600.0 * c - 330.0 * esp_))))) +
      false_northing_;
  return out;
}

GeoLonLat CUTM::Unproject(double x, double y) const {
  if (!set_up_) {
    return {x, y};
  }
  const double con0 = (y - false_northing_) / scale_factor_ / r_major_;
  double phi = con0;
  for (int step = 0; step < kMaxFootpointSteps; ++step) {
    const double dphi =
        (con0 + e1_ * std::sin(2.0 * phi) - e2_ * std::sin(4.0 * phi) + e3_ * std::sin(6.0 * phi)) /
            e0_ -
        phi;
    phi += dphi;
    if (std::fabs(dphi) <= kFootpointTolerance) {
      break;
    }
  }

  if (std::fabs(phi) >= kHalfPi) {
    return {lon_center_ / kRadPerDeg, Sign(y - false_northing_) * 90.0};
  }

  const double sinphi = std::sin(phi);
  const double cosphi = std::cos(phi);
  const double tanphi = std::tan(phi);
  const double c = esp_ * cosphi * cosphi;
  const double cs = c * c;
  const double t = tanphi * tanphi;
  const double ts = t * t;
  const double con = 1.0 - es_ * sinphi * sinphi;
  const double n = r_major_ / std::sqrt(con);
  const double r = n * (1.0 - es_) / con;
  const double d = (x - false_easting_) / (n * scale_factor_);
  const double ds = d * d;

  const double lat =
      phi -
      (n * tanphi * ds / r) *
          (0.5 -
           ds / 24.0 *
               (5.0 + 3.0 * t + 10.0 * c - 4.0 * cs - 9.0 * esp_ -
                ds / 30.0 * (61.0 + 90.0 * t + 298.0 * c + 45.0 * ts - 252.0 * esp_ - 3.0 * cs)));
  const double lon = AdjustLon(
      lon_center_ +
      d *
          (1.0 - ds / 6.0 *
                     (1.0 + 2.0 * t + c -
                      ds / 20.0 * (5.0 - 2.0 * c + 28.0 * t - 3.0 * cs + 8.0 * esp_ + 24.0 * ts))) /
          cosphi);
  return {lon / kRadPerDeg, lat / kRadPerDeg};
}

}  // namespace orvenda
