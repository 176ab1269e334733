#pragma once

#include <memory>

#include "render/cprojection.h"

namespace orvenda {

// Which projection class a map's projection code selects.
enum class ProjectionClass { None, LatLon, Albers, UTM };

// 0 -> CLatLon, 1 -> CAlbers, 40..160 -> CUTM (zone = code - 100), anything else None.
ProjectionClass ProjectionClassForCode(int code);

// A new, not yet initialised projection object for a map's code; null for codes that
// select no class.
std::unique_ptr<CProjection> MakeProjection(int code);

// Initialises the viewer's projection for a view whose clamped geographic extents run
// from minY to maxY in latitude and whose geographic centre is (centerX, centerY):
// - 0: no axes and no parameters;
// - 1: WGS 84 axes; parallels minY and maxY, centre longitude and latitude as central
//   meridian and latitude of origin, false easting and northing 5 000 000 m;
// - 40..160: WGS 84 axes; zone code - 100 and scale 0.9996.
// When `projector` is empty or of another class than the code selects, a new object of
// the right class replaces it first. A code that selects no class leaves `projector`
// untouched; the result says whether the code selected a class.
bool SetUpProjection(std::unique_ptr<CProjection>& projector, int code, double minY, double maxY,
                     double centerX, double centerY);

// The geographic window a view of this projection code may show.
struct GeoWindow {
  double minLon = -180;
  double minLat = -90;
  double maxLon = 180;
  double maxLat = 90;
  bool WholeGlobe() const {
    return minLon <= -180 && maxLon >= 180 && minLat <= -90 && maxLat >= 90;
  }
};

// The whole globe, except for UTM: its series are exact near the zone only. At 20
// degrees from the central meridian a position comes back from its projection
// 0.006 degrees off, at 40 degrees 1.5 and at 60 degrees over 100, so a view of a
// UTM map is held within 20 degrees of the meridian and below 84 degrees of
// latitude, where zooming out stops.
GeoWindow ViewWindowForCode(int code);

}  // namespace orvenda
