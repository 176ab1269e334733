// Rings and lines in longitude/latitude that run across the antimeridian.
//
// Sources drawn on the sphere (TopoJSON from d3, some GeoJSON) let a ring step from
// longitude 179.9 to -179.9; on a flat map that step is a line across the whole
// world, and a ring around a pole is not closed at all. These are cut at ±180 into
// parts that lie within -180..180, each closed again along the cut (and, around a
// pole, along the pole). Opt-in: a box from -170 to 170 drawn with four vertices
// means something else, and only the source's maker knows which.
#pragma once

#include <vector>

#include "store/store.h"

namespace orvenda::server {

// A step of more than 180 degrees of longitude between consecutive vertices.
bool CrossesAntimeridian(const std::vector<Point>& points);

// The ring (closed: last vertex = first) as closed rings within -180..180.
std::vector<std::vector<Point>> SplitRingAtAntimeridian(const std::vector<Point>& ring);

// The line as lines within -180..180, cut where it crosses.
std::vector<std::vector<Point>> SplitLineAtAntimeridian(const std::vector<Point>& line);

}  // namespace orvenda::server
