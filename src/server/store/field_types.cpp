#include "store/field_types.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace orvenda::server {
namespace {

struct IntRange {
  std::int64_t lo, hi;
};

// Ranges are those of the ADO types, narrowed to what the wire field carries (the
// unsigned 16-bit and the 64-bit types travel as signed 16- and 32-bit numbers).
std::optional<IntRange> IntegerRange(std::int16_t type) {
  switch (type) {
    case 2:
      return IntRange{-32768, 32767};
    case 16:
      return IntRange{-128, 127};
    case 17:
      return IntRange{0, 255};
    case 18:
      return IntRange{0, 32767};
    case 3:
    case 20:
      return IntRange{std::numeric_limits<std::int32_t>::min(),
                      std::numeric_limits<std::int32_t>::max()};
    case 19:
    case 21:
      return IntRange{0, std::numeric_limits<std::int32_t>::max()};
    default:
      return std::nullopt;
  }
}

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  const auto e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

}  // namespace

std::optional<std::size_t> FindField(const std::vector<FieldDef>& fields, const std::string& name) {
  auto upper = [](std::string t) {
    for (char& c : t) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return t;
  };
  const std::string wanted = upper(name);
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (upper(fields[i].name) == wanted) return i;
  return std::nullopt;
}

bool IsKnownFieldType(std::int16_t type) { return FieldWireOf(type) != FieldWire::Unknown; }

bool IsNumericFieldType(std::int16_t type) {
  const FieldWire k = FieldWireOf(type);
  return k != FieldWire::String && k != FieldWire::Unknown;
}

std::optional<Value> CoerceFieldValue(std::int16_t type, const Value& v) {
  if (std::holds_alternative<std::monostate>(v)) return v;
  switch (FieldWireOf(type)) {
    case FieldWire::Integer:
    case FieldWire::Long: {
      const auto* i = std::get_if<std::int64_t>(&v);
      const auto r = IntegerRange(type);
      if (!i || !r || *i < r->lo || *i > r->hi) return std::nullopt;
      return v;
    }
    case FieldWire::Single:
    case FieldWire::Double: {
      double d = 0;
      if (const auto* i = std::get_if<std::int64_t>(&v))
        d = static_cast<double>(*i);
      else if (const auto* x = std::get_if<double>(&v))
        d = *x;
      else
        return std::nullopt;
      if (!std::isfinite(d)) return std::nullopt;
      if (FieldWireOf(type) == FieldWire::Single &&
          std::fabs(d) > static_cast<double>(std::numeric_limits<float>::max()))
        return std::nullopt;
      return Value{d};
    }
    case FieldWire::String:
      if (const auto* s = std::get_if<std::string>(&v)) {
        // The wire counts characters in a 16-bit Integer.
        if (s->size() > 32767) return std::nullopt;
        return v;
      }
      return Value{ValueText(v)};
    case FieldWire::Unknown:
      break;
  }
  return std::nullopt;
}

std::optional<Value> ParseFieldValue(std::int16_t type, const std::string& text) {
  const FieldWire kind = FieldWireOf(type);
  if (kind == FieldWire::String) return CoerceFieldValue(type, Value{text});
  const std::string t = Trim(text);
  if (t.empty()) return Value{std::monostate{}};
  const char* b = t.data();
  const char* e = t.data() + t.size();
  if (kind == FieldWire::Integer || kind == FieldWire::Long) {
    std::int64_t i = 0;
    auto [p, ec] = std::from_chars(b, e, i);
    if (ec != std::errc() || p != e) return std::nullopt;
    return CoerceFieldValue(type, Value{i});
  }
  if (kind == FieldWire::Single || kind == FieldWire::Double) {
    double d = 0;
    auto [p, ec] = std::from_chars(b, e, d);
    if (ec != std::errc() || p != e) return std::nullopt;
    return CoerceFieldValue(type, Value{d});
  }
  return std::nullopt;
}

std::string ValueText(const Value& v) { return FieldValueText(v); }

}  // namespace orvenda::server
