#include "admin/layer_setup_options.h"

#include <cctype>

#include "model/gridrule.h"
#include "store/setup_rules.h"

namespace orvenda::server {
namespace {

DrawingStyle ParseStyle(const std::vector<std::string>& p, std::size_t first, const char* what) {
  DrawingStyle s;
  s.lineColor = ParseColor(p[first], what);
  s.lineStyle =
      static_cast<std::int16_t>(ParseInteger(p[first + 1], "line style", 0, kMaxLineStyle));
  s.lineWidth =
      static_cast<std::int16_t>(ParseInteger(p[first + 2], "line width", 0, kMaxLineWidth));
  s.fillColor = ParseColor(p[first + 3], what);
  s.fillStyle =
      static_cast<std::int16_t>(ParseInteger(p[first + 4], "fill style", 0, kMaxFillStyle));
  return s;
}

void ParseRange(const std::string& text, const char* what, float& lo, float& hi) {
  const auto p = SplitList(text, 2, what);
  const double a = ParseNumber(p[0], what), b = ParseNumber(p[1], what);
  if (a < 0 || b < a || b > kMaxZoom)
    throw CommandError(kExitInvalid, std::string(what) + " must be MIN,MAX with 0 <= MIN <= MAX");
  lo = static_cast<float>(a);
  hi = static_cast<float>(b);
}

// The field's own spelling, or "" for "none"; kExitNotFound for a field the layer lacks.
std::string LayerField(const LayerInfo& layer, const std::string& name) {
  if (name.empty() || name == "none") return {};
  auto upper = [](std::string t) {
    for (char& c : t) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return t;
  };
  for (const FieldDef& f : layer.fields)
    if (upper(f.name) == upper(name)) return f.name;
  throw CommandError(kExitNotFound, "layer '" + layer.name + "' has no field '" + name + "'");
}

std::int16_t Visibility(const std::string& text, const char* what) {
  return static_cast<std::int16_t>(ParseInteger(text, what, 0, 2));
}

}  // namespace

const std::set<std::string>& SetupValuedOptions() {
  static const std::set<std::string> names = {"db",
                                              "visibility",
                                              "zoom",
                                              "style",
                                              "label",
                                              "label-zoom",
                                              "label-visibility",
                                              "label-bold",
                                              "label-color",
                                              "thematic",
                                              "thematic-type",
                                              "class"};
  return names;
}

const std::set<std::string>& SetupFlagOptions() {
  static const std::set<std::string> names = {"clear-classes"};
  return names;
}

void ApplySetupOptions(const Arguments& a, const LayerInfo& layer, LayerRecord& s) {
  // A database from before cell sizes were checked may hold such a layer; no client
  // could compute which cells to ask for.
  if (!IsValidCellSize(layer.grid.cellWidth) || !IsValidCellSize(layer.grid.cellHeight))
    throw CommandError(kExitInvalid, "layer '" + layer.name + "' has a cell size of " +
                                         std::to_string(layer.grid.cellWidth) + " x " +
                                         std::to_string(layer.grid.cellHeight) +
                                         " degrees; it cannot be set up in a map");
  if (auto v = a.Value("visibility")) s.userVisibility = Visibility(*v, "visibility");
  if (auto v = a.Value("zoom")) ParseRange(*v, "zoom", s.zoomMin, s.zoomMax);
  if (auto v = a.Value("style")) s.style = ParseStyle(SplitList(*v, 5, "style"), 0, "style colour");
  if (auto v = a.Value("label")) s.labelField = LayerField(layer, *v);
  if (auto v = a.Value("label-zoom")) ParseRange(*v, "label zoom", s.labelZoomMin, s.labelZoomMax);
  if (auto v = a.Value("label-visibility"))
    s.userLabelVisibility = Visibility(*v, "label visibility");
  if (auto v = a.Value("label-bold")) s.labelBold = ParseInteger(*v, "label bold", 0, 1) == 1;
  if (auto v = a.Value("label-color")) s.labelColor = ParseColor(*v, "label colour");
  if (auto v = a.Value("thematic")) s.thematicField = LayerField(layer, *v);
  if (auto v = a.Value("thematic-type"))
    s.thematicType = static_cast<std::int16_t>(ParseInteger(*v, "thematic type", 0, 2));
  if (a.Flag("clear-classes")) s.themes.clear();
  const auto classes = a.Values("class");
  if (!classes.empty()) s.themes.clear();
  for (const std::string& c : classes) {
    const auto p =
        SplitList(c, 7, "class (LOWER,UPPER,LINECOLOR,LINESTYLE,LINEWIDTH,FILLCOLOR,FILLSTYLE)");
    s.themes.push_back({p[0], p[1], ParseStyle(p, 2, "class colour")});
  }
  if (s.thematicType != 0 && s.thematicField.empty())
    throw CommandError(kExitInvalid, "a thematic type needs a thematic field (--thematic)");
}

}  // namespace orvenda::server
