#include "model/layers.h"

#include <gtest/gtest.h>

#include "model/layerowner.h"

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

TEST(Layers, AddTakesTheIDFromTheKeyAndTheImageFromTheViewer) {
  ImageViewer viewer;
  {
    Layers layers;
    EXPECT_EQ(layers.Add("calles", " 12 ", polylinelayer, &viewer).ImageNumber, -1);
    EXPECT_EQ(layers.Add("orto", "7", ImageLayer, &viewer).ImageNumber, 3);
    EXPECT_EQ(layers.Add("orto", "9", pointlayer, nullptr).ImageNumber, -1);
    EXPECT_EQ(layers.Add("orto", "10", polylinelayer, &viewer).ImageNumber, 3);
    EXPECT_THROW(layers.Add("otra", " 12 ", pointlayer, &viewer), DuplicateKeyError);
    for (const char* bad : {"doce", "", "  ", "1 2"})
      EXPECT_THROW(layers.Add("mala", bad, pointlayer, &viewer), std::invalid_argument) << bad;
    EXPECT_EQ(Ids(layers), (std::vector<int32_t>{12, 7, 9, 10}));
    EXPECT_EQ(layers.Item("2"), nullptr);
    EXPECT_THROW(layers.Item(5), std::out_of_range);
    EXPECT_THROW(layers.Remove("2"), std::out_of_range);
    layers.Remove("7");  // an image layer closes its renderer; "10" is no image layer
    EXPECT_EQ(viewer.closed, (std::vector<int32_t>{3}));
    layers.Add("orto", "11", ImageLayer, &viewer);
  }
  EXPECT_EQ(viewer.closed, (std::vector<int32_t>{3, 3}));
}

TEST(Layers, MoveReinsertsBeforeThePositionOrAtTheEnd) {
  const std::tuple<const char*, int32_t, std::vector<int32_t>> rows[] = {
      {"3", 1, {3, 1, 2, 4}}, {"1", 3, {2, 3, 1, 4}}, {"1", 4, {2, 3, 4, 1}},
      {"2", 9, {1, 3, 4, 2}}, {"2", 2, {1, 2, 3, 4}}, {"2", 1, {2, 1, 3, 4}}};
  for (const auto& [key, position, expected] : rows) {
    Layers layers;
    for (const char* k : {"1", "2", "3", "4"}) layers.Add(k, k, pointlayer, nullptr);
    layer* moved = layers.Item(key);
    layers.Move(key, position);
    EXPECT_EQ(Ids(layers), expected) << key << " to " << position;
    EXPECT_EQ(layers.Item(key), moved);
    EXPECT_THROW(layers.Move("5", 1), std::out_of_range);
    EXPECT_THROW(layers.Move("1", 0), std::out_of_range);
  }
}

}  // namespace
}  // namespace orvenda
