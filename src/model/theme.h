#pragma once

#include <cstdint>
#include <string>

namespace orvenda {

// One thematic class of a layer: the value or range it applies to and how
// its elements are drawn. Bounds travel as text; numeric classes read them
// as numbers when classifying.
struct Theme {
  std::string max;  // upper bound (numeric fields only)
  std::string min;  // lower bound, or the exact value of a text class
  int32_t FillStyle = 0;
  uint32_t FillColor = 0xC0C000;
  uint32_t DrawColor = 0xFF0000;
  int32_t DrawWidth = 1;
  int32_t DrawStyle = 0;
};

// `min` of the class that applies to any value (the layer's default class).
inline constexpr const char* kAnyValueClass = "MICanyMIC";
// `DrawStyle` that draws no outline (and hides points and lines).
inline constexpr int32_t kTransparentDraw = 5;
// `FillStyle` that draws no fill.
inline constexpr int32_t kTransparentFill = 1;

}  // namespace orvenda
