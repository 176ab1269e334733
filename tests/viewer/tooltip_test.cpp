// The map tooltip's rule without a widget: a recording window, a view of
// 0..2 x 0..2 degrees on 300 x 300 units (150 units per degree, y down), and a
// line layer 7 with a labelled element on x + y = 300 and an unlabelled one
// from (30, 30) to (60, 30).
#include "viewer/tools/tooltip.h"

#include <gtest/gtest.h>

#include <sstream>

#include "model/layers.h"

namespace orvenda {
namespace {

class RecordingWindow final : public ToolTipWindow {
 public:
  std::string log;
  void SetInterval(int ms) override { Log("timer " + std::to_string(ms)); }
  void Hide() override { Log("hide"); }
  SurfaceXY SetCaption(const std::string& text) override {
    Log(text);
    return {60, 15};
  }
  void ShowBox(double left, double top, double, double) override {
    std::ostringstream s;
    s << "show at " << left << "," << top;
    Log(s.str());
  }
  void Log(const std::string& line) { log += (log.empty() ? "" : "; ") + line; }
};

struct Script {
  const char* what;
  std::int32_t layerId;
  std::vector<SurfaceXY> moves;  // pointer moves; {-1, -1}: a timer tick
  std::string log;
};

TEST(ToolTipRule, ShowsTheLabelOfARestingPointerOnce) {
  Layers layers;
  layer& roads = layers.Add("Roads", "7", polylinelayer, nullptr);
  const Point labelled[] = {{0.5, 0.5}, {1.5, 1.5}};
  const Point bare[] = {{0.2, 1.8}, {0.4, 1.8}};
  roads.Entidades.Add(1, labelled, &roads).IDLabel = roads.LabelIndex("Ruta 5");
  roads.Entidades.Add(2, bare, &roads);
  roads.DrawnEntities = {1, 2};
  roads.SetDefaultTheme(Theme{});
  // Layer 8 has its elements but not yet its classes.
  layer& early = layers.Add("Early", "8", polylinelayer, nullptr);
  early.Entidades.Add(1, labelled, &early).IDLabel = early.LabelIndex("Ruta 5");
  early.DrawnEntities = {1};
  ViewTransform view;
  view.ViewWidth = view.ViewHeight = 300;
  view.ApplyExtents(0, 0, 2, 2);

  const SurfaceXY tick{-1, -1};
  const std::string shown = "timer 0; Etiqueta: Ruta 5; show at 150,169.333";
  const std::string undefined = "Etiqueta: <Undefined>; show at 45,49.3333";
  const Script scripts[] = {
      {"rests on a labelled element", 7, {{150, 150}, tick}, "timer 100; " + shown},
      {"keeps moving", 7, {{10, 10}, {150, 150}, tick, {99, 9}, tick}, "timer 100; hide; hide"},
      {"moves, then rests", 7, {{10, 10}, {150, 150}, tick, tick}, "timer 100; hide; " + shown},
      {"no label word", 7, {{45, 30}, tick}, "timer 100; timer 0; " + undefined},
      {"nothing there", 7, {{280, 280}, tick}, "timer 100; timer 0; hide"},
      {"layer 0", 0, {{150, 150}, tick}, "timer 100; timer 0; hide"},
      {"a layer the map lacks", 9, {{150, 150}, tick}, "timer 100; timer 0; hide"},
      {"a layer without classes", 8, {{150, 150}, tick}, "timer 100; timer 0; hide"},
  };
  for (const Script& script : scripts) {
    RecordingWindow window;
    CToolTip tip;
    tip.initialize(window);
    tip.SetLayer(script.layerId, " ");
    window.log.clear();
    for (const SurfaceXY& step : script.moves) {
      step == tick ? tip.timer(layers, view) : tip.mousemove(step);
    }
    EXPECT_EQ(window.log, script.log) << script.what;
  }
}

// A label of 60 x 15 units; the box is 100 twips wider and 50 higher, 290 twips
// below the pointer, and kept 100 twips inside the right and bottom edges.
TEST(ToolTipRule, BoxStaysInsideTheRightAndBottomEdges) {
  const auto twips = [](double t) { return t / 15; };
  const double width = 60 + twips(100), height = 15 + twips(50);
  const struct {
    SurfaceXY pointer;
    ToolTipBox box;
  } cases[] = {
      {{10, 20}, {10, 20 + twips(290), width, height}},
      {{250, 20}, {300 - width - twips(100), 20 + twips(290), width, height}},
      {{10, 280}, {10, 300 - twips(290) - height, width, height}},
      {{299, 299}, {300 - width - twips(100), 300 - twips(290) - height, width, height}},
  };
  for (const auto& c : cases) {
    const ToolTipBox got = PlaceToolTip(c.pointer, {60, 15}, 300, 300);
    EXPECT_NEAR(got.left, c.box.left, 1e-9) << c.pointer.x << "," << c.pointer.y;
    EXPECT_NEAR(got.top, c.box.top, 1e-9) << c.pointer.x << "," << c.pointer.y;
    EXPECT_NEAR(got.width + got.height, width + height, 1e-9);
  }
}

}  // namespace
}  // namespace orvenda
