#include "render/viewpainter.h"

#include <cmath>
#include <numbers>

namespace orvenda {
namespace {

constexpr double kArrowLength = 30.0;   // projected units, middle to tip
constexpr double kArrowHalfBase = 7.5;  // projected units
constexpr std::int32_t kArrowBorderWidth = 5;
constexpr Colour kBlack = 0;
constexpr Colour kWhite = 0xFFFFFF;

bool DrawsLines(const Theme& theme) {
  return theme.DrawStyle != kTransparentDraw && theme.DrawWidth != 0;
}

SurfacePoint ToSurface(ScreenPoint p) { return {p.X, p.Y}; }
double XOf(const ScreenPoint& p) { return p.X; }
double YOf(const ScreenPoint& p) { return p.Y; }
double XOf(const SurfacePoint& p) { return p.x; }
double YOf(const SurfacePoint& p) { return p.y; }

}  // namespace

ViewPainter::ViewPainter(Surface& surface, const ViewTransform& view)
    : surface_(surface),
      view_(view),
      clip_(ViewClipBox(surface.ScaleWidth(), surface.ScaleHeight(), kClipMargin)),
      pixelsPerUnitX_(surface.UnitsPerPixelX()),
      pixelsPerUnitY_(surface.UnitsPerPixelY()) {}

ScreenPoint ViewPainter::Position(const Point& geographic) const {
  const SurfacePoint s = view_.GeoToSurface(geographic.X, geographic.Y);
  return {s.x, s.y};
}

ScreenPoint ViewPainter::DrawPointAt(const Theme& theme, const Point& at) {
  const ScreenPoint s = Position(at);
  DrawPointCached(theme, s);
  return s;
}

void ViewPainter::DrawPointCached(const Theme& theme, ScreenPoint at) {
  if (theme.DrawStyle == kTransparentDraw || !clip_.Contains(at.X, at.Y)) {
    return;
  }
  surface_.SetDrawWidth(theme.DrawWidth);
  surface_.Dot(ToSurface(at), theme.DrawColor);
}

void ViewPainter::LinePen(const Theme& theme) {
  surface_.SetDrawStyle(theme.DrawStyle);
  surface_.SetDrawWidth(theme.DrawWidth);
}

void ViewPainter::Segment(ScreenPoint from, ScreenPoint to, Colour colour) {
  SurfacePoint a = ToSurface(from);
  SurfacePoint b = ToSurface(to);
  if (!clip_.Contains(a.x, a.y) || !clip_.Contains(b.x, b.y)) {
    if (!ClipSegment(a, b, clip_)) {
      return;
    }
  }
  surface_.Line(a, b, colour);
}

void ViewPainter::DrawSegmentAt(const Theme& theme, const Point& from, const Point& to,
                                ScreenPoint& sFrom, ScreenPoint& sTo) {
  sFrom = Position(from);
  sTo = Position(to);
  if (!DrawsLines(theme)) {
    return;
  }
  LinePen(theme);
  Segment(sFrom, sTo, theme.DrawColor);
}

void ViewPainter::DrawSegmentCached(const Theme& theme, ScreenPoint from, ScreenPoint to) {
  if (!DrawsLines(theme)) {
    return;
  }
  // The class's own pen style too: a repaint must look like the drawing it repeats.
  LinePen(theme);
  Segment(from, to, theme.DrawColor);
}

void ViewPainter::DrawPolylineAt(const Theme& theme, std::span<const Point> vertices,
                                 std::span<ScreenPoint> out) {
  for (std::size_t i = 0; i < vertices.size(); ++i) {
    out[i] = Position(vertices[i]);
  }
  DrawPolylineCached(theme, out);
}

void ViewPainter::DrawPolylineCached(const Theme& theme, std::span<const ScreenPoint> positions) {
  if (!DrawsLines(theme) || positions.size() < 2) {
    return;
  }
  LinePen(theme);
  if (theme.DrawStyle != drawstyle::kSolid) {
    // A dash pattern starts again on every segment: draw them one by one.
    for (std::size_t i = 1; i < positions.size(); ++i) {
      Segment(positions[i - 1], positions[i], theme.DrawColor);
    }
    return;
  }
  SolidPolyline(positions, theme.DrawColor);
}

void ViewPainter::SolidPolyline(std::span<const ScreenPoint> positions, Colour colour) {
  // Runs of segments inside the clip box become one polyline each; vertices
  // that add nothing at pixel size (same pixel as the last one kept) are left out.
  points_.clear();
  auto flush = [&] {
    if (points_.size() >= 2) {
      surface_.Polyline(points_, colour);
    }
    points_.clear();
  };
  auto samePixel = [&](const SurfacePoint& a, const SurfacePoint& b) {
    return std::nearbyint(a.x / pixelsPerUnitX_) == std::nearbyint(b.x / pixelsPerUnitX_) &&
           std::nearbyint(a.y / pixelsPerUnitY_) == std::nearbyint(b.y / pixelsPerUnitY_);
  };
  const std::size_t last = positions.size() - 1;
  for (std::size_t i = 1; i <= last; ++i) {
    SurfacePoint a = ToSurface(positions[i - 1]);
    SurfacePoint b = ToSurface(positions[i]);
    const bool whole = clip_.Contains(a.x, a.y) && clip_.Contains(b.x, b.y);
    if (!whole) {
      flush();
      if (ClipSegment(a, b, clip_)) {
        surface_.Polyline({a, b}, colour);
      }
      continue;
    }
    if (points_.empty()) {
      points_.push_back(a);
    }
    if (i == last || !samePixel(points_.back(), b)) {
      points_.push_back(b);
    }
  }
  flush();
}

void ViewPainter::DrawPolygonAt(const Theme& theme, std::span<const Point> vertices, bool refresh,
                                std::span<ScreenPoint> out) {
  for (std::size_t i = 0; i < vertices.size(); ++i) {
    out[i] = Position(vertices[i]);
  }
  DrawPolygonCached(theme, out, refresh);
}

void ViewPainter::DrawPolygonCached(const Theme& theme, std::span<const ScreenPoint> positions,
                                    bool refresh) {
  surface_.SetDrawWidth(theme.DrawWidth);
  surface_.SetFillColor(theme.FillColor);
  surface_.SetFillStyle(theme.FillStyle);
  surface_.SetForeColor(theme.DrawColor);
  surface_.SetDrawStyle(theme.DrawStyle);
  PolygonPixels(positions, refresh);
}

namespace {

// Nearest integer, halves to even, for |v| < 2^51: adding and taking away 1.5 * 2^52
// leaves the rounding to the floating-point unit (the same result as RoundHalfEven,
// without a library call per vertex).
inline std::int32_t RoundEven(double v) {
  constexpr double kShift = 6755399441055744.0;
  return static_cast<std::int32_t>((v + kShift) - kShift);
}

}  // namespace

template <typename Points>
void ViewPainter::SetPixels(const Points& points) {
  // Written through a plain pointer: this loop runs once per vertex of every
  // polygon of a redraw.
  pixels_.resize(points.size());
  PixelPoint* out = pixels_.data();
  std::size_t kept = 0;
  auto keep = [&](double x, double y) {
    const PixelPoint px{RoundEven(x), RoundEven(y)};
    // An edge of no length paints nothing.
    if (kept == 0 || !(out[kept - 1] == px)) out[kept++] = px;
  };
  if (pixelsPerUnitX_ == 1.0 && pixelsPerUnitY_ == 1.0) {
    for (const auto& p : points) keep(XOf(p), YOf(p));
  } else {
    for (const auto& p : points) keep(XOf(p) / pixelsPerUnitX_, YOf(p) / pixelsPerUnitY_);
  }
  pixels_.resize(kept);
}

void ViewPainter::PolygonPixels(std::span<const ScreenPoint> positions, bool refresh) {
  bool inside = true;
  for (const ScreenPoint& p : positions) {
    if (!clip_.Contains(p.X, p.Y)) {
      inside = false;
      break;
    }
  }
  if (inside) {
    SetPixels(positions);
  } else {
    points_.resize(positions.size());
    for (std::size_t i = 0; i < positions.size(); ++i) {
      points_[i] = ToSurface(positions[i]);
    }
    ClipRing(points_, clip_, clipped_);
    SetPixels(clipped_);
  }
  if (pixels_.size() > 1 && pixels_.front() == pixels_.back()) {
    pixels_.pop_back();
  }
  if (!pixels_.empty()) {
    surface_.Polygon(pixels_);
  }
  if (refresh) {
    surface_.Refresh();
  }
}

void ViewPainter::DrawDirectionArrow(ScreenPoint from, ScreenPoint to, std::int32_t Direction) {
  if (Direction == 0) {
    return;
  }
  const double X1 = view_.SurfaceToProjectedX(from.X);
  const double Y1 = view_.SurfaceToProjectedY(from.Y);
  const double X2 = view_.SurfaceToProjectedX(to.X);
  const double Y2 = view_.SurfaceToProjectedY(to.Y);
  const double dx = X2 - X1;
  const double dy = Y2 - Y1;
  constexpr double pi = std::numbers::pi;
  double a = 0;
  if (dx > 0) {
    a = -std::atan(dy / dx);
  } else if (dx < 0) {
    a = pi - std::atan(dy / dx);
  } else {
    // The tip is at (cos a, -sin a): a vertical segment drawn northwards
    // needs -pi/2 to point the way the slanted ones next to it do.
    a = dy > 0 ? -pi / 2 : pi / 2;
  }
  if (Direction == -1) {
    a += pi;
  }
  const float mx = static_cast<float>((X1 + X2) / 2);
  const float my = static_cast<float>((Y1 + Y2) / 2);
  auto at = [&](double px, double py) {
    return ScreenPoint{view_.ProjectedToSurfaceX(px), view_.ProjectedToSurfaceY(py)};
  };
  const ScreenPoint tip = at(mx + kArrowLength * std::cos(a), my - kArrowLength * std::sin(a));
  const ScreenPoint b1 = at(mx + kArrowHalfBase * std::sin(a), my + kArrowHalfBase * std::cos(a));
  const ScreenPoint b2 = at(mx - kArrowHalfBase * std::sin(a), my - kArrowHalfBase * std::cos(a));
  surface_.SetDrawStyle(drawstyle::kSolid);
  surface_.SetDrawWidth(kArrowBorderWidth);
  Segment(tip, b1, kBlack);
  Segment(tip, b2, kBlack);
  Segment(b1, b2, kBlack);
  surface_.SetDrawWidth(1);
  surface_.SetFillColor(kWhite);
  surface_.SetFillStyle(fillstyle::kSolid);
  surface_.SetForeColor(kWhite);
  surface_.SetDrawStyle(drawstyle::kSolid);
  const ScreenPoint triangle[3] = {tip, b1, b2};
  PolygonPixels(triangle, false);
}

void ViewPainter::DrawRotatedText(double X, double Y, double angle, const std::string& text,
                                  bool bold, Colour colour, int alignment) {
  const SurfacePoint anchor = view_.GeoToSurface(X, Y);
  const FontSpec previous = surface_.Font();
  FontSpec font;
  font.face = "Arial";
  font.heightPoints = kLabelPoints;
  font.weight = bold ? kFontWeightBold : kFontWeightNormal;
  font.escapement = static_cast<std::int32_t>(std::floor(angle * 10));
  surface_.SetFont(font);
  // Measured in the label's own font, so the placement fits the text drawn.
  const double w = surface_.TextWidth(text);
  const double h = surface_.TextHeight(text);
  surface_.SetForeColor(colour);
  surface_.Print(AlignedTextOrigin(anchor, angle, w, h, alignment), text);
  surface_.SetFont(previous);
}

}  // namespace orvenda
