// The guest rule and the list of what the map commands switch.
#include "host/mapcommands.h"

#include <gtest/gtest.h>

#include <map>

namespace orvenda {
namespace {

TEST(MapCommands, GuestNamesInAnyCaseOnly) {
  struct Row {
    const char* name;
    bool guest;
  };
  const Row rows[] = {{"invitado", true}, {"INVITADO", true},   {"Guest", true},
                      {"gUeSt", true},    {"anonimo", true},    {"ANONIMO", true},
                      {"guests", false},  {"invitado1", false}, {"anon", false},
                      {"", false},        {" guest", false},    {"demo", false}};
  for (const auto& row : rows) EXPECT_EQ(IsGuestUser(row.name), row.guest) << row.name;
}

// The final value of every item after applying the list in order.
std::map<std::pair<std::string, CommandProperty>, bool> Final(bool on, bool guest) {
  std::map<std::pair<std::string, CommandProperty>, bool> state;
  for (const auto& s : MapCommandSettings(on, guest)) state[{s.name, s.property}] = s.value;
  return state;
}

TEST(MapCommands, OnAndOffSetTheSameItems) {
  for (const bool guest : {false, true}) {
    const auto on = Final(true, guest);
    const auto off = Final(false, guest);
    ASSERT_EQ(on.size(), off.size());
    for (const auto& [item, value] : off) {
      EXPECT_EQ(on.count(item), 1u) << item.first;
      EXPECT_FALSE(value) << item.first << " must be off without a map";
    }
  }
  const auto on = Final(true, false);
  EXPECT_TRUE((on.at({"", CommandProperty::Enabled})));
  EXPECT_TRUE((on.at({"Zoom In", CommandProperty::Enabled})));
  EXPECT_TRUE((on.at({"SaveMap", CommandProperty::Enabled})));
  EXPECT_TRUE((on.at({"mnuNavigate", CommandProperty::Visible})));
  EXPECT_TRUE((on.at({"mnusep3", CommandProperty::Visible})));
  EXPECT_TRUE((on.at({"mnuChangePassword", CommandProperty::Enabled})));
  EXPECT_EQ(on.count({"MapList", CommandProperty::Enabled}), 0u) << "the map list is always on";
  EXPECT_EQ(on.count({"About", CommandProperty::Enabled}), 0u);
}

TEST(MapCommands, GuestNeverGetsPasswordOrSaving) {
  const auto on = Final(true, true);
  EXPECT_FALSE((on.at({"mnuChangePassword", CommandProperty::Enabled})));
  EXPECT_FALSE((on.at({"mnuSaveMap", CommandProperty::Enabled})));
  EXPECT_FALSE((on.at({"mnuSaveAs", CommandProperty::Enabled})));
  EXPECT_FALSE((on.at({"SaveMap", CommandProperty::Enabled})));
  EXPECT_TRUE((on.at({"mnuSaveMap", CommandProperty::Visible}))) << "shown, but disabled";
  EXPECT_TRUE((on.at({"Pan", CommandProperty::Enabled})));
}

}  // namespace
}  // namespace orvenda
