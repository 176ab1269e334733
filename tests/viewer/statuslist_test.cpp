// The rules of the status lines: requests of a kind counted on one line, a reply
// taking one off its request, an end removing its line and the last line moving
// into the freed place. (The texts themselves show in the viewer's own tests.)
#include "viewer/statuslist.h"

#include <gtest/gtest.h>

namespace orvenda {
namespace {

TEST(StatusList, RulesOfPosting) {
  struct Row {
    std::vector<std::pair<std::int32_t, int>> posts;  // layer, kind
    std::string caption;
    std::size_t entries;
  };
  const Row rows[] = {
      {{{0, 0}, {0, 1}, {0, 101}}, "", 0},
      {{{7, 10}, {7, 10}, {7, 11}}, "Requesting Layer Roads (1)\nLoading Layer Roads", 2},
      {{{7, 10}, {7, 11}}, "Loading Layer Roads", 1},
      {{{7, 10}, {7, 20}, {9, 40}, {7, 110}},
       "Requesting Theme Information Schools (1)\nRequesting Labels Roads (1)",
       2},
      {{{7, 50}, {7, 10}}, "Requesting Layer Roads (1)", 2},  // a kind without a text
  };
  for (const Row& row : rows) {
    StatusList list;
    for (const auto& [layer, kind] : row.posts) {
      list.Post(layer, kind, [](std::int32_t id) { return id == 7 ? "Roads" : "Schools"; });
    }
    EXPECT_EQ(list.Caption(), row.caption);
    EXPECT_EQ(list.entries().size(), row.entries) << row.caption;
  }
}

}  // namespace
}  // namespace orvenda
