#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "model/entidades.h"
#include "model/layer.h"

namespace orvenda {
namespace {

std::vector<int32_t> Order(const Entidades& ents) {
  std::vector<int32_t> ids;
  for (const Entidad& e : ents) {
    ids.push_back(e.ID);
  }
  return ids;
}

std::vector<Point> At(double x, double y) { return {{x, y}}; }

TEST(Entidades, ArrivalOrderReplacementAndNewIDs) {
  layer lay;
  lay.Tipo = pointlayer;
  Entidades& ents = lay.Entidades;
  ents.Add(10, At(1, 1), &lay);
  ents.Add(20, At(2, 2), &lay);
  Entidad& third = ents.Add(30, At(3, 3), &lay);
  EXPECT_EQ(third.ThemeCode, 1);
  EXPECT_EQ(third.parentLayer, &lay);
  EXPECT_EQ(ents.GetNewIDs(), (std::vector<int32_t>{10, 20, 30}));
  EXPECT_TRUE(ents.GetNewIDs().empty());

  // Same ID again: replaced, moved to the end, listed as new again.
  Entidad& again = ents.Add(10, At(5, -5), &lay);
  EXPECT_EQ(ents.count(), 3);
  EXPECT_EQ(Order(ents), (std::vector<int32_t>{20, 30, 10}));
  EXPECT_EQ(ents.Item("10"), &again);
  EXPECT_EQ(ents.Item(3), &again);
  EXPECT_EQ(ents.Item(1)->ID, 20);
  EXPECT_EQ(ents.GetNewIDs(), (std::vector<int32_t>{10}));
  // The layer's box covers old and new positions.
  EXPECT_EQ(lay.bb.MinX, 1);
  EXPECT_EQ(lay.bb.MaxX, 5);
  EXPECT_EQ(lay.bb.MinY, -5);
  EXPECT_EQ(lay.bb.MaxY, 3);
}

TEST(Entidades, AbsentKeysAndPositionsAnswerNothing) {
  Entidades ents;
  ents.Add(7, At(0, 0), nullptr);
  ents.Add(-3, At(0, 0), nullptr);
  struct Row {
    const char* key;
    bool found;
  };
  const Row rows[] = {{"7", true},   {"-3", true},          {"8", false},  {"07", false},
                      {"+7", false}, {" 7", false},         {"7 ", false}, {"", false},
                      {"x", false},  {"99999999999", false}};
  for (const Row& r : rows) {
    EXPECT_EQ(ents.Item(r.key) != nullptr, r.found) << '"' << r.key << '"';
  }
  EXPECT_EQ(ents.Item(0), nullptr);
  EXPECT_EQ(ents.Item(3), nullptr);
  EXPECT_EQ(ents.ItemByID(8), nullptr);
  ents.Remove("8");    // ignored
  ents.Remove("007");  // ignored
  EXPECT_EQ(ents.count(), 2);
  ents.Remove("7");
  EXPECT_EQ(ents.count(), 1);
  EXPECT_EQ(ents.Item(1)->ID, -3);
  EXPECT_EQ(ents.Item("7"), nullptr);
}

// Random adds, replacements and removals against a plain list that does
// everything the slow obvious way.
TEST(Entidades, OrderSurvivesManyReplacementsAndRemovals) {
  std::mt19937 rng(12345);
  Entidades ents;
  std::vector<int32_t> expected;
  for (int step = 0; step < 20000; ++step) {
    const auto id = static_cast<int32_t>(rng() % 300);
    const auto it = std::find(expected.begin(), expected.end(), id);
    if (rng() % 3 == 0) {
      ents.RemoveID(id);
      if (it != expected.end()) expected.erase(it);
    } else {
      ents.Add(id, At(id, step), nullptr);
      if (it != expected.end()) expected.erase(it);
      expected.push_back(id);
    }
    if (step % 997 == 0) {
      ASSERT_EQ(Order(ents), expected) << "step " << step;
      for (std::size_t k = 0; k < expected.size(); ++k) {
        ASSERT_EQ(ents.Item(static_cast<int32_t>(k + 1))->ID, expected[k]);
      }
    }
  }
  EXPECT_EQ(Order(ents), expected);
  EXPECT_EQ(ents.count(), static_cast<int32_t>(expected.size()));
  for (int32_t id : expected) {
    ASSERT_NE(ents.Item(std::to_string(id)), nullptr);
    EXPECT_EQ(ents.ItemByID(id)->ID, id);
  }
}

}  // namespace
}  // namespace orvenda
