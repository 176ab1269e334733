#pragma once
// The pointer position of the status bar: each coordinate in degrees, minutes
// and seconds, the seconds cut (not rounded) to hundredths.

#include <string>

namespace orvenda {

// `v` as "D° M' S\"": the sign rides on the degrees only, so a value between -1
// and 0 shows no minus sign; numbers carry no trailing zeros and use
// `decimalPoint` as the separator of the seconds' fraction.
std::string FormatDMS(double v, char decimalPoint = '.');

// "x: " X ", y: " Y, both as FormatDMS.
std::string FormatPointerPosition(double x, double y, char decimalPoint = '.');

}  // namespace orvenda
