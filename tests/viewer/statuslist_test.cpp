#include "viewer/statuslist.h"

#include <gtest/gtest.h>

namespace orvenda {
namespace {

struct Post {
  std::int32_t layer;
  int kind;
};

struct Row {
  const char* name;
  std::vector<Post> posts;
  std::string caption;
  std::size_t entries;
};

std::string Name(std::int32_t id) {
  if (id == 7) return "Roads";
  if (id == 9) return "Schools";
  return "";
}

TEST(StatusList, RulesOfPostingTable) {
  const std::vector<Row> rows = {
      {"the definition replaces the request", {{0, 0}, {0, 1}}, "Loading Map.", 1},
      {"a loaded map empties the list", {{0, 0}, {0, 1}, {0, 101}}, "", 0},
      {"two requests share a line", {{7, 10}, {7, 10}}, "Requesting Layer Roads (2)", 1},
      {"the end of a kind removes its line", {{7, 10}, {7, 10}, {7, 10}, {7, 110}}, "", 0},
      {"a reply lowers its request by one and adds its own line",
       {{7, 10}, {7, 10}, {7, 11}},
       "Requesting Layer Roads (1)\nLoading Layer Roads",
       2},
      {"the last reply removes the request line", {{7, 10}, {7, 11}}, "Loading Layer Roads", 1},
      {"removing moves the last entry into the freed place",
       {{7, 10}, {7, 20}, {9, 40}, {7, 110}},
       "Requesting Theme Information Schools (1)\nRequesting Labels Roads (1)",
       2},
      {"labels and information texts",
       {{7, 21}, {0, 30}, {0, 31}, {9, 41}},
       "Loading Labels.\nLoading Information.\nLoading Theme Information.",
       3},
      {"a kind without a text is listed", {{7, 50}, {7, 10}}, "Requesting Layer Roads (1)", 2},
  };

  for (const Row& row : rows) {
    StatusList list;
    for (const Post& p : row.posts) list.Post(p.layer, p.kind, Name);
    EXPECT_EQ(list.Caption(), row.caption) << row.name;
    EXPECT_EQ(list.entries().size(), row.entries) << row.name;
    EXPECT_EQ(list.empty(), row.entries == 0) << row.name;
  }
}

}  // namespace
}  // namespace orvenda
