#include "model/boundingbox.h"

namespace orvenda {

namespace {

// Only the lower-starting interval's maximum is consulted, so an inverted
// (empty) box never overlaps one that starts after its minimum.
bool IntervalsOverlap(double minA, double maxA, double minB, double maxB) {
  if (minA <= minB) {
    return minB <= maxA;
  }
  return minA <= maxB;
}

// Ties return the first argument, as the box arithmetic has always done.
double Smaller(double a, double b) { return b < a ? b : a; }
double Larger(double a, double b) { return b > a ? b : a; }

}  // namespace

bool BoundingBox::ContieneA(const BoundingBox& bb) const {
  return bb.MinX >= MinX && bb.MinY >= MinY && bb.MaxX <= MaxX && bb.MaxY <= MaxY;
}

bool BoundingBox::ContenidoPor(const BoundingBox& bb) const {
  return bb.MinX <= MinX && bb.MinY <= MinY && bb.MaxX >= MaxX && bb.MaxY >= MaxY;
}

bool BoundingBox::InterseccionCon(const BoundingBox& bb) const {
  return IntervalsOverlap(MinX, MaxX, bb.MinX, bb.MaxX) &&
         IntervalsOverlap(MinY, MaxY, bb.MinY, bb.MaxY);
}

void BoundingBox::Union(double minimox, double minimoy, double maximox, double maximoy) {
  MinX = Smaller(MinX, minimox);
  MinY = Smaller(MinY, minimoy);
  MaxX = Larger(MaxX, maximox);
  MaxY = Larger(MaxY, maximoy);
}

bool BoundingBox::PointInBoundingBox(double X, double Y) const {
  return MinX <= X && X <= MaxX && MinY <= Y && Y <= MaxY;
}

}  // namespace orvenda
