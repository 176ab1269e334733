#pragma once

#include "render/cprojection.h"

namespace orvenda {

// No projection: the plane of the map is longitude/latitude in degrees.
class CLatLon final : public CProjection {
 public:
  // Takes no parameters; every call is accepted.
  bool Init(double r_major, double r_minor, std::span<const double> params) override;
  ProjectedXY Project(double lon, double lat) const override;
  GeoLonLat Unproject(double x, double y) const override;
  bool IsSetUp() const override { return true; }
};

}  // namespace orvenda
