#include "store/field_types.h"

#include <gtest/gtest.h>

namespace orvenda::server {
namespace {

TEST(FieldTypes, TextsAreCheckedAgainstWhatTheWireCarries) {
  struct Row {
    const char* name;
    std::int16_t type;
    const char* text;
    std::optional<Value> want;
  };
  const Row rows[] = {
      {"smallint", 2, "-32768", Value{std::int64_t{-32768}}},
      {"smallint overflow", 2, "32768", std::nullopt},
      {"unsigned smallint beyond Integer", 18, "40000", std::nullopt},
      {"bigint travels as Long", 20, "3000000000", std::nullopt},
      {"integer", 3, " 42 ", Value{std::int64_t{42}}},
      {"integer with junk", 3, "42x", std::nullopt},
      {"single overflow", 4, "1e39", std::nullopt},
      {"empty is NULL", 3, "  ", Value{std::monostate{}}},
      {"unknown type", 7, "1", std::nullopt},
  };
  for (const Row& r : rows) EXPECT_EQ(ParseFieldValue(r.type, r.text), r.want) << r.name;
  EXPECT_EQ(ValueText(Value{0.1}), "0.1");
}

}  // namespace
}  // namespace orvenda::server
