#pragma once
// ViewTransform: the view state of one viewer and the chain that maps the map's
// geographic degrees through its projection onto the drawing surface.
//
// How the viewer uses it:
//   - keep one ViewTransform per viewer; set ViewWidth/ViewHeight from the
//     surface (Surface::ScaleWidth/ScaleHeight) and Projection from the map;
//   - ApplyExtents(X1, Y1, X2, Y2) computes a new view from a geographic
//     rectangle (clamp, centre, projector, corners, scale, ViewExtents); the
//     caller then redraws and requests what the new view needs;
//   - navigation answers the rectangle to apply, the caller applies it:
//       ZoomAboutRect(PointerX, PointerY, ZoomStep)   zoom in/out/factor
//       PanRect(Xd, Yd, Xu, Yu)                       pan (nullopt: only repaint)
//       ResizeRect()                                  after the size changed
//     ZoomExtents is ApplyExtents with the map's extents;
//   - ProjectedToSurfaceX/Y, SurfaceToProjectedX/Y, GeoToSurface, SurfaceToGeo,
//     Project/Unproject convert positions; CurrentZoom answers the zoom height;
//     MeasuredTotal sums a measured path.

#include <array>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "model/boundingbox.h"
#include "render/cprojection.h"
#include "render/surface.h"

namespace orvenda {

// What conversions from the surface answer while the scale is still 0.
inline constexpr double kNoPosition = 1e37;

// A geographic rectangle to apply, two opposite corners in degrees.
struct ExtentsRect {
  double X1 = 0;
  double Y1 = 0;
  double X2 = 0;
  double Y2 = 0;
  bool operator==(const ExtentsRect&) const = default;
};

std::ostream& operator<<(std::ostream& os, const ExtentsRect& r);
// "[MinX .. MaxX] x [MinY .. MaxY]", for messages and test failures.
std::string Describe(const BoundingBox& bb);

class ViewTransform {
 public:
  // Projected position shown at the centre of the surface.
  double CenterX = 0;
  double CenterY = 0;
  // Surface units per projected unit; 0 until the first view is applied.
  float FactorEscala = 0;
  std::int32_t ViewWidth = 0;
  std::int32_t ViewHeight = 0;
  // Geographic box of the six reference surface points of the view.
  BoundingBox ViewExtents;
  // Projected image of the last applied rectangle, and its four corners
  // (min-min, min-max, max-min, max-max of the clamped rectangle).
  BoundingBox ProjectedExtents;
  std::array<double, 4> CornerX{};
  std::array<double, 4> CornerY{};
  // The map's projection code and the object it selected (null: positions are
  // used as they are).
  int Projection = 0;
  std::unique_ptr<CProjection> Projector;

  float ProjectedToSurfaceX(double X) const {
    return static_cast<float>((X - CenterX) * FactorEscala + ViewWidth / 2.0);
  }
  float ProjectedToSurfaceY(double Y) const {
    return static_cast<float>((CenterY - Y) * FactorEscala + ViewHeight / 2.0);
  }
  double SurfaceToProjectedX(double x) const;
  double SurfaceToProjectedY(double y) const;

  ProjectedXY Project(double lon, double lat) const;
  GeoLonLat Unproject(double x, double y) const;
  SurfacePoint GeoToSurface(double lon, double lat) const;
  GeoLonLat SurfaceToGeo(double x, double y) const;

  // Computes the view that shows the rectangle, centred and whole.
  void ApplyExtents(double X1, double Y1, double X2, double Y2);

  // The rectangle that zooms by `factor` about the projected point; 2 halves
  // the shown extent, 0.5 doubles it.
  ExtentsRect ZoomAboutRect(double pointerX, double pointerY, double factor) const;
  // ViewExtents moved by the drag from (Xd, Yd) to (Xu, Yu), degrees; nothing
  // when the two positions are the same.
  std::optional<ExtentsRect> PanRect(double Xd, double Yd, double Xu, double Yu) const;
  // After ViewWidth/ViewHeight took the new size: the geographic rectangle of
  // the surface at the old centre and scale; nothing while the scale is 0.
  std::optional<ExtentsRect> ResizeRect() const;

  // Projected height of the view's middle vertical, divided by 1000.
  float CurrentZoom() const;
  // Sum of the projected legs between geographic vertices, truncated to hundredths.
  double MeasuredTotal(const std::vector<GeoLonLat>& vertices) const;

  static bool IsValidPosition(double X, double Y);
};

// "Total distance: " + total + " m.", the number written as the shortest text
// that reads back the same (no trailing zeros).
std::string TotalDistanceMessage(double total);

}  // namespace orvenda
