#include "import/levels.h"

#include <algorithm>

namespace orvenda::server {
namespace {

// A view is taken as 1080 pixels high (a full-HD screen): smaller windows have
// larger pixels and lose nothing they could show.
constexpr double kPixelsHigh = 1080;
constexpr double kStep = 4;
constexpr std::size_t kMostLevels = 4;
constexpr double kMetresPerDegree = 111320.0;
constexpr double kViewAspect = 2.0;  // views at most twice as wide as high

}  // namespace

std::vector<DetailLevel> PlanLevels(float zoomMin, float zoomMax, const Box& extent,
                                    std::int16_t projection) {
  // Zoom limits are thousands of map units of view height: degrees in longitude/
  // latitude, metres in the projected maps.
  const double unitsPerDegree = projection == 0 ? 1.0 : kMetresPerDegree;
  const double wholeView =
      std::max(extent.maxY - extent.minY, (extent.maxX - extent.minX) / kViewAspect);
  const double top = std::min(static_cast<double>(zoomMax), wholeView * unitsPerDegree / 1000);
  std::vector<DetailLevel> levels;
  float upper = zoomMax;
  double lower = top;
  while (levels.size() < kMostLevels) {
    lower /= kStep;
    const auto bound = static_cast<float>(lower);
    if (bound <= zoomMin || bound >= upper) break;
    const double tolerance = static_cast<double>(bound) * 1000 / unitsPerDegree / kPixelsHigh;
    levels.push_back({bound, upper, tolerance});
    upper = bound;
  }
  return levels;
}

bool LevelWorthKeeping(std::size_t levelVertices, std::size_t originalVertices) {
  return levelVertices * 2 <= originalVertices;
}

}  // namespace orvenda::server
