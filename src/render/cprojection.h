#pragma once

#include <numbers>
#include <span>

namespace orvenda {

// The WGS 84 axes, in metres, that the viewer gives the real projections.
inline constexpr double kWgs84SemiMajor = 6378137.0;
inline constexpr double kWgs84SemiMinor = 6356752.3142;

// Degrees to radians and back, with pi = 4 arctan 1.
inline constexpr double DegToRad(double deg) { return deg * (std::numbers::pi / 180.0); }
inline constexpr double RadToDeg(double rad) { return rad * (180.0 / std::numbers::pi); }

// A position in the plane of a projection (projected units, metres for the real ones).
struct ProjectedXY {
  double x = 0.0;
  double y = 0.0;
};

// A geographic position in degrees.
struct GeoLonLat {
  double lon = 0.0;
  double lat = 0.0;
};

// Interface of a map projection: geographic degrees to the plane of the map and back.
// Projections are pure math: they know nothing of pixels or of the viewer's scale.
//
// Until `Init` has succeeded once, `Project` and `Unproject` hand their input back
// unchanged, so an object that could not be set up still behaves as a plain
// longitude/latitude plane instead of producing infinities. An `Init` whose
// arguments are refused leaves the object as it was.
class CProjection {
 public:
  virtual ~CProjection() = default;

  // Sets the projection up from the figure of the earth (semi-axes in metres) and
  // the class's own parameters. Returns true when the arguments were taken; false
  // when they were refused, in which case the object is left as it was.
  virtual bool Init(double r_major, double r_minor, std::span<const double> params) = 0;

  virtual ProjectedXY Project(double lon, double lat) const = 0;
  virtual GeoLonLat Unproject(double x, double y) const = 0;

  // Whether some `Init` has succeeded.
  virtual bool IsSetUp() const = 0;

 protected:
  CProjection() = default;
  CProjection(const CProjection&) = default;
  CProjection& operator=(const CProjection&) = default;
};

}  // namespace orvenda
