#include "model/thematicmap.h"

#include <gtest/gtest.h>

namespace orvenda {
namespace {

// Numeric fields: the first class whose bounds hold the value's leading number, the
// default class (position 1) skipped. Text fields: the trimmed exact text, default included.
TEST(ThematicMap, ClassOfNumbersAndTexts) {
  ThematicMap numbers, texts;
  numbers.Add(0, 1, 0, 0, 0, kAnyValueClass, "");
  numbers.Add(0, 1, 0, 0, 0, "0", "10");
  numbers.Add(0, 1, 0, 0, 0, "10", "20");
  const std::pair<const char*, std::optional<int32_t>> numeric[] = {
      {"10", 2}, {"15 m", 3},          {"sin datos", 2},          {"  7.5", 2},
      {"20", 3}, {"-1", std::nullopt}, {"20.0001", std::nullopt}, {"1.5e1", 3}};
  for (const auto& [value, position] : numeric)
    EXPECT_EQ(numbers.ClassOf(value, 3), position) << value;
  for (const char* v : {kAnyValueClass, "Centro", "Norte"}) texts.Add(0, 1, 0, 0, 0, v, "");
  for (int32_t type : {8, 129, 130, 200, 201, 202, 203}) {
    EXPECT_EQ(texts.ClassOf("  Centro ", type), 2) << type;
    EXPECT_EQ(texts.ClassOf("centro", type), std::nullopt) << type;
    EXPECT_EQ(texts.ClassOf(kAnyValueClass, type), 1) << type;
  }
  EXPECT_EQ(texts.ClassOf("\tCentro", 202), std::nullopt) << "tabs are not spaces";
}

TEST(LeadingNumber, ReadsTheNumberAtTheStartOfTheText) {
  const std::pair<const char*, double> rows[] = {
      {"15 m", 15}, {"", 0},       {"abc", 0},  {"-3.25x", -3.25}, {"+4", 4},     {".5", 0.5},
      {"5.", 5},    {".", 0},      {"-", 0},    {"  12", 12},      {"1e3", 1000}, {"2E-2", 0.02},
      {"1D2", 100}, {"3e", 3},     {"7e+", 7},  {"1,5", 1},        {"0010", 10},  {"9:", 9},
      {"/5", 0},    {"-.5e1", -5}, {"4d+1", 40}};
  for (const auto& [text, value] : rows) EXPECT_DOUBLE_EQ(LeadingNumber(text), value) << text;
}

}  // namespace
}  // namespace orvenda
