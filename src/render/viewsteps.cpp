#include "render/viewsteps.h"

#include <cmath>

#include "render/projectionsetup.h"

namespace orvenda {
namespace {

constexpr int kNotch = 120;

// The geographic rectangle of the surface seen from the projected centre (cx, cy)
// at `scale`, from the corners (0, h) and (w, 0) as a resize takes them.
ExtentsRect SurfaceRect(const ViewTransform& view, double cx, double cy, double scale) {
  const double halfW = view.ViewWidth / 2.0 / scale;
  const double halfH = view.ViewHeight / 2.0 / scale;
  const GeoLonLat a = view.Unproject(cx - halfW, cy - halfH);
  const GeoLonLat b = view.Unproject(cx + halfW, cy + halfH);
  return {a.lon, a.lat, b.lon, b.lat};
}

// The rectangle whose view shows the geographic point `g` at the surface point (x, y)
// at `scale`. A projected grid bends, so the projected box of a rectangle is larger
// than the view it came from; a few corrections, each tried on a scratch view as the
// control applies it, take out the difference.
ExtentsRect RectShowing(const ViewTransform& view, GeoLonLat g, double x, double y, double scale) {
  const ProjectedXY p = view.Project(g.lon, g.lat);
  ExtentsRect r = SurfaceRect(view, p.x - (x - view.ViewWidth / 2.0) / scale,
                              p.y + (y - view.ViewHeight / 2.0) / scale, scale);
  if (ProjectionClassForCode(view.Projection) == ProjectionClass::None) return r;
  ViewTransform scratch;
  scratch.ViewWidth = view.ViewWidth;
  scratch.ViewHeight = view.ViewHeight;
  scratch.Projection = view.Projection;
  for (int i = 0; i < 8; ++i) {
    scratch.ApplyExtents(r.X1, r.Y1, r.X2, r.Y2);
    const GeoLonLat at = scratch.SurfaceToGeo(x, y);
    const double k = scratch.FactorEscala / scale;
    const double off = std::abs(at.lon - g.lon) + std::abs(at.lat - g.lat);
    // Done, or beyond help (a window's edge or a view of no scale).
    if (!(k > 0) || !std::isfinite(off) || (off < 1e-12 && std::abs(k - 1) < 1e-6)) break;
    const double midX = (r.X1 + r.X2) / 2 + g.lon - at.lon;
    const double midY = (r.Y1 + r.Y2) / 2 + g.lat - at.lat;
    const double halfW = (r.X2 - r.X1) / 2 * k;
    const double halfH = (r.Y2 - r.Y1) / 2 * k;
    r = {midX - halfW, midY - halfH, midX + halfW, midY + halfH};
  }
  return r;
}

}  // namespace

std::optional<ExtentsRect> WheelZoomRect(const ViewTransform& view, double x, double y,
                                         int notches) {
  if (view.FactorEscala == 0 || notches == 0) return std::nullopt;
  const double step = notches > 0 ? kZoomInStep : kZoomOutStep;
  const double factor = std::pow(step, std::abs(notches));
  return RectShowing(view, view.SurfaceToGeo(x, y), x, y, view.FactorEscala * factor);
}

std::optional<ExtentsRect> KeyRect(const ViewTransform& view, ViewKey key,
                                   const BoundingBox& mapExtents) {
  if (key == ViewKey::Home) {
    return ExtentsRect{mapExtents.MinX, mapExtents.MinY, mapExtents.MaxX, mapExtents.MaxY};
  }
  if (view.FactorEscala == 0 || key == ViewKey::None) return std::nullopt;
  if (key == ViewKey::ZoomIn || key == ViewKey::ZoomOut) {
    return view.ZoomAboutRect(view.SurfaceToProjectedX(view.ViewWidth / 2.0),
                              view.SurfaceToProjectedY(view.ViewHeight / 2.0),
                              key == ViewKey::ZoomIn ? kZoomInStep : kZoomOutStep);
  }
  // What is a quarter view away comes to the middle.
  const double w = view.ViewWidth;
  const double h = view.ViewHeight;
  const double x = w / 2 + (key == ViewKey::Left ? -w : key == ViewKey::Right ? w : 0) / 4;
  const double y = h / 2 + (key == ViewKey::Up ? -h : key == ViewKey::Down ? h : 0) / 4;
  return RectShowing(view, view.SurfaceToGeo(x, y), w / 2, h / 2, view.FactorEscala);
}

int WheelNotches::Add(int angleDelta) {
  rest_ += angleDelta;
  const int whole = rest_ / kNotch;
  rest_ -= whole * kNotch;
  return whole;
}

}  // namespace orvenda
