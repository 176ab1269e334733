// An element's vertices as both backends keep them: consecutive native doubles
// x0 y0 x1 y1 ... (a database is only ever read by this program on a machine of the
// same byte order); and, for PostgreSQL, the same element as a PostGIS geometry.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "store/store.h"

namespace orvenda::server {

std::string PackPoints(const std::vector<Point>& points);
std::vector<Point> UnpackPoints(std::string_view blob);

// The element as hexadecimal EWKB in longitude/latitude (SRID 4326), the text form
// PostGIS reads for a geometry: a point or points for a point layer, a polygon for a
// closed ring of an area layer, otherwise a line (one vertex alone is a point).
std::string GeometryHex(LayerKind kind, const std::vector<Point>& points);

}  // namespace orvenda::server
