#include "store/condition.h"

#include <cctype>
#include <charconv>

#include "store/field_types.h"

namespace orvenda::server {
namespace {

std::string Upper(std::string t) {
  for (char& c : t) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return t;
}

double Number(const std::string& text) {
  auto v = ParseFieldValue(5, text);
  if (!v || !std::holds_alternative<double>(*v))
    throw StoreError(StoreFault::BadValue, "'" + text + "' is not a number");
  return std::get<double>(*v);
}

}  // namespace

ConditionTest::ConditionTest(const Condition& c, std::int16_t fieldType)
    : numeric_(IsNumericFieldType(fieldType)), op_(c.op) {
  if (op_ < 1 || op_ > 10)
    throw StoreError(StoreFault::BadValue, "unknown operator " + std::to_string(op_));
  text1_ = Upper(c.value1);
  text2_ = Upper(c.value2);
  // Operators 2-4 look at the text of a value whatever its type.
  if (numeric_ && (op_ == 1 || op_ >= 5)) {
    number1_ = Number(c.value1);
    if (op_ == 10) number2_ = Number(c.value2);
  }
}

bool ConditionTest::operator()(const Value& v) const {
  if (std::holds_alternative<std::monostate>(v)) return op_ == 5;
  const std::string text = Upper(ValueText(v));
  switch (op_) {
    case 2:
      return text.compare(0, text1_.size(), text1_) == 0;
    case 3:
      return text.size() >= text1_.size() &&
             text.compare(text.size() - text1_.size(), text1_.size(), text1_) == 0;
    case 4:
      return text.find(text1_) != std::string::npos;
    default:
      break;
  }
  if (!numeric_) {
    const int cmp = text.compare(text1_);
    switch (op_) {
      case 1:
        return cmp == 0;
      case 5:
        return cmp != 0;
      case 6:
        return cmp < 0;
      case 7:
        return cmp <= 0;
      case 8:
        return cmp > 0;
      case 9:
        return cmp >= 0;
      default:
        return cmp >= 0 && text.compare(text2_) <= 0;
    }
  }
  double x = 0;
  if (const auto* i = std::get_if<std::int64_t>(&v))
    x = static_cast<double>(*i);
  else if (const auto* d = std::get_if<double>(&v))
    x = *d;
  else
    return false;
  switch (op_) {
    case 1:
      return x == number1_;
    case 5:
      return x != number1_;
    case 6:
      return x < number1_;
    case 7:
      return x <= number1_;
    case 8:
      return x > number1_;
    case 9:
      return x >= number1_;
    default:
      return x >= number1_ && x <= number2_;
  }
}

}  // namespace orvenda::server
