#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "model/layerowner.h"
#include "model/layers.h"

namespace orvenda {
namespace {

// Records the image renderers the layers open and close.
class ImageViewer : public LayerOwner {
 public:
  int32_t ImageIndexFor(const std::string& name) override { return name == "orto" ? 3 : -1; }
  void CloseImage(int32_t imageNumber) override { closed.push_back(imageNumber); }
  CellValueRequester* CellValues() override { return nullptr; }
  std::vector<int32_t> closed;
};

std::vector<int32_t> Ids(const Layers& layers) {
  std::vector<int32_t> ids;
  for (const layer& l : layers) ids.push_back(l.IDLayer);
  return ids;
}

TEST(Layers, AddFillsTheLayerFromItsKeyAndViewer) {
  ImageViewer viewer;
  Layers layers;
  layer& roads = layers.Add("calles", "12", polylinelayer, &viewer);
  EXPECT_EQ(roads.IDLayer, 12);
  EXPECT_EQ(roads.Nombre, "calles");
  EXPECT_EQ(roads.ImageName, "calles");
  EXPECT_EQ(roads.ImageNumber, -1);
  EXPECT_EQ(roads.parentMap, &viewer);
  EXPECT_TRUE(roads.Visible);
  EXPECT_TRUE(roads.Selectable);
  EXPECT_EQ(layers.Add("orto", "7", ImageLayer, &viewer).ImageNumber, 3);
  EXPECT_EQ(layers.Add("sin visor", "8", pointlayer, nullptr).ImageNumber, -1);
  EXPECT_THROW(layers.Add("otra", "12", pointlayer, &viewer), DuplicateKeyError);
  EXPECT_THROW(layers.Add("mala", "doce", pointlayer, &viewer), std::invalid_argument);
  EXPECT_EQ(Ids(layers), (std::vector<int32_t>{12, 7, 8}));
}

TEST(Layers, AbsentKeyAnswersNothingOtherMisuseRaises) {
  Layers layers;
  layers.Add("a", "1", pointlayer, nullptr);
  EXPECT_EQ(layers.Item("2"), nullptr);
  EXPECT_NE(layers.Item("1"), nullptr);
  EXPECT_THROW(layers.Item(2), std::out_of_range);
  EXPECT_THROW(layers.Remove("2"), std::out_of_range);
  EXPECT_THROW(layers.Move("2", 1), std::out_of_range);
  EXPECT_THROW(layers.Move("1", 0), std::out_of_range);
}

TEST(Layers, MoveReinsertsBeforeThePositionOrAtTheEnd) {
  struct Row {
    const char* name;
    const char* key;
    int32_t position;
    std::vector<int32_t> expected;
  };
  const Row rows[] = {
      {"last to first", "3", 1, {3, 1, 2, 4}},          {"first to third", "1", 3, {2, 3, 1, 4}},
      {"first to last position", "1", 4, {2, 3, 4, 1}}, {"past the end", "2", 9, {1, 3, 4, 2}},
      {"onto itself: nothing", "2", 2, {1, 2, 3, 4}},   {"second to first", "2", 1, {2, 1, 3, 4}},
  };
  for (const Row& r : rows) {
    Layers layers;
    for (const char* key : {"1", "2", "3", "4"}) layers.Add(key, key, pointlayer, nullptr);
    layer* moved = layers.Item(r.key);
    layers.Move(r.key, r.position);
    EXPECT_EQ(Ids(layers), r.expected) << r.name;
    EXPECT_EQ(layers.Item(r.key), moved) << r.name;  // same layer, same key
  }
}

TEST(Layers, ReleasingAnImageLayerClosesItsRenderer) {
  ImageViewer viewer;
  {
    Layers layers;
    layers.Add("orto", "7", ImageLayer, &viewer);
    layers.Add("calles", "8", polylinelayer, &viewer);
    layers.Add("orto", "9", polylinelayer, &viewer);  // has an index, but is no image layer
    layers.Remove("7");
    EXPECT_EQ(viewer.closed, (std::vector<int32_t>{3}));
    layers.Add("orto", "10", ImageLayer, &viewer);
  }
  EXPECT_EQ(viewer.closed, (std::vector<int32_t>{3, 3}));
}

}  // namespace
}  // namespace orvenda
