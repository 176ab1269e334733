#pragma once
// ViewPainter: the drawing primitives of one viewer, each drawing with a
// thematic class onto the viewer's Surface through its ViewTransform. The
// element and layer drawing (entitydrawing.h, layerdrawing.h) call these; the
// viewer builds one over its surface and transform for each redraw:
//
//   ViewPainter painter(surface, transform);
//   painter.MapExtents = mapExtents;     // fallback box of DrawWOCalc
//   painter.Images = this;               // image layers (may stay null)
//
// "At" primitives project geographic vertices and hand back their surface
// positions for the element's screen cache; "Cached" ones take those
// positions. Surface state (pen, fill, colours) is left as the primitive set
// it; only the label font is put back.
//
// Geometry is clipped to the view grown by kClipMargin units, and a polygon's
// consecutive vertices on the same pixel are sent once: the picture is the
// same, the work is not.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/boundingbox.h"
#include "model/entidad.h"
#include "model/theme.h"
#include "render/clipping.h"
#include "render/imagepainter.h"
#include "render/surface.h"
#include "render/viewtransform.h"

namespace orvenda {

class ViewPainter {
 public:
  // Margin around the view inside which geometry is drawn unclipped, in units.
  static constexpr double kClipMargin = 2048;
  // Character height of labels, in points.
  static constexpr double kLabelPoints = 7;

  ViewPainter(Surface& surface, const ViewTransform& view);

  Surface& surface() const { return surface_; }
  const ViewTransform& view() const { return view_; }

  // The map's full extents, drawn against when an element was never drawn.
  BoundingBox MapExtents;
  // Draws image layers; null when the viewer has none.
  ImagePainter* Images = nullptr;

  ScreenPoint Position(const Point& geographic) const;

  ScreenPoint DrawPointAt(const Theme& theme, const Point& at);
  void DrawPointCached(const Theme& theme, ScreenPoint at);
  void DrawSegmentAt(const Theme& theme, const Point& from, const Point& to, ScreenPoint& sFrom,
                     ScreenPoint& sTo);
  void DrawSegmentCached(const Theme& theme, ScreenPoint from, ScreenPoint to);
  // The whole polyline in one call where that paints the same as its segments
  // one by one (solid pens); otherwise segment by segment.
  void DrawPolylineAt(const Theme& theme, std::span<const Point> vertices,
                      std::span<ScreenPoint> out);
  void DrawPolylineCached(const Theme& theme, std::span<const ScreenPoint> positions);
  void DrawPolygonAt(const Theme& theme, std::span<const Point> vertices, bool refresh,
                     std::span<ScreenPoint> out);
  void DrawPolygonCached(const Theme& theme, std::span<const ScreenPoint> positions, bool refresh);
  // A black-bordered white arrowhead at the middle of the segment; `Direction`
  // 0 draws nothing, -1 points from the second position to the first.
  void DrawDirectionArrow(ScreenPoint from, ScreenPoint to, std::int32_t Direction);
  // Text in 7-point Arial anchored at a geographic position, turned `angle`
  // degrees counter-clockwise, placed by a textalign code.
  void DrawRotatedText(double X, double Y, double angle, const std::string& text, bool bold,
                       Colour colour, int alignment);

 private:
  void LinePen(const Theme& theme);
  void Segment(ScreenPoint from, ScreenPoint to, Colour colour);
  void SolidPolyline(std::span<const ScreenPoint> positions, Colour colour);
  void PolygonPixels(std::span<const ScreenPoint> positions, bool refresh);
  // pixels_ from surface positions, consecutive repeats left out.
  template <typename Points>
  void SetPixels(const Points& points);

  Surface& surface_;
  const ViewTransform& view_;
  ClipBox clip_;
  // Surface units per device pixel.
  double pixelsPerUnitX_ = 1;
  double pixelsPerUnitY_ = 1;
  // Scratch buffers kept between calls so a redraw does not allocate per element.
  std::vector<SurfacePoint> points_;
  std::vector<SurfacePoint> clipped_;
  std::vector<PixelPoint> pixels_;
};

}  // namespace orvenda
