// Levels of detail built at import: generalised copies of a layer, each drawn over a
// band of zoom where its simplification stays within a pixel, so that a view of the
// whole layer never carries more vertices than its pixels can show. The copies are
// plain layers of the map; the zoom bands of the original and its copies meet end to
// end and together cover the original's range.
#pragma once

#include <cstdint>
#include <vector>

#include "store/store.h"

namespace orvenda::server {

struct DetailLevel {
  float zoomMin = 0;
  float zoomMax = 0;
  double tolerance = 0;  // degrees: one pixel of the finest view in the band
};

// The copies that may be worth building for a layer shown from zoomMin to zoomMax in a
// map of `projection`, coarsest first: the coarsest band starts at the view that shows
// the whole extent and each next one is four times finer. The original keeps the band
// below the finest copy kept.
std::vector<DetailLevel> PlanLevels(float zoomMin, float zoomMax, const Box& extent,
                                    std::int16_t projection);

// A copy is kept while it holds at most half the original's vertices: beyond that it
// saves too little to be worth a layer.
bool LevelWorthKeeping(std::size_t levelVertices, std::size_t originalVertices);

}  // namespace orvenda::server
