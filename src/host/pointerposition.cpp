#include "host/pointerposition.h"

#include <cmath>
#include <cstdint>

namespace orvenda {
namespace {

// Decimal text of hundredths without trailing zeros: 4500 -> "45", 1250 -> "12.5".
std::string Hundredths(std::int64_t h, char decimalPoint) {
  std::string text = std::to_string(h / 100);
  const auto frac = h % 100;
  if (frac == 0) return text;
  text += decimalPoint;
  text += static_cast<char>('0' + frac / 10);
  if (frac % 10 != 0) text += static_cast<char>('0' + frac % 10);
  return text;
}

}  // namespace

std::string FormatDMS(double v, char decimalPoint) {
  if (!std::isfinite(v)) return "0° 0' 0\"";
  const double a = std::fabs(v);
  auto degrees = static_cast<std::int64_t>(std::floor(a));
  const double f = (a - static_cast<double>(degrees)) * 60.0;
  auto minutes = static_cast<std::int64_t>(std::floor(f));
  // Binary fractions put exact seconds a hair below their value (62.2625 gives
  // 44.9999999…); a nudge far below a hundredth keeps them from losing a whole
  // hundredth when cut.
  auto hundredths =
      static_cast<std::int64_t>(std::floor((f - static_cast<double>(minutes)) * 6000.0 + 1e-6));
  if (hundredths >= 6000) {
    hundredths -= 6000;
    if (++minutes == 60) {
      minutes = 0;
      ++degrees;
    }
  }
  // The sign stands before the whole value: on the degrees alone, -0.5 would read
  // as 0° 30' east of the line.
  const bool negative = v < 0 && (degrees != 0 || minutes != 0 || hundredths != 0);
  return (negative ? "-" : "") + std::to_string(degrees) + "° " + std::to_string(minutes) + "' " +
         Hundredths(hundredths, decimalPoint) + "\"";
}

std::string FormatPointerPosition(double x, double y, char decimalPoint) {
  return "x: " + FormatDMS(x, decimalPoint) + ", y: " + FormatDMS(y, decimalPoint);
}

}  // namespace orvenda
