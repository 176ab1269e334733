// Generalisation of one geometry for a level of detail: every vertex of the original
// stays within the tolerance of the result, and an area stays a valid polygon.
#pragma once

#include <ogr_geometry.h>

#include <cstddef>
#include <memory>

namespace orvenda::server {

// Douglas-Peucker on each part; a part that it collapses or makes invalid (a ring
// crossing itself or a hole leaving its ring, by GEOS's validity) is simplified again by
// GEOS's topology-preserving simplifier, which never does either. That one alone is no
// choice: on dense coasts (Natural Earth 10m) it keeps half the vertices at a tolerance
// where Douglas-Peucker keeps a twentieth. Parts are simplified each on its own, so two
// islands a pixel apart may touch.
std::unique_ptr<OGRGeometry> Generalised(const OGRGeometry& g, double tolerance);

// The vertices Douglas-Peucker alone keeps of `g`: a cheap forecast of Generalised's,
// to judge a level before paying for its repairs.
std::size_t DouglasPeuckerVertices(const OGRGeometry& g, double tolerance);

}  // namespace orvenda::server
