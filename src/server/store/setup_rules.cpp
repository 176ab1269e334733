#include "store/setup_rules.h"

#include <cmath>

namespace orvenda::server {
namespace {

bool InRange(std::int64_t v, std::int64_t lo, std::int64_t hi) { return v >= lo && v <= hi; }

// A zoom range may start at 0 and never runs backwards; NaN fails every comparison.
bool GoodZoomRange(double lo, double hi) { return lo >= 0 && lo <= hi && hi <= kMaxZoom; }

std::string StyleProblem(const DrawingStyle& s) {
  if (!InRange(s.lineColor, 0, kMaxColor) || !InRange(s.fillColor, 0, kMaxColor))
    return "a colour outside 0 to 0xFFFFFF";
  if (!InRange(s.lineStyle, 0, kMaxLineStyle)) return "line style outside 0 to 6";
  if (!InRange(s.lineWidth, 0, kMaxLineWidth)) return "line width outside 0 to 100";
  if (!InRange(s.fillStyle, 0, kMaxFillStyle)) return "fill style outside 0 to 7";
  return {};
}

}  // namespace

bool IsValidProjection(std::int64_t code) {
  return code == 0 || code == 1 || (code >= 40 && code <= 160 && code != 100);
}

std::string MapValuesProblem(const MapDefinition& map) {
  const Box& e = map.extents;
  if (!(e.minX >= -180 && e.minX < e.maxX && e.maxX <= 180 && e.minY >= -90 && e.minY < e.maxY &&
        e.maxY <= 90))
    return "extents must lie in -180,-90,180,90 with MIN < MAX";
  if (!InRange(map.backgroundColor, 0, kMaxColor)) return "background colour outside 0 to 0xFFFFFF";
  if (!IsValidProjection(map.projection))
    return "unknown projection " + std::to_string(map.projection);
  return {};
}

std::string SetupProblem(const LayerRecord& s) {
  if (!InRange(s.userVisibility, 0, 2) || !InRange(s.userLabelVisibility, 0, 2))
    return "visibility outside 0 to 2";
  if (!GoodZoomRange(s.zoomMin, s.zoomMax) || !GoodZoomRange(s.labelZoomMin, s.labelZoomMax))
    return "zoom range must be MIN,MAX with 0 <= MIN <= MAX <= 1e37";
  if (!InRange(s.labelColor, 0, kMaxColor)) return "label colour outside 0 to 0xFFFFFF";
  if (!InRange(s.thematicType, 0, 2)) return "thematic type outside 0 to 2";
  std::string why = StyleProblem(s.style);
  for (const ThemeClass& t : s.themes)
    if (why.empty()) why = StyleProblem(t.style);
  return why;
}

}  // namespace orvenda::server
