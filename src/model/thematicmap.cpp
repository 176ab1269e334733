#include "model/thematicmap.h"

#include <cctype>
#include <charconv>
#include <memory>

#include "model/campo.h"

namespace orvenda {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t SkipDigits(std::string_view s, std::size_t at) {
  while (at < s.size() && IsDigit(s[at])) {
    ++at;
  }
  return at;
}

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
  std::size_t at = 0;
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])) != 0) {
    ++at;
  }
  std::string number;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    if (text[at] == '-') {
      number += '-';
    }
    ++at;
  }
  const std::size_t mantissaStart = at;
  at = SkipDigits(text, at);
  if (at < text.size() && text[at] == '.') {
    at = SkipDigits(text, at + 1);
  }
  if (at == mantissaStart || (at == mantissaStart + 1 && text[mantissaStart] == '.')) {
    return 0;
  }
  number.append(text.substr(mantissaStart, at - mantissaStart));
  // An exponent counts only when digits follow it; "D" is the old double
  // exponent letter and reads like "E".
  if (at < text.size() &&
      (text[at] == 'e' || text[at] == 'E' || text[at] == 'd' || text[at] == 'D')) {
    std::size_t expAt = at + 1;
    std::string exponent = "e";
    if (expAt < text.size() && (text[expAt] == '+' || text[expAt] == '-')) {
      exponent += text[expAt++];
    }
    const std::size_t expEnd = SkipDigits(text, expAt);
    if (expEnd > expAt) {
      number += exponent;
      number.append(text.substr(expAt, expEnd - expAt));
    }
  }
  double value = 0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  return result.ec == std::errc() ? value : 0;
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

std::optional<int32_t> ThematicMap::ClassOf(const std::string& value, int32_t fieldType) const {
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
