#pragma once
// The pointer position of the status bar: each coordinate in degrees, minutes
// and seconds, the seconds cut (not rounded) to hundredths.

#include <string>

namespace orvenda {

// `v` as "D° M' S\"", a minus sign before a negative value (-0.5 is "-0° 30' 0\"");
// numbers carry no trailing zeros and use `decimalPoint` as the separator of the
// seconds' fraction.
std::string FormatDMS(double v, char decimalPoint = '.');

// "x: " X ", y: " Y, both as FormatDMS.
std::string FormatPointerPosition(double x, double y, char decimalPoint = '.');

}  // namespace orvenda
