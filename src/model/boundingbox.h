#pragma once

namespace orvenda {

// Axis-aligned rectangle of four doubles. Every comparison includes its
// boundaries. A new box is empty (minimums 1E37, maximums -1E37), so the first
// Union with real coordinates replaces all four values and an empty box
// intersects nothing real. No MinX <= MaxX invariant is enforced: the view box
// is set field by field.
class BoundingBox {
 public:
  double MinY = 1e37;
  double MaxX = -1e37;
  double MinX = 1e37;
  double MaxY = -1e37;

  // True when `bb` lies inside this box.
  [[nodiscard]] bool ContieneA(const BoundingBox& bb) const;
  // True when this box lies inside `bb`.
  [[nodiscard]] bool ContenidoPor(const BoundingBox& bb) const;
  // True when the boxes overlap or touch.
  [[nodiscard]] bool InterseccionCon(const BoundingBox& bb) const;
  void Union(double minimox, double minimoy, double maximox, double maximoy);
  [[nodiscard]] bool PointInBoundingBox(double X, double Y) const;
};

}  // namespace orvenda
