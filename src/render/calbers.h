#pragma once

#include "render/cprojection.h"

namespace orvenda {

// Albers equal-area conic on an ellipsoid, by the USGS formulas (alberfor/alberinv).
// Owns the cone constants of one pair of standard parallels.
//
// Two behaviours of this system differ from the textbook: a longitude more than 180
// degrees from the central meridian is folded back onto its own side rather than
// wrapped to the other, and the inverse takes the one-argument arctangent of x/y, so it
// answers only for points whose cone angle lies within +-90 degrees. A point of the
// plane inside the circle of a pole unprojects to that pole.
class CAlbers final : public CProjection {
 public:
  // params: first and second standard parallel, central longitude, latitude of origin
  // (degrees), false easting, false northing (metres). Refused (object left as it was)
  // when the parallels are symmetric about the equator, parameters are missing or not
  // finite, or the axes are unusable.
  bool Init(double r_major, double r_minor, std::span<const double> params) override;
  ProjectedXY Project(double lon, double lat) const override;
  GeoLonLat Unproject(double x, double y) const override;
  bool IsSetUp() const override { return set_up_; }

  // Bound and tolerance of the latitude iteration of `Unproject`.
  static constexpr int kMaxLatitudeSteps = 25;
  static constexpr double kLatitudeTolerance = 1e-7;

 private:
  // q of the authalic latitude for sin(phi); 2 sin(phi) on a sphere.
  double Qsfnz(double sinphi) const;
  // Latitude (radians) whose q is qs; after kMaxLatitudeSteps without settling, the
  // last value reached.
  double Phi1z(double qs) const;

  bool set_up_ = false;
  double r_major_ = 0.0;
  double es_ = 0.0;   // eccentricity squared
  double e3_ = 0.0;   // eccentricity
  double ns0_ = 0.0;  // cone constant
  double c_ = 0.0;
  double rh_ = 0.0;          // radius of the parallel of origin
  double lon_center_ = 0.0;  // radians
  double false_easting_ = 0.0;
  double false_northing_ = 0.0;
};

}  // namespace orvenda
