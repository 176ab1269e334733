#include "render/visibledata.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace orvenda {
namespace {

using Asked = std::array<std::int32_t, 4>;  // layer, what, row, column

// Records each request and enters it in the layer's register, as a sent one is;
// after `budget` requests it reports the server gone.
struct Recorder final : VisibleDataRequests {
  std::vector<Asked> asked;
  std::vector<std::int32_t> refused;
  std::size_t budget = 1000;
  bool Request(layer& lay, CellData what, std::int32_t i, std::int32_t j) override {
    asked.push_back({lay.IDLayer, static_cast<std::int32_t>(what), i, j});
    if (what == CellData::Elements) lay.CeldaSolicitada(i, j);
    if (what == CellData::Labels) lay.LabelCellSolicitada(i, j);
    if (what == CellData::Directions) lay.DirectionCellSolicitada(i, j);
    return asked.size() < budget;
  }
  void GridRefused(layer& lay) override { refused.push_back(lay.IDLayer); }
};

constexpr std::int32_t E = 0, L = 1, D = 2;

// Layers on 1-degree cells (rows 90..92 from latitude, columns 180..182 from
// longitude): 1 with labels shown past scale 4 (view height 500: a max of
// 0.125), 2 hidden by its user, 3 with no usable grid, 4 with directions always
// shown and a label field whose labels its user hides. Each step moves the view
// and lists what is asked, in order; nothing already asked is asked again.
TEST(RequestVisibleData, AsksEachVisibleLayerOnlyForCellsItLacks) {
  Layers layers;
  for (std::int32_t id = 1; id <= 4; ++id) {
    layer& lay = layers.Add("L" + std::to_string(id), std::to_string(id), 2, nullptr);
    lay.IDLayer = id;
    lay.AccessLevel = ALViewer;
    lay.ZoomMax = lay.lblZoomMax = lay.DirectionZoomMax = 1e37F;
    lay.GridDeltaX = lay.GridDeltaY = id == 3 ? 0.0F : 1.0F;
    lay.minCol = 90, lay.maxCol = 92, lay.minRow = 180, lay.maxRow = 182;
  }
  layer& one = *layers.Item("1");
  one.lblField = "NAME";
  one.SetUserLabelVisibility(1);
  one.lblZoomMax = 0.125F;
  layers.Item("2")->SetUserVisibility(0);
  layer& four = *layers.Item("4");
  four.lblField = "NAME";
  four.DirectionField = "DIR";
  four.SetUserDirectionVisibility(2);

  struct Step {
    std::array<double, 4> box;
    float scale;
    std::vector<Asked> asked;
  };
  const Step steps[] = {
      {{0.1, 0.1, 0.4, 0.4}, 1, {{1, E, 90, 180}, {4, E, 90, 180}, {4, D, 90, 180}}},
      // Wider: the new columns only; the grid cut at column 182.
      {{0.1, 0.1, 2.9, 0.4},
       1,
       {{1, E, 90, 181},
        {1, E, 90, 182},
        {4, E, 90, 181},
        {4, E, 90, 182},
        {4, D, 90, 181},
        {4, D, 90, 182}}},
      // Zoomed in far enough for the labels of layer 1.
      {{0.1, 0.1, 0.4, 0.4}, 5, {{1, L, 90, 180}}},
      {{0.1, 0.1, 0.4, 0.4}, 5, {}},
  };
  Recorder out;
  ViewTransform view;
  view.ViewHeight = 500;
  for (const Step& s : steps) {
    out.asked.clear();
    out.refused.clear();
    view.ViewExtents = BoundingBox{};
    view.ViewExtents.Union(s.box[0], s.box[1], s.box[2], s.box[3]);
    view.FactorEscala = s.scale;
    RequestVisibleData(layers, view, out);
    EXPECT_EQ(out.asked, s.asked) << &s - steps;
    EXPECT_EQ(out.refused, std::vector<std::int32_t>{3}) << &s - steps;
  }

  // A server gone ends the pass at once; the next pass asks what is left.
  view.ViewExtents = BoundingBox{};
  view.ViewExtents.Union(0.1, 1.1, 0.4, 1.4);
  out.asked.clear();
  out.budget = 1;
  RequestVisibleData(layers, view, out);
  EXPECT_EQ(out.asked, (std::vector<Asked>{{1, E, 91, 180}}));
  out.asked.clear();
  out.budget = 1000;
  RequestVisibleData(layers, view, out);
  EXPECT_EQ(out.asked, (std::vector<Asked>{{1, L, 91, 180}, {4, E, 91, 180}, {4, D, 91, 180}}));
}

}  // namespace
}  // namespace orvenda
