#include <gtest/gtest.h>

#include <ostream>

#include "model/boundingbox.h"

namespace orvenda {

// Failure messages print boxes readably.
void PrintTo(const BoundingBox& b, std::ostream* os) {
  *os << "(" << b.MinX << ", " << b.MinY << ")-(" << b.MaxX << ", " << b.MaxY << ")";
}

namespace {

BoundingBox Box(double minX, double minY, double maxX, double maxY) {
  BoundingBox b;
  b.MinX = minX;
  b.MinY = minY;
  b.MaxX = maxX;
  b.MaxY = maxY;
  return b;
}

TEST(BoundingBox, NewBoxIsEmptyAndFirstUnionReplacesAllFour) {
  BoundingBox b;
  EXPECT_FALSE(b.PointInBoundingBox(0, 0));
  EXPECT_FALSE(b.InterseccionCon(Box(-1e30, -1e30, 1e30, 1e30)));
  EXPECT_FALSE(Box(-1e30, -1e30, 1e30, 1e30).InterseccionCon(b));
  b.Union(1, 2, 3, 4);
  EXPECT_EQ(b.MinX, 1);
  EXPECT_EQ(b.MinY, 2);
  EXPECT_EQ(b.MaxX, 3);
  EXPECT_EQ(b.MaxY, 4);
  b.Union(2, 0, 2.5, 5);  // grows only where the new values reach further
  EXPECT_EQ(b.MinX, 1);
  EXPECT_EQ(b.MinY, 0);
  EXPECT_EQ(b.MaxX, 3);
  EXPECT_EQ(b.MaxY, 5);
}

TEST(BoundingBox, IntersectionIncludesTouchingEdges) {
  struct Row {
    const char* name;
    BoundingBox a, b;
    bool expected;
  };
  const Row rows[] = {
      {"shared corner", Box(0, 0, 1, 1), Box(1, 1, 2, 2), true},
      {"gap on X", Box(0, 0, 1, 1), Box(1.0000001, 0, 2, 1), false},
      {"gap on Y", Box(0, 0, 1, 1), Box(0, 1.0000001, 1, 2), false},
      {"shared edge", Box(0, 0, 1, 1), Box(1, 0, 2, 1), true},
      {"one inside other", Box(0, 0, 10, 10), Box(2, 2, 3, 3), true},
      {"cross shape", Box(0, 4, 10, 6), Box(4, 0, 6, 10), true},
      {"overlap X only", Box(0, 0, 2, 1), Box(1, 5, 3, 6), false},
      {"inverted box starting before", Box(5, 5, -5, -5), Box(0, 0, 1, 1), false},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(r.a.InterseccionCon(r.b), r.expected) << r.name;
    EXPECT_EQ(r.b.InterseccionCon(r.a), r.expected) << r.name << " (swapped)";
  }
}

TEST(BoundingBox, ContainmentIncludesBoundaries) {
  const BoundingBox outer = Box(0, 0, 10, 10);
  EXPECT_TRUE(outer.ContieneA(outer));
  EXPECT_TRUE(outer.ContenidoPor(outer));
  EXPECT_TRUE(outer.ContieneA(Box(0, 0, 10, 5)));
  EXPECT_TRUE(Box(0, 0, 10, 5).ContenidoPor(outer));
  EXPECT_FALSE(outer.ContieneA(Box(-0.1, 0, 10, 10)));
  EXPECT_FALSE(outer.ContieneA(Box(0, -0.1, 10, 10)));
  EXPECT_FALSE(outer.ContieneA(Box(0, 0, 10.1, 10)));
  EXPECT_FALSE(outer.ContieneA(Box(0, 0, 10, 10.1)));
  EXPECT_FALSE(outer.ContenidoPor(Box(1, 1, 9, 9)));
  EXPECT_TRUE(Box(1, 1, 9, 9).ContenidoPor(outer));
}

TEST(BoundingBox, PointTestOnEdgesAndCorners) {
  const BoundingBox b = Box(-1, -2, 3, 4);
  const double inside[][2] = {{-1, -2}, {3, -2}, {3, 4}, {-1, 4}, {-1, 0}, {3, 0}, {0, -2}, {0, 4}};
  for (const auto& p : inside) {
    EXPECT_TRUE(b.PointInBoundingBox(p[0], p[1])) << p[0] << ", " << p[1];
  }
  const double outside[][2] = {{-1.0001, 0}, {3.0001, 0}, {0, -2.0001}, {0, 4.0001}};
  for (const auto& p : outside) {
    EXPECT_FALSE(b.PointInBoundingBox(p[0], p[1])) << p[0] << ", " << p[1];
  }
}

}  // namespace
}  // namespace orvenda
