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
      {"map requested", {{0, 0}}, "Requesting Map.", 1},
      {"map definition arriving replaces the request", {{0, 0}, {0, 1}}, "Loading Map.", 1},
      {"map loaded empties the list", {{0, 0}, {0, 1}, {0, 101}}, "", 0},
      {"two requests of one kind share a line with count 2",
       {{7, 10}, {7, 10}},
       "Requesting Layer Roads (2)",
       1},
      {"the end of a kind removes its line whatever the count",
       {{7, 10}, {7, 10}, {7, 10}, {7, 110}},
       "",
       0},
      {"a reply lowers its request by one and adds its own line",
       {{7, 10}, {7, 10}, {7, 11}},
       "Requesting Layer Roads (1)\nLoading Layer Roads",
       2},
      {"the last reply of a request removes the request line",
       {{7, 10}, {7, 11}},
       "Loading Layer Roads",
       1},
      {"a reply of another layer leaves the request alone",
       {{7, 10}, {9, 11}},
       "Requesting Layer Roads (1)\nLoading Layer Schools",
       2},
      {"removing moves the last entry into the freed place",
       {{7, 10}, {7, 20}, {9, 40}, {7, 110}},
       "Requesting Theme Information Schools (1)\nRequesting Labels Roads (1)",
       2},
      {"ending a kind not listed changes nothing",
       {{7, 10}, {9, 110}},
       "Requesting Layer Roads (1)",
       1},
      {"labels and information texts",
       {{7, 21}, {0, 30}, {0, 31}, {9, 41}},
       "Loading Labels.\nLoading Information.\nLoading Theme Information.",
       3},
      {"a kind without a text shows nothing but is listed",
       {{7, 50}, {7, 10}},
       "Requesting Layer Roads (1)",
       2},
      {"a layer the map does not hold shows an empty name", {{55, 10}}, "Requesting Layer  (1)", 1},
  };
  for (const Row& row : rows) {
    StatusList list;
    for (const Post& p : row.posts) list.Post(p.layer, p.kind, Name);
    EXPECT_EQ(list.Caption(), row.caption) << row.name;
    EXPECT_EQ(list.entries().size(), row.entries) << row.name;
    EXPECT_EQ(list.empty(), row.entries == 0) << row.name;
  }
}

TEST(StatusList, CountsShowInTheTextAsTheyChange) {
  StatusList list;
  for (int n = 0; n < 12; ++n) list.Post(7, 20, Name);
  EXPECT_EQ(list.Caption(), "Requesting Labels Roads (12)");
  list.Post(7, 21, Name);
  EXPECT_EQ(list.Caption(), "Requesting Labels Roads (11)\nLoading Labels.");
  list.Post(7, 121, Name);
  EXPECT_EQ(list.Caption(), "Requesting Labels Roads (11)");
  list.Post(7, 120, Name);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(list.Caption(), "");
}

}  // namespace
}  // namespace orvenda
