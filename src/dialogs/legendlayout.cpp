#include "dialogs/legendlayout.h"

#include <cmath>

#include "model/layer.h"

namespace orvenda {
namespace {

std::string ClassText(const layer& lay, const Theme& t, std::int32_t k) {
  if (k == 1) return {};
  if (lay.ThematicType == 1) return t.min;
  if (lay.ThematicType == 2) return t.min + " to " + t.max;
  return {};
}

}  // namespace

std::vector<LegendGroup> LegendGroups(const Layers& layers, const BoundingBox& view,
                                      std::int32_t firstTop) {
  std::vector<LegendGroup> groups;
  for (std::int32_t i = layers.count(); i >= 1; --i) {
    layer& lay = layers.Item(i);
    if (!lay.Visible || !lay.bb.InterseccionCon(view)) continue;
    LegendGroup g;
    g.IDLayer = lay.IDLayer;
    g.caption = lay.Nombre;
    g.kind = lay.Tipo;
    g.top = groups.empty() ? firstTop : groups.back().top + groups.back().height;
    std::int32_t top = legend::kFirstSwatchTop;
    std::int32_t k = 0;
    if (lay.HasThematicMap()) {
      for (const Theme& t : lay.ThematicMap()) {
        ++k;
        g.swatches.push_back({t, ClassText(lay, t, k), top});
        top += legend::kSwatchHeight;
      }
    }
    // The last swatch's bottom (or where the first would have gone) and a margin.
    g.height = (g.swatches.empty() ? legend::kFirstSwatchTop : top) + legend::kGroupMargin;
    groups.push_back(std::move(g));
  }
  return groups;
}

LegendFit FitLegend(const std::vector<LegendGroup>& groups, bool collapsed) {
  LegendFit fit;
  double legendHeight = 0;
  if (!groups.empty() && !collapsed) {
    fit.windowHeight = groups.back().top + groups.back().height + legend::kFitMargin;
    legendHeight = fit.windowHeight;
  }
  if (legendHeight > legend::kTallest) {
    fit.windowHeight = legend::kScrolledHeight;
    fit.scrolls = true;
    fit.scrollMax = static_cast<std::int32_t>(std::floor(legendHeight / 1500));
  }
  fit.legendHeight = static_cast<std::int32_t>((std::floor(legendHeight / 1000) + 1) * 100);
  return fit;
}

std::int32_t MaximizedHeight(const std::vector<LegendGroup>& groups) {
  if (groups.empty()) return 0;
  const std::int32_t h = groups.back().top + groups.back().height + legend::kMaximizeMargin;
  return h > legend::kTallest ? legend::kScrolledHeight : h;
}

std::vector<std::int32_t> ScrolledTops(const std::vector<LegendGroup>& groups, std::int32_t v,
                                       std::int32_t m) {
  const double shift = v == 0 || m <= 0 ? 0 : static_cast<double>(v) / m * legend::kScrollStep;
  std::vector<std::int32_t> tops;
  for (const LegendGroup& g : groups) {
    tops.push_back(static_cast<std::int32_t>(std::lround(g.top - shift)));
  }
  return tops;
}

}  // namespace orvenda
