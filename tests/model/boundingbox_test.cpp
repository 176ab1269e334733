#include "model/boundingbox.h"

#include <gtest/gtest.h>

#include "model/tipolayer.h"

namespace orvenda {
namespace {

BoundingBox Box(double minX, double minY, double maxX, double maxY) {
  BoundingBox b;
  b.Union(minX, minY, maxX, maxY);
  return b;
}

// Boundaries count as inside, for intersection, containment and points alike.
TEST(BoundingBox, RelationsIncludeBoundaries) {
  const BoundingBox unit = Box(0, 0, 1, 1);
  // Two boxes; whether they intersect, whether the first contains the second.
  const std::tuple<BoundingBox, BoundingBox, bool, bool> rows[] = {
      {unit, Box(1, 1, 2, 2), true, false},
      {unit, Box(1.0000001, 0, 2, 1), false, false},
      {unit, Box(0, 1.0000001, 1, 2), false, false},
      {unit, Box(1, 0, 2, 1), true, false},
      {Box(0, 0, 10, 10), Box(2, 2, 3, 3), true, true},
      {Box(0, 0, 10, 10), Box(0, 0, 10, 10), true, true},
      {Box(0, 0, 10, 10), Box(0, 0, 10, 5), true, true},
      {Box(0, 0, 10, 10), Box(-0.1, 0, 10, 10), true, false},
      {Box(0, 0, 10, 10), Box(0, -0.1, 10, 10), true, false},
      {Box(0, 0, 10, 10), Box(0, 0, 10.1, 10), true, false},
      {Box(0, 0, 10, 10), Box(0, 0, 10, 10.1), true, false},
      {Box(0, 4, 10, 6), Box(4, 0, 6, 10), true, false},
      {Box(0, 0, 2, 1), Box(1, 5, 3, 6), false, false}};
  for (const auto& [a, b, intersect, aContainsB] : rows) {
    EXPECT_EQ(a.InterseccionCon(b), intersect) << b.MinX << "," << b.MinY;
    EXPECT_EQ(b.InterseccionCon(a), intersect) << b.MinX << "," << b.MinY;
    EXPECT_EQ(a.ContieneA(b), aContainsB) << b.MinX << "," << b.MinY;
    EXPECT_EQ(b.ContenidoPor(a), aContainsB) << b.MinX << "," << b.MinY;
  }
  BoundingBox inverted;  // starts before the other box: never overlaps it
  inverted.MinX = inverted.MinY = 5;
  inverted.MaxX = inverted.MaxY = -5;
  EXPECT_FALSE(inverted.InterseccionCon(unit));
  EXPECT_FALSE(unit.InterseccionCon(inverted));
  const BoundingBox b = Box(-1, -2, 3, 4);
  for (const auto& [x, y] : {Point{-1, -2}, Point{3, -2}, Point{3, 4}, Point{-1, 4}, Point{0, 0}})
    EXPECT_TRUE(b.PointInBoundingBox(x, y)) << x << ", " << y;
  for (const auto& [x, y] :
       {Point{-1.0001, 0}, Point{3.0001, 0}, Point{0, -2.0001}, Point{0, 4.0001}})
    EXPECT_FALSE(b.PointInBoundingBox(x, y)) << x << ", " << y;
}

}  // namespace
}  // namespace orvenda
