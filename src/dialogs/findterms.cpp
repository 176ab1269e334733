#include "dialogs/findterms.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <tuple>
#include <utility>

#include "dialogs/constraintlist.h"
#include "model/layer.h"
#include "protocol/fieldvalue.h"

namespace orvenda {
namespace {

bool HasDigit(const std::string& text) {
  return std::any_of(text.begin(), text.end(),
                     [](unsigned char c) { return std::isdigit(c) != 0; });
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
  const auto texts = [](std::int16_t type) {
    std::vector<std::string> out;
    for (const std::uint8_t code : OperatorsFor(type)) out.push_back(OperatorOf(code)->find);
    return out;
  };
  static const std::vector<std::string> text = texts(200), other = texts(3);
  return IsTextFieldType(fieldType) ? text : other;
}

std::uint8_t FindOperatorCode(const std::string& text) {
  for (std::uint8_t code = 1; code <= 10; ++code) {
    if (text == OperatorOf(code)->find) return code;
  }
  return 0;
}

std::optional<std::string> FindOperatorText(std::uint8_t code, std::int16_t fieldType) {
  const std::vector<std::uint8_t> offered = OperatorsFor(fieldType);
  if (std::find(offered.begin(), offered.end(), code) == offered.end()) return std::nullopt;
  return OperatorOf(code)->find;
}

bool HasFieldsToChoose(layer& lay) { return lay.Tipo != ImageLayer && lay.Campos().count() > 0; }

std::string ConditionCaption(const Constraint& c) {
  std::string caption = c.field;
  if (const OperatorTexts* op = OperatorOf(c.op)) caption += op->caption;
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
