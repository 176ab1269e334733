#include "dialogs/findterms.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <tuple>
#include <utility>

#include "model/layer.h"
#include "protocol/fieldvalue.h"

namespace orvenda {
namespace {

// Operator codes with their find-dialog texts and results-caption texts.
struct OperatorNames {
  std::uint8_t code;
  const char* text;
  const char* caption;
};
constexpr std::array<OperatorNames, 10> kOperators{{{1, "=", " = "},
                                                    {2, "Starting with", " Starting with "},
                                                    {3, "Ending with", " Ending with "},
                                                    {4, "Containing", " Contains "},
                                                    {5, "Distinct", " <> "},
                                                    {6, "<", " < "},
                                                    {7, "<=", " <= "},
                                                    {8, ">", " > "},
                                                    {9, ">=", " >= "},
                                                    {10, "Between", " Between "}}};
constexpr std::uint8_t kBetween = 10;

bool HasDigit(const std::string& text) {
  return std::any_of(text.begin(), text.end(),
                     [](unsigned char c) { return std::isdigit(c) != 0; });
}

std::optional<std::string> ValueFault(const Constraint& c, const std::string& value) {
  if (IsTextFieldType(c.fieldType)) {
    if (value.find_first_of("\"'") == std::string::npos) return std::nullopt;
    return "Quotes are not allowed in the value of the field " + c.field + ".";
  }
  // A number: what the key filter lets through before a digit counts as 0 when
  // a value is stored, but compares with nothing.
  if (HasDigit(value) && FieldValueFits(c.fieldType, value)) return std::nullopt;
  return "The value \"" + value + "\" does not suit the field " + c.field + ".";
}

// Upper case of the letters a value can hold on the wire (Windows-1252): ASCII,
// and the accented Latin-1 letters, which are two UTF-8 bytes from C3 A0 to C3 BE
// (but the division sign, C3 B7) and go up by 0x20 in their second byte.
std::string UpperCase(std::string text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      text[i] = static_cast<char>(std::toupper(byte));
    } else if (byte == 0xC3 && i + 1 < text.size()) {
      const auto next = static_cast<unsigned char>(text[++i]);
      if (next >= 0xA0 && next <= 0xBE && next != 0xB7) text[i] = static_cast<char>(next - 0x20);
    }
  }
  return text;
}

}  // namespace

const std::vector<std::string>& FindOperatorTexts(std::int16_t fieldType) {
  static const std::vector<std::string> text{"=", "Starting with", "Containing", "Ending with",
                                             "Distinct"};
  static const std::vector<std::string> other{"=", "<", "<=", ">", ">=", "Between", "Distinct"};
  return IsTextFieldType(fieldType) ? text : other;
}

std::uint8_t FindOperatorCode(const std::string& text) {
  for (const OperatorNames& o : kOperators) {
    if (text == o.text) return o.code;
  }
  return 0;
}

std::optional<std::string> FindOperatorText(std::uint8_t code, std::int16_t fieldType) {
  for (const std::string& text : FindOperatorTexts(fieldType)) {
    if (FindOperatorCode(text) == code) return text;
  }
  return std::nullopt;
}

bool HasFieldsToChoose(layer& lay) { return lay.Tipo != ImageLayer && lay.Campos().count() > 0; }

std::optional<std::string> ConditionValuesFault(const Constraint& c) {
  if (auto fault = ValueFault(c, c.value1)) return fault;
  if (c.op != kBetween) return std::nullopt;
  if (c.value2.empty()) return "Between needs a second value.";
  return ValueFault(c, c.value2);
}

std::string ConditionCaption(const Constraint& c) {
  std::string caption = c.field;
  for (const OperatorNames& o : kOperators) {
    if (o.code == c.op) caption += o.caption;
  }
  if (IsTextFieldType(c.fieldType)) {
    caption += "'" + UpperCase(c.value1) + "'";
  } else {
    caption += c.value1;
  }
  if (c.op == kBetween) caption += " And " + c.value2;
  return caption;
}

std::optional<AddressFault> AddressTermsFault(const std::string& street,
                                              const std::string& number) {
  if (street.size() < 3) return AddressFault{"Street name must have at least 3 characters", false};
  if (!HasDigit(number) || !FieldValueFits(3, number)) {
    return AddressFault{"You must type a street number", true};
  }
  return std::nullopt;
}

std::string CandidateLine(const AddressCandidates::Candidate& c) {
  return c.name + " (" + c.firstNumber + "-" + c.secondNumber + ")";
}

CandidateButtons CandidateButtonsFor(const std::optional<std::string>& selectedLine,
                                     bool anyLayer) {
  // The line of a candidate without texts, " (-)", names nothing to go to.
  if (!selectedLine || selectedLine->size() == 4) return {};
  return {true, anyLayer};
}

BoundingBox CandidateView(const AddressCandidates::Candidate& c) {
  const auto widen = [](double low, double high) {
    const double size = high - low;
    return size > 0 ? std::pair{low - 1.5 * size, high + 1.5 * size}
                    : std::pair{low - 0.001, high + 0.001};
  };
  BoundingBox view;
  std::tie(view.MinX, view.MaxX) = widen(c.minX, c.maxX);
  std::tie(view.MinY, view.MaxY) = widen(c.minY, c.maxY);
  return view;
}

}  // namespace orvenda
