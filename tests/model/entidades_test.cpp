#include "model/entidades.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "model/layer.h"

namespace orvenda {
namespace {

std::vector<int32_t> Order(const Entidades& ents) {
  std::vector<int32_t> ids;
  for (const Entidad& e : ents) ids.push_back(e.ID);
  return ids;
}

TEST(Entidades, ReplacementMovesToTheEndAndIsNewAgain) {
  layer lay;
  for (int32_t id : {10, 20, 30}) lay.Entidades.Add(id, std::vector<Point>{{1.0 * id, 1}}, &lay);
  EXPECT_EQ(lay.Entidades.GetNewIDs(), (std::vector<int32_t>{10, 20, 30}));
  EXPECT_TRUE(lay.Entidades.GetNewIDs().empty());
  Entidad& again = lay.Entidades.Add(10, std::vector<Point>{{5, -5}}, &lay);
  EXPECT_EQ(again.ThemeCode, 1);
  EXPECT_EQ(Order(lay.Entidades), (std::vector<int32_t>{20, 30, 10}));
  EXPECT_EQ(lay.Entidades.GetNewIDs(), (std::vector<int32_t>{10}));
  EXPECT_EQ(lay.bb.MinX, 5) << "the layer's box covers old and new positions";
  EXPECT_EQ(lay.bb.MaxX, 30);
  EXPECT_EQ(lay.bb.MinY, -5);
  // Keys are the canonical decimal text of an ID; anything else names nothing.
  for (const char* key : {"8", "010", "+10", " 10", "10 ", "", "x", "99999999999"}) {
    EXPECT_EQ(lay.Entidades.Item(key), nullptr) << '"' << key << '"';
    lay.Entidades.Remove(key);
  }
  EXPECT_EQ(lay.Entidades.Item("10"), &again);
  EXPECT_EQ(lay.Entidades.Item(0), nullptr);
  EXPECT_EQ(lay.Entidades.Item(4), nullptr);
  lay.Entidades.Remove("20");
  EXPECT_EQ(Order(lay.Entidades), (std::vector<int32_t>{30, 10}));
}

// Random adds, replacements and removals against a plain list.
TEST(Entidades, OrderSurvivesManyReplacementsAndRemovals) {
  std::mt19937 rng(12345);
  Entidades ents;
  std::vector<int32_t> expected;
  for (int step = 0; step < 20000; ++step) {
    const auto id = static_cast<int32_t>(rng() % 300) - 100;
    if (const auto it = std::find(expected.begin(), expected.end(), id); it != expected.end())
      expected.erase(it);
    if (rng() % 3 == 0) {
      ents.RemoveID(id);
    } else {
      ents.Add(id, std::vector<Point>{{1.0 * id, 1.0 * step}}, nullptr);
      expected.push_back(id);
    }
    ASSERT_TRUE(step % 997 != 0 || Order(ents) == expected) << "step " << step;
  }
  ASSERT_EQ(ents.count(), static_cast<int32_t>(expected.size()));
  for (std::size_t k = 0; k < expected.size(); ++k) {
    ASSERT_EQ(ents.Item(static_cast<int32_t>(k + 1))->ID, expected[k]);
    EXPECT_EQ(ents.Item(std::to_string(expected[k]))->Points()[0].X, expected[k]);
  }
}

}  // namespace
}  // namespace orvenda
