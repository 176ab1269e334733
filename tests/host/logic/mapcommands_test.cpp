// The guest rule.
#include "host/mapcommands.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace orvenda
