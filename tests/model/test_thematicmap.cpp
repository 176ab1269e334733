#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

#include "model/thematicmap.h"

namespace orvenda {
namespace {

TEST(ThematicMap, CounterNamesClassesAndRemoveDoesNotLowerIt) {
  ThematicMap map;
  map.Add(0, 1, 0xFF0000, 0xC0C000, 0, kAnyValueClass, "");
  map.Add(1, 2, 0x00FF00, 0x0000FF, 2, "0", "10");
  map.Add(5, 1, 0, 0, 1, "10", "20");
  EXPECT_EQ(map.Item("2").DrawWidth, 2);
  EXPECT_EQ(map.Item(3).DrawStyle, 5);
  map.Remove("2");
  Theme& added = map.Add(0, 3, 0, 0, 0, "20", "30");
  // Three classes were added since creation, so the new one is "4", at position 3.
  EXPECT_EQ(&map.Item("4"), &added);
  EXPECT_EQ(&map.Item(3), &added);
  EXPECT_EQ(map.count(), 3);
  EXPECT_THROW(map.Item("2"), std::out_of_range);
  EXPECT_EQ(map.Find("2"), nullptr);
  EXPECT_THROW(map.Item(4), std::out_of_range);

  map.Clear();
  map.Add(0, 1, 0, 0, 0, kAnyValueClass, "");
  EXPECT_EQ(map.Item("1").min, kAnyValueClass);
}

TEST(ThematicMap, NumericClassesFirstMatchWinsAndDefaultIsSkipped) {
  ThematicMap map;
  map.Add(0, 1, 0, 0, 0, kAnyValueClass, "");
  map.Add(0, 1, 0, 0, 0, "0", "10");
  map.Add(0, 1, 0, 0, 0, "10", "20");
  struct Row {
    const char* value;
    std::optional<int32_t> position;
  };
  const Row rows[] = {
      {"10", 2},
      {"15 m", 3},
      {"sin datos", 2},
      {"  7.5", 2},
      {"20", 3},
      {"20.0001", std::nullopt},
      {"-1", std::nullopt},
      {"1.5e1", 3},
      {"MICanyMIC", 2},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(map.ClassOf(r.value, 3), r.position) << r.value;
  }
}

TEST(ThematicMap, TextClassesCompareTrimmedExactText) {
  ThematicMap map;
  map.Add(0, 1, 0, 0, 0, kAnyValueClass, "");
  map.Add(0, 1, 0, 0, 0, "Centro", "");
  map.Add(0, 1, 0, 0, 0, "Norte", "");
  for (int32_t type : {8, 129, 130, 200, 201, 202, 203}) {
    EXPECT_EQ(map.ClassOf("  Centro ", type), 2) << type;
    EXPECT_EQ(map.ClassOf("centro", type), std::nullopt) << type;
    EXPECT_EQ(map.ClassOf("Norte", type), 3) << type;
    EXPECT_EQ(map.ClassOf("MICanyMIC", type), 1) << type;  // the default class is compared too
  }
  // Tabs are not spaces: they stay part of the value.
  EXPECT_EQ(map.ClassOf("\tCentro", 202), std::nullopt);
}

TEST(LeadingNumber, ReadsTheNumberAtTheStartOfTheText) {
  struct Row {
    const char* text;
    double value;
  };
  const Row rows[] = {
      {"15 m", 15}, {"", 0},   {"abc", 0}, {"-3.25x", -3.25}, {"+4", 4},     {".5", 0.5},
      {"5.", 5},    {".", 0},  {"-", 0},   {"  12", 12},      {"1e3", 1000}, {"2E-2", 0.02},
      {"1D2", 100}, {"3e", 3}, {"7e+", 7}, {"1,5", 1},        {"0010", 10},
  };
  for (const Row& r : rows) {
    EXPECT_DOUBLE_EQ(LeadingNumber(r.text), r.value) << '"' << r.text << '"';
  }
}

}  // namespace
}  // namespace orvenda
