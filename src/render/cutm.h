#pragma once

#include "render/cprojection.h"

namespace orvenda {

// Universal Transverse Mercator on an ellipsoid, by the USGS series (tmfor/tminv).
// Owns the constants of one zone: central meridian, false easting and northing,
// scale factor and the meridian-arc coefficients of the ellipsoid.
class CUTM final : public CProjection {
 public:
  // params[0]: zone, 1..60 north of the equator, -1..-60 south of it (false northing
  // 10 000 000 m); params[1]: scale factor on the central meridian. Refused (object
  // left as it was) when the zone is out of range or the axes or scale are unusable.
  bool Init(double r_major, double r_minor, std::span<const double> params) override;
  ProjectedXY Project(double lon, double lat) const override;
  GeoLonLat Unproject(double x, double y) const override;
  bool IsSetUp() const override { return set_up_; }

  // Bound on the footpoint-latitude iteration of `Unproject`. It contracts by a factor
  // of about 200 per step, so ten steps reach 1e-10 from anywhere; the bound only
  // stops a NaN from looping forever.
  static constexpr int kMaxFootpointSteps = 30;

 private:
  // Meridian arc from the equator to latitude phi (radians), in units of r_major.
  double Mlfn(double phi) const;

  bool set_up_ = false;
  double r_major_ = 0.0;
  double scale_factor_ = 1.0;
  double lon_center_ = 0.0;  // radians
  double es_ = 0.0;          // first eccentricity squared
  double esp_ = 0.0;         // second eccentricity squared
  double e0_ = 0.0, e1_ = 0.0, e2_ = 0.0, e3_ = 0.0;
  double false_easting_ = 0.0;
  double false_northing_ = 0.0;
};

}  // namespace orvenda
