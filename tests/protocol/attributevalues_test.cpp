// The check of attribute values before an edit goes out, and the form they go in.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "model/layer.h"
#include "protocol/attributeedit.h"
#include "protocol/fieldvalue.h"

namespace orvenda {
namespace {

TEST(FieldValueFits, EachTypeFamilyTakesItsValuesOnly) {
  struct Row {
    std::vector<std::int16_t> types;
    std::vector<std::string> fit, unfit;
  };
  // A lone sign or point, which the key filter lets through, and blanks count as 0.
  const Row rows[] = {
      {{2, 16, 17, 18},
       {"32767", "-32768", "7.0", " 12 ", "", "-", ".", "-."},
       {"32768", "-32769", "2.5", "abc", "--1"}},
      {{3, 19, 20, 21},
       {"2147483647", "-2147483648", "1e3"},
       {"2147483648", "-2147483649", "1.5", "0x10"}},
      {{4}, {"2.5", "-3.4e38"}, {"1e39", "1,5"}},
      {{5, 14, 131}, {"1e39", "-.001", "", "."}, {"1e309", "12abc", "inf", "nan", "1.2.3"}},
      {{8, 129, 130, 200, 201, 202, 203}, {"12abc", "", "O'Brien \"x\""}, {}},
      {{0, 6, 7, 11}, {}, {"1", ""}}};
  for (const Row& r : rows) {
    for (const std::int16_t type : r.types) {
      for (const std::string& t : r.fit) EXPECT_TRUE(FieldValueFits(type, t)) << type << " " << t;
      for (const std::string& t : r.unfit)
        EXPECT_FALSE(FieldValueFits(type, t)) << type << " " << t;
    }
  }
  // What goes out is what the server reads: plain numbers, nothing for blanks.
  const std::tuple<std::int16_t, const char*, const char*> sent[] = {
      {2, "7.0", "7"}, {3, " +1e3 ", "1000"}, {2, "-", "0"},
      {5, ".", "0"},   {4, "2.50", "2.5"},    {5, "-.5", "-0.5"},
      {3, "  ", ""},   {200, " a ", " a "},   {2, "40000", "40000"}};
  for (const auto& [type, text, out] : sent) EXPECT_EQ(FieldValueToSend(type, text), out) << text;
}

// Values handed over for an element are one per field, each suiting its field.
TEST(UnfitValues, CountAndEachValueAgainstItsField) {
  layer lay;
  lay.Nombre = "Parques";
  lay.Campos().Add("NOMBRE", 202);
  lay.Campos().Add("AREA", 3);
  const std::pair<std::vector<std::string>, std::string> rows[] = {
      {{"Central", "12"}, ""},
      {{"Central"}, "The layer Parques has 2 fields, not 1."},
      {{"Central", "12", "x"}, "The layer Parques has 2 fields, not 3."},
      {{"Central", "1.5"}, "The value \"1.5\" does not suit the field AREA."}};
  for (const auto& [values, problem] : rows) EXPECT_EQ(UnfitValues(lay, values), problem);
}

// The key filter of typed values. Types, the text so far, keys taken, keys refused
// (8 is Backspace).
TEST(FldVerify, KeyFilterByFieldType) {
  const std::tuple<std::vector<std::int16_t>, const char*, std::u32string, std::u32string> rows[] =
      {{{2, 3, 16, 20}, "", U"09-\b", U".e+ "},
       {{2, 3, 16, 20}, "1", U"5", U"-"},
       {{4, 5, 14, 131}, "", U"-.7\b", U"e, "},
       {{4, 5, 14, 131}, "1.", U"2", U".-"},
       {{17, 18, 19, 21}, "", U"9\b", U"-."},
       {{8, 129, 130, 200, 201, 202, 203}, "a", U"ñ-. ", U"'\""},
       {{0, 7, 11}, "", U"", U"1a"}};
  for (const auto& [types, text, taken, refused] : rows) {
    for (const std::int16_t type : types) {
      for (const char32_t k : taken)
        EXPECT_TRUE(FldVerify(text, static_cast<int>(k), type)) << type;
      for (const char32_t k : refused)
        EXPECT_FALSE(FldVerify(text, static_cast<int>(k), type)) << type;
    }
  }
}

}  // namespace
}  // namespace orvenda
