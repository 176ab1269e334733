#include "model/thematicmap.h"

#include <cctype>
#include <charconv>
#include <memory>

#include "model/campo.h"

namespace orvenda {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Removes leading and trailing spaces (only spaces, as the classification
// always has).
std::string_view TrimSpaces(std::string_view s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) {
    return {};
  }
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

}  // namespace

double LeadingNumber(std::string_view text) {
  const auto start = text.find_first_not_of(" \t\n\v\f\r");
  if (start == std::string_view::npos) {
    return 0;
  }
  text.remove_prefix(start);
  const bool negative = text.front() == '-';
  if (negative || text.front() == '+') {
    text.remove_prefix(1);
  }
  // from_chars would also read "inf" and "nan", which are no numbers here: a digit
  // must come first, or a point and a digit.
  const bool digitFirst = !text.empty() && IsDigit(text.front());
  if (!digitFirst && !(text.size() > 1 && text[0] == '.' && IsDigit(text[1]))) {
    return 0;
  }
  // "D" is the old double exponent letter and reads like "E"; an exponent without
  // digits after it is left unread by from_chars.
  std::string number(text);
  const auto mantissaEnd = number.find_first_not_of("0123456789.");
  if (mantissaEnd != std::string::npos &&
      (number[mantissaEnd] == 'd' || number[mantissaEnd] == 'D')) {
    number[mantissaEnd] = 'e';
  }
  double value = 0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec != std::errc()) {
    return 0;
  }
  return negative ? -value : value;
}

Theme& ThematicMap::Add(int16_t DrawStyle, int16_t DrawWidth, uint32_t DrawColor,
                        uint32_t FillColor, int16_t FillStyle, const std::string& ValMin,
                        const std::string& ValMax) {
  auto theme = std::make_unique<Theme>();
  theme->DrawStyle = DrawStyle;
  theme->DrawWidth = DrawWidth;
  theme->DrawColor = DrawColor;
  theme->FillColor = FillColor;
  theme->FillStyle = FillStyle;
  theme->min = ValMin;
  theme->max = ValMax;
  ++counter_;
  return items_.Add(std::to_string(counter_), std::move(theme));
}

void ThematicMap::Clear() {
  items_.Clear();
  counter_ = 0;
}

std::optional<int32_t> ThematicMap::ClassOf(std::string_view value, int32_t fieldType) const {
  const bool text = IsTextFieldType(fieldType);
  const std::string_view trimmed = TrimSpaces(value);
  const double number = text ? 0 : LeadingNumber(value);
  int32_t position = 0;
  for (const Theme& theme : items_) {
    ++position;
    if (text) {
      if (trimmed == theme.min) {
        return position;
      }
    } else if (position > 1 && LeadingNumber(theme.min) <= number &&
               number <= LeadingNumber(theme.max)) {
      return position;
    }
  }
  return std::nullopt;
}

}  // namespace orvenda
