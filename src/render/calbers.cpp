#include "render/calbers.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orvenda {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kHalfPi = std::numbers::pi / 2.0;
constexpr double kParallelTolerance = 1e-10;

// A longitude difference past +-pi is folded back onto the same side (pi + d becomes
// pi - d), not wrapped round to the other side: sign(a) arccos(cos a), computed through
// the remainder because arccos loses eight digits next to the seam, where cos a is -1.
double AdjustFold(double a) {
  if (std::fabs(a) <= kPi) {
    return a;
  }
  return std::copysign(std::fabs(std::remainder(a, 2.0 * kPi)), a);
}

double Msfnz(double e3, double sinphi, double cosphi) {
  const double con = e3 * sinphi;
  return cosphi / std::sqrt(1.0 - con * con);
}

}  // namespace

double CAlbers::Qsfnz(double sinphi) const {
  if (e3_ <= 1e-7) {
    return 2.0 * sinphi;
  }
  const double con = e3_ * sinphi;
  return (1.0 - es_) *
         (sinphi / (1.0 - con * con) - (0.5 / e3_) * std::log((1.0 - con) / (1.0 + con)));
}

double CAlbers::Phi1z(double qs) const {
  const double start = std::clamp(0.5 * qs, -1.0, 1.0);
  if (e3_ < 1e-10) {
    return std::asin(start);  // a sphere has q = 2 sin(phi) exactly
  }
  // Newton steps on q(phi) from a start of qs/2 radians.
  double phi = start;
  for (int step = 0; step < kMaxLatitudeSteps; ++step) {
    const double sinphi = std::sin(phi);
    const double con = e3_ * sinphi;
    const double com = 1.0 - con * con;
    const double dphi =
        0.5 * com * com / std::cos(phi) *
        (qs / (1.0 - es_) - sinphi / com + 0.5 / e3_ * std::log((1.0 - con) / (1.0 + con)));
    phi += dphi;
    if (std::fabs(dphi) <= kLatitudeTolerance) {
      break;
    }
  }
  return phi;
}

bool CAlbers::Init(double r_major, double r_minor, std::span<const double> params) {
  if (params.size() < 6 ||
      !std::all_of(params.begin(), params.begin() + 6, [](double v) { return std::isfinite(v); })) {
    return false;
  }
  if (!(r_major > 0.0) || !std::isfinite(r_major) || !(r_minor > 0.0) || r_minor > r_major) {
    return false;
  }
  const double lat1 = DegToRad(params[0]);
  const double lat2 = DegToRad(params[1]);
  const double lat0 = DegToRad(params[3]);
  // Parallels symmetric about the equator give a cone constant of 0: no cone at all.
  if (std::fabs(lat1 + lat2) < kParallelTolerance) {
    return false;
  }

  r_major_ = r_major;
  lon_center_ = DegToRad(params[2]);
  false_easting_ = params[4];
  false_northing_ = params[5];
  const double ratio = r_minor / r_major;
  es_ = 1.0 - ratio * ratio;
  e3_ = std::sqrt(es_);

  const double ms1 = Msfnz(e3_, std::sin(lat1), std::cos(lat1));
  const double qs1 = Qsfnz(std::sin(lat1));
  const double ms2 = Msfnz(e3_, std::sin(lat2), std::cos(lat2));
  const double qs2 = Qsfnz(std::sin(lat2));
  const double qs0 = Qsfnz(std::sin(lat0));

  if (std::fabs(lat1 - lat2) > kParallelTolerance) {
    ns0_ = (ms1 * ms1 - ms2 * ms2) / (qs2 - qs1);
  } else {
    ns0_ = std::sin(lat1);
  }
  c_ = ms1 * ms1 + ns0_ * qs1;
  rh_ = r_major_ * std::sqrt(c_ - ns0_ * qs0) / ns0_;
  set_up_ = true;
  return true;
}

ProjectedXY CAlbers::Project(double lon, double lat) const {
  if (!set_up_) {
    return {lon, lat};
  }
  const double qs = Qsfnz(std::sin(DegToRad(lat)));
  const double rh1 = r_major_ * std::sqrt(c_ - ns0_ * qs) / ns0_;
  const double theta = ns0_ * AdjustFold(DegToRad(lon) - lon_center_);
  return {rh1 * std::sin(theta) + false_easting_, rh_ - rh1 * std::cos(theta) + false_northing_};
}

GeoLonLat CAlbers::Unproject(double x, double y) const {
  if (!set_up_) {
    return {x, y};
  }
  const double xp = x - false_easting_;
  const double yp = rh_ - y + false_northing_;
  const double s = ns0_ < 0.0 ? -1.0 : 1.0;
  const double rh1 = s * std::sqrt(xp * xp + yp * yp);

  double theta = 0.0;
  if (rh1 != 0.0) {
    // The one-argument arctangent: the cone angle is taken within +-90 degrees.
    theta = s * yp == 0.0 ? kHalfPi : std::atan((s * xp) / (s * yp));
  }
  const double con = rh1 * ns0_ / r_major_;
  const double qs = (c_ - con * con) / ns0_;

  double lat = 0.0;
  if (e3_ < 1e-10) {
    lat = Phi1z(qs);
  } else {
    // q at the pole. Within 1e-10 of it the point is the pole itself; past it the
    // point lies inside the circle of the pole, has no latitude, and the pole is the
    // nearest answer (the iteration would wander off beyond +-90 degrees).
    const double k = 1.0 - 0.5 * (1.0 - es_) * std::log((1.0 - e3_) / (1.0 + e3_)) / e3_;
    if (std::fabs(qs) >= std::fabs(k) - 1e-10) {
      lat = qs >= 0.0 ? kHalfPi : -kHalfPi;
    } else {
      lat = Phi1z(qs);
    }
  }
  const double lon = AdjustFold(theta / ns0_ + lon_center_);
  return {RadToDeg(lon), RadToDeg(lat)};
}

}  // namespace orvenda
