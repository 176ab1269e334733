#pragma once

#include <cstdint>

namespace orvenda {

// Kind of a layer and of its elements. Code that branches on kind treats 2
// and 3 alike (both are polylines).
using TipoLayer = int32_t;
inline constexpr TipoLayer pointlayer = 1;
inline constexpr TipoLayer polylinelayer = 2;
inline constexpr TipoLayer polygonlayer = 4;
inline constexpr TipoLayer ImageLayer = 5;

// The user's rights on a layer.
using CONSTACCESSLEVEL = int32_t;
inline constexpr CONSTACCESSLEVEL ALNoAccess = 0;
inline constexpr CONSTACCESSLEVEL ALViewer = 1;
inline constexpr CONSTACCESSLEVEL ALEditor = 2;
inline constexpr CONSTACCESSLEVEL ALDraw = 3;

// One vertex in geographic degrees (X longitude, Y latitude).
struct Point {
  double X = 0;
  double Y = 0;
  bool operator==(const Point&) const = default;
};

}  // namespace orvenda
