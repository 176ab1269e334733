#pragma once
// The layout of the map's legend, free of widgets: which layers get a group (the
// visible ones that meet the view, the last layer first), the swatch and text of
// each class, where everything goes, how tall the window is and when it scrolls.
// Every position and size is in twips.

#include <cstdint>
#include <string>
#include <vector>

#include "model/boundingbox.h"
#include "model/layers.h"
#include "model/theme.h"

namespace orvenda {

namespace legend {
inline constexpr std::int32_t kFirstSwatchTop = 240;  // below the group's caption
inline constexpr std::int32_t kSwatchLeft = 120;
inline constexpr std::int32_t kSwatchWidth = 600;
inline constexpr std::int32_t kSwatchHeight = 300;
inline constexpr std::int32_t kTextGap = 200;  // between a swatch and its text
inline constexpr std::int32_t kGroupMargin = 50;
inline constexpr std::int32_t kFitMargin = 360;       // below the last group
inline constexpr std::int32_t kMaximizeMargin = 300;  // below it after "Maximizar"
inline constexpr std::int32_t kCollapsedMargin = 300;
inline constexpr std::int32_t kTallest = 8000;  // taller legends scroll
inline constexpr std::int32_t kScrolledHeight = 7800;
inline constexpr std::int32_t kScrollBarHeight = 7000;
inline constexpr double kScrollStep = 4000;  // what the whole bar moves the groups
}  // namespace legend

struct LegendSwatch {
  Theme theme;
  std::string text;
  std::int32_t top = 0;  // within its group
};

struct LegendGroup {
  std::int32_t IDLayer = 0;
  std::string caption;  // the layer's name
  TipoLayer kind = 0;
  std::int32_t top = 0;  // stacked place, within the window
  std::int32_t height = 0;
  std::vector<LegendSwatch> swatches;
};

// The groups, stacked from `firstTop` (the bottom of the toolbar).
std::vector<LegendGroup> LegendGroups(const Layers& layers, const BoundingBox& view,
                                      std::int32_t firstTop);

// The window after a rebuild: its new height (0: keep it), whether the scroll bar
// shows, the bar's maximum and the legend height left as the scrolling unit.
struct LegendFit {
  std::int32_t windowHeight = 0;
  bool scrolls = false;
  std::int32_t scrollMax = 0;
  std::int32_t legendHeight = 0;
};
LegendFit FitLegend(const std::vector<LegendGroup>& groups, bool collapsed);

// Height after "Maximizar": the content and its margin, at most the scrolled height.
std::int32_t MaximizedHeight(const std::vector<LegendGroup>& groups);

// The groups' tops at scroll value v of a bar whose maximum is m: always measured
// from the stacked places, so that scrolling back and forth never drifts.
std::vector<std::int32_t> ScrolledTops(const std::vector<LegendGroup>& groups, std::int32_t v,
                                       std::int32_t m);

}  // namespace orvenda
