// Polygons with holes as one vertex list.
//
// An element is a single ring, and the client fills it and tests points in it by
// the even-odd rule. A hole joined to its outer ring by a zero-width bridge (out
// along one edge, round the hole, back along the same edge) keeps the true shape
// under that rule: the doubled edge adds no net crossing for any ray. Shared by
// the importer and the render benchmark's loader, on the client's own point type.
#pragma once

#include <vector>

#include "model/tipolayer.h"

namespace orvenda::server {

// `ring` (the outer ring) with every hole of `holes` bridged in between a hole
// vertex and a ring vertex that are each other's nearest, so that no long edge
// crosses the map (the bridge is drawn with the outline).
// Holes are walked against the ring's turn, so the signed area of the result is
// the polygon's own (outer minus holes) and area-weighted centroids hold.
void BridgeHoles(std::vector<::orvenda::Point>& ring,
                 const std::vector<std::vector<::orvenda::Point>>& holes);

}  // namespace orvenda::server
