#include "protocol/fieldvalue.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include "protocol/codepage.h"
#include "protocol/protocolerror.h"

namespace orvenda {
namespace {

double AsNumber(const FieldValue& v) {
  if (const auto* i = std::get_if<std::int64_t>(&v)) return static_cast<double>(*i);
  if (const auto* d = std::get_if<double>(&v)) return *d;
  if (const auto* s = std::get_if<std::string>(&v)) {
    double out = 0;
    std::from_chars(s->data(), s->data() + s->size(), out);
    return out;
  }
  return 0;
}

template <typename T>
T Clamped(const FieldValue& v) {
  if (const auto* i = std::get_if<std::int64_t>(&v)) {
    return static_cast<T>(
        std::clamp<std::int64_t>(*i, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
  }
  const double d = AsNumber(v);
  if (!std::isfinite(d)) return 0;
  return static_cast<T>(std::clamp(std::nearbyint(d), double{std::numeric_limits<T>::min()},
                                   double{std::numeric_limits<T>::max()}));
}

template <typename T>
std::string ShortestText(T value) {
  char out[40];
  const auto res = std::to_chars(out, out + sizeof out, value);
  return std::string(out, res.ptr);
}

// The number a whole text reads as, blanks around it allowed; nothing for a text
// that is not one number (a letter, a second point, a comma) or that overflows.
std::optional<double> WholeNumber(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return 0.0;
  const std::string t = text.substr(first, text.find_last_not_of(' ') - first + 1);
  if (t == "-" || t == "." || t == "-.") return 0.0;
  // from_chars would take "inf", "nan" and hexadecimal-looking texts: only digits,
  // one point, a leading minus and an exponent are numbers here.
  if (t.find_first_not_of("0123456789.-+eE") != std::string::npos) return std::nullopt;
  double out = 0;
  const char* begin = t.data() + (t.front() == '+' ? 1 : 0);
  const auto [end, error] = std::from_chars(begin, t.data() + t.size(), out);
  if (error != std::errc() || end != t.data() + t.size() || !std::isfinite(out)) {
    return std::nullopt;
  }
  return out;
}

template <typename T>
bool WholeWithin(double value) {
  return value == std::trunc(value) && value >= double{std::numeric_limits<T>::lowest()} &&
         value <= double{std::numeric_limits<T>::max()};
}

}  // namespace

bool FieldValueFits(std::int16_t type, const std::string& text) {
  const FieldWire wire = FieldWireOf(type);
  if (wire == FieldWire::String) return true;
  if (wire == FieldWire::Unknown) return false;
  const std::optional<double> value = WholeNumber(text);
  if (!value) return false;
  switch (wire) {
    case FieldWire::Integer:
      return WholeWithin<std::int16_t>(*value);
    case FieldWire::Long:
      return WholeWithin<std::int32_t>(*value);
    case FieldWire::Single:
      return std::abs(*value) <= double{std::numeric_limits<float>::max()};
    default:
      return true;
  }
}

std::string FieldValueToSend(std::int16_t type, const std::string& text) {
  const FieldWire wire = FieldWireOf(type);
  if (wire == FieldWire::String || wire == FieldWire::Unknown) return text;
  if (text.find_first_not_of(' ') == std::string::npos) return {};
  const std::optional<double> value = WholeNumber(text);
  if (!value || !FieldValueFits(type, text)) return text;
  if (wire == FieldWire::Integer || wire == FieldWire::Long) {
    return std::to_string(static_cast<std::int64_t>(*value));
  }
  return ShortestText(*value);
}

FieldWire FieldWireOf(std::int16_t fieldType) {
  switch (fieldType) {
    case 2:
    case 16:
    case 17:
    case 18:
      return FieldWire::Integer;
    case 3:
    case 19:
    case 20:
    case 21:
      return FieldWire::Long;
    case 4:
      return FieldWire::Single;
    case 5:
    case 14:
    case 131:
      return FieldWire::Double;
    case 8:
    case 129:
    case 130:
    case 200:
    case 201:
    case 202:
    case 203:
      return FieldWire::String;
    default:
      return FieldWire::Unknown;
  }
}

std::string FieldValueText(const FieldValue& value) {
  if (const auto* s = std::get_if<std::string>(&value)) return *s;
  if (const auto* i = std::get_if<std::int64_t>(&value)) return std::to_string(*i);
  if (const auto* d = std::get_if<double>(&value)) return ShortestText(*d);
  return {};
}

void PutFieldValue(DWBUffer& b, std::int16_t fieldType, const FieldValue& value) {
  switch (FieldWireOf(fieldType)) {
    case FieldWire::Integer:
      b.PutInteger(Clamped<std::int16_t>(value));
      break;
    case FieldWire::Long:
      b.PutLong(Clamped<std::int32_t>(value));
      break;
    case FieldWire::Single:
      b.PutSingle(static_cast<float>(AsNumber(value)));
      break;
    case FieldWire::Double:
      b.PutDouble(AsNumber(value));
      break;
    case FieldWire::String:
    case FieldWire::Unknown:
      PutTextCut(b, FieldValueText(value));
      break;
  }
}

std::string GetFieldValue(DWBUffer& b, std::int16_t fieldType) {
  switch (FieldWireOf(fieldType)) {
    case FieldWire::Integer:
      return std::to_string(b.GetInteger());
    case FieldWire::Long:
      return std::to_string(b.GetLong());
    case FieldWire::Single:
      return ShortestText(b.GetSingle());
    case FieldWire::Double:
      return ShortestText(b.GetDouble());
    case FieldWire::String:
      return b.GetString();
    case FieldWire::Unknown:
      break;
  }
  throw MalformedField("a value of field type " + std::to_string(fieldType) +
                       " has no known encoding");
}

void PutTextCut(DWBUffer& b, std::string_view utf8) {
  constexpr std::size_t kMax = 32767;
  if (utf8.size() <= kMax || Cp1252Length(utf8) <= kMax) {
    b.PutString(utf8);
    return;
  }
  b.PutString(Cp1252ToUtf8(Utf8ToCp1252(utf8).substr(0, kMax)));
}

bool FldVerify(const std::string& text, int key, std::int16_t type) {
  const FieldWire wire = FieldWireOf(type);
  if (wire == FieldWire::String) return key != '"' && key != '\'';
  if (wire == FieldWire::Unknown) return false;
  const bool control = key < 32;
  const bool digit = key >= '0' && key <= '9';
  // The unsigned whole-number types take no sign.
  const bool isUnsigned = type == 17 || type == 18 || type == 19 || type == 21;
  const bool sign = key == '-' && text.empty() && !isUnsigned;
  const bool real = wire == FieldWire::Single || wire == FieldWire::Double;
  const bool point = real && key == '.' && text.find('.') == std::string::npos;
  return control || digit || sign || point;
}

}  // namespace orvenda
