#include "model/idindex.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <random>
#include <unordered_map>

namespace orvenda {
namespace {

// Random puts and erases against std::unordered_map, with ID patterns that stress
// linear probing: consecutive runs, large strides, negative and extreme values.
TEST(IdIndex, AgreesWithAStandardMapUnderChurn) {
  std::mt19937 rng(99);
  const std::vector<std::function<int32_t(uint32_t)>> patterns = {
      [](uint32_t k) { return static_cast<int32_t>(k % 5000); },
      [](uint32_t k) { return static_cast<int32_t>((k % 3000) * 1048576u); },
      [](uint32_t k) { return static_cast<int32_t>((k % 3000) * 16u); },
      [](uint32_t k) { return -static_cast<int32_t>(k % 4000); },
      [](uint32_t k) { return static_cast<int32_t>(k); }};
  for (std::size_t p = 0; p < patterns.size(); ++p) {
    IdIndex index;
    EXPECT_EQ(index.Find(0), IdIndex::kNone);
    EXPECT_FALSE(index.Erase(0));
    std::unordered_map<int32_t, uint32_t> expected;
    for (uint32_t step = 0; step < 60000; ++step) {
      const int32_t id = patterns[p](rng());
      if (rng() % 3 == 0) {
        ASSERT_EQ(index.Erase(id), expected.erase(id) == 1) << "pattern " << p;
        continue;
      }
      const auto it = expected.find(id);
      ASSERT_EQ(index.Put(id, step), it == expected.end() ? IdIndex::kNone : it->second) << p;
      expected[id] = step;
    }
    ASSERT_EQ(index.size(), expected.size()) << "pattern " << p;
    for (const auto& [id, slot] : expected) ASSERT_EQ(index.Find(id), slot) << p << " " << id;
    for (int32_t probe : {INT_MIN, INT_MAX, -1, 0, 7}) {
      const auto it = expected.find(probe);
      EXPECT_EQ(index.Find(probe), it == expected.end() ? IdIndex::kNone : it->second);
    }
    index.Clear();
    EXPECT_EQ(index.Find(7), IdIndex::kNone);
    index.Put(INT_MIN, 1);
    EXPECT_EQ(index.Find(INT_MIN), 1u);
  }
}

}  // namespace
}  // namespace orvenda
