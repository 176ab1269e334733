#include "render/viewsteps.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

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

struct Candidate {
  ExtentsRect rect;
  // Pixels between `g` and the pointer, plus what the scale is off by at the view's edge.
  double error = std::numeric_limits<double>::infinity();
};

// The error of `r` applied on `scratch` as the control applies it (clamped to the
// projection's window); infinite for a view of no scale.
double ViewError(ViewTransform& scratch, const ExtentsRect& r, GeoLonLat g, double x, double y,
                 double scale) {
  scratch.ApplyExtents(r.X1, r.Y1, r.X2, r.Y2);
  const double k = scratch.FactorEscala / scale;
  const SurfacePoint there = scratch.GeoToSurface(g.lon, g.lat);
  const double error = std::hypot(there.x - x, there.y - y) + std::abs(k - 1) * scratch.ViewWidth;
  return k > 0 && std::isfinite(error) ? error : std::numeric_limits<double>::infinity();
}

// Corrections of `start` towards a view that shows `g` at (x, y) at `scale`, each tried
// on a scratch view as the control applies it; the best one tried.
Candidate Corrected(ViewTransform& scratch, ExtentsRect r, GeoLonLat g, double x, double y,
                    double scale) {
  Candidate best{r};
  for (int tried = 1;; ++tried) {
    const double error = ViewError(scratch, r, g, x, y, scale);
    if (!std::isfinite(error)) break;  // beyond help: a window's edge or a view of no scale
    if (error < best.error) best = {r, error};
    const GeoLonLat at = scratch.SurfaceToGeo(x, y);
    const double k = scratch.FactorEscala / scale;
    const double off = std::abs(at.lon - g.lon) + std::abs(at.lat - g.lat);
    if ((off < 1e-12 && std::abs(k - 1) < 1e-6) || tried == 9) break;
    const double midX = (r.X1 + r.X2) / 2 + g.lon - at.lon;
    const double midY = (r.Y1 + r.Y2) / 2 + g.lat - at.lat;
    const double halfW = (r.X2 - r.X1) / 2 * k;
    const double halfH = (r.Y2 - r.Y1) / 2 * k;
    r = {midX - halfW, midY - halfH, midX + halfW, midY + halfH};
  }
  return best;
}

// Far from the cone's middle the corrections stall, as a rectangle's sides bend the
// cone under it. A simplex search over the four sides then finds the rectangle that
// comes nearest (a few pixels off where the pole stops every exact one).
Candidate Polished(ViewTransform& scratch, Candidate start, GeoLonLat g, double x, double y,
                   double scale) {
  using Sides = std::array<double, 4>;
  const auto error = [&](const Sides& s) {
    return ViewError(scratch, {s[0], s[1], s[2], s[3]}, g, x, y, scale);
  };
  const ExtentsRect& r = start.rect;
  std::array<Sides, 5> at;
  std::array<double, 5> err{};
  for (std::size_t i = 0; i < at.size(); ++i) {
    at[i] = {r.X1, r.Y1, r.X2, r.Y2};
    // Each side moved by a tenth of the rectangle's width or height.
    if (i > 0) at[i][i - 1] += (i % 2 == 1 ? r.X2 - r.X1 : r.Y2 - r.Y1) / 10;
    err[i] = error(at[i]);
  }
  for (int step = 0; step < 200; ++step) {
    std::array<std::size_t, 5> order{0, 1, 2, 3, 4};
    std::ranges::sort(order, [&](std::size_t a, std::size_t b) { return err[a] < err[b]; });
    const std::size_t worst = order[4];
    if (err[order[0]] < 0.5) break;
    Sides centre{};
    for (std::size_t i : order)
      if (i != worst)
        for (std::size_t d = 0; d < 4; ++d) centre[d] += at[i][d] / 4;
    const auto towards = [&](double t) {
      Sides p;
      for (std::size_t d = 0; d < 4; ++d) p[d] = centre[d] + t * (at[worst][d] - centre[d]);
      return p;
    };
    const auto take = [&](const Sides& p, double e) {
      at[worst] = p;
      err[worst] = e;
    };
    const Sides mirrored = towards(-1);
    const double mirroredError = error(mirrored);
    if (mirroredError < err[order[0]]) {
      const Sides further = towards(-2);
      const double furtherError = error(further);
      furtherError < mirroredError ? take(further, furtherError) : take(mirrored, mirroredError);
    } else if (mirroredError < err[order[3]]) {
      take(mirrored, mirroredError);
    } else {
      const Sides inner = towards(0.5);
      const double innerError = error(inner);
      if (innerError < err[worst]) {
        take(inner, innerError);
        continue;
      }
      // Nothing better along the line: close in on the best corner.
      for (std::size_t i : order)
        if (i != order[0]) {
          for (std::size_t d = 0; d < 4; ++d) at[i][d] = (at[i][d] + at[order[0]][d]) / 2;
          err[i] = error(at[i]);
        }
    }
  }
  const auto best = static_cast<std::size_t>(std::ranges::min_element(err) - err.begin());
  if (!(err[best] < start.error)) return start;
  const GeoWindow w = ViewWindowForCode(scratch.Projection);
  const auto lon = [&](double v) { return std::clamp(v, w.minLon, w.maxLon); };
  const auto lat = [&](double v) { return std::clamp(v, w.minLat, w.maxLat); };
  return {{lon(at[best][0]), lat(at[best][1]), lon(at[best][2]), lat(at[best][3])}, err[best]};
}

// The rectangle whose view shows the geographic point `g` at the surface point (x, y)
// at `scale`. A projected grid bends, so the projected box of a rectangle is larger
// than the view it came from, and corrections take out the difference. They start from
// the surface's corners, and also from the view's own rectangle scaled about `g`: far
// from the cone's middle, a corner of a view zoomed out can lie where the corners say
// little, and the corrections from them alone ran away (to latitudes past the pole).
ExtentsRect RectShowing(const ViewTransform& view, GeoLonLat g, double x, double y, double scale) {
  const ProjectedXY p = view.Project(g.lon, g.lat);
  const ExtentsRect fromCorners = SurfaceRect(view, p.x - (x - view.ViewWidth / 2.0) / scale,
                                              p.y + (y - view.ViewHeight / 2.0) / scale, scale);
  if (ProjectionClassForCode(view.Projection) == ProjectionClass::None) return fromCorners;
  ViewTransform scratch;
  scratch.ViewWidth = view.ViewWidth;
  scratch.ViewHeight = view.ViewHeight;
  scratch.Projection = view.Projection;
  const double f = scale / view.FactorEscala;
  const BoundingBox& e = view.ViewExtents;
  const ExtentsRect scaled{g.lon - (g.lon - e.MinX) / f, g.lat - (g.lat - e.MinY) / f,
                           g.lon + (e.MaxX - g.lon) / f, g.lat + (e.MaxY - g.lat) / f};
  const Candidate a = Corrected(scratch, fromCorners, g, x, y, scale);
  const Candidate b = Corrected(scratch, scaled, g, x, y, scale);
  // The corners' way wherever it comes within half a pixel: it is the finer one.
  const Candidate best = a.error <= 0.5 || a.error <= b.error ? a : b;
  return best.error <= 0.5 ? best.rect : Polished(scratch, best, g, x, y, scale).rect;
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
