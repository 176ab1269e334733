#include "render/clatlon.h"

namespace orvenda {

bool CLatLon::Init(double /*r_major*/, double /*r_minor*/, std::span<const double> /*params*/) {
  return true;
}

ProjectedXY CLatLon::Project(double lon, double lat) const { return {lon, lat}; }

GeoLonLat CLatLon::Unproject(double x, double y) const { return {x, y}; }

}  // namespace orvenda
