// The field value check applied to attribute values before an edit goes out.
#include <gtest/gtest.h>

#include <tuple>

#include "protocol/fieldvalue.h"

namespace orvenda {
namespace {

TEST(FieldValueFits, EachTypeFamilyTakesItsValuesOnly) {
  struct Row {
    std::int16_t type;
    const char* text;
    bool fits;
  };
  const Row rows[] = {// 16-bit whole numbers: 2, 16, 17, 18.
                      {2, "32767", true},
                      {2, "32768", false},
                      {16, "-32768", true},
                      {17, "-32769", false},
                      {18, "2.5", false},
                      {2, "7.0", true},
                      {2, " 12 ", true},
                      {2, "1e3", true},
                      // What the key filter lets through before a digit counts as 0.
                      {2, "", true},
                      {2, "-", true},
                      {18, ".", true},
                      {2, "-.", true},
                      // 32-bit: 3, 19, 20, 21.
                      {3, "2147483647", true},
                      {3, "2147483648", false},
                      {19, "-2147483648", true},
                      {21, "-2147483649", false},
                      {20, "40000", true},
                      {3, "1.5", false},
                      // Single and Double.
                      {4, "2.5", true},
                      {4, "1e39", false},
                      {4, "-3.4e38", true},
                      {5, "1e39", true},
                      {14, "1e309", false},
                      {131, "-0.001", true},
                      {5, "", true},
                      // Not numbers.
                      {3, "abc", false},
                      {5, "12abc", false},
                      {4, "1,5", false},
                      {5, "inf", false},
                      {5, "nan", false},
                      {2, "--1", false},
                      {5, "1.2.3", false},
                      {3, "0x10", false},
                      // Texts take anything; an unknown type nothing.
                      {8, "12abc", true},
                      {202, "", true},
                      {129, "O'Brien \"x\"", true},
                      {7, "1", false},
                      {0, "", false}};
  for (const Row& r : rows) {
    EXPECT_EQ(FieldValueFits(r.type, r.text), r.fits) << r.type << " \"" << r.text << "\"";
  }
}

// What goes out is what the server reads: plain numbers, 0 for a lone sign or
// point, nothing for blanks.
TEST(FieldValueToSend, NumbersInTheirPlainForm) {
  const std::tuple<std::int16_t, const char*, const char*> rows[] = {
      {2, "7.0", "7"},    {3, " +1e3 ", "1000"}, {2, "-", "0"}, {5, ".", "0"},
      {4, "2.50", "2.5"}, {5, "-.5", "-0.5"},    {3, "  ", ""}, {200, " a ", " a "},
      {3, "abc", "abc"},  {2, "40000", "40000"}, {131, "", ""}};
  for (const auto& [type, text, sent] : rows) EXPECT_EQ(FieldValueToSend(type, text), sent) << text;
}

}  // namespace
}  // namespace orvenda
