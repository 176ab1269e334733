#pragma once
// ToolHost: what a mouse tool may do to the viewer it serves. The Viewer
// implements it; the tools hold no state of the view themselves.

#include <QLineF>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <optional>

#include "protocol/interaction.h"
#include "render/cprojection.h"
#include "viewer/tools/toolstate.h"

namespace orvenda {

class ToolHost {
 public:
  virtual ~ToolHost() = default;

  virtual ToolState& tools() = 0;
  virtual Interaction& interaction() = 0;

  // Surface <-> projected <-> geographic.
  virtual ProjectedXY ToProjected(QPointF surface) const = 0;
  virtual QPointF ToSurface(ProjectedXY projected) const = 0;
  virtual GeoLonLat ToGeographic(ProjectedXY projected) const = 0;
  virtual ProjectedXY ToMap(GeoLonLat geographic) const = 0;

  // A new view of the geographic rectangle (opposite corners).
  virtual void ApplyExtents(double x1, double y1, double x2, double y2) = 0;
  // Moves the view so that the map follows a drag from `down` to `up`.
  virtual void PanFrom(GeoLonLat down, GeoLonLat up) = 0;
  // Zooms about (PointerX, PointerY) by ZoomStep.
  virtual void ZoomAboutPointer() = 0;
  // Puts the last complete picture back, without drawing.
  virtual void RepaintSaved() = 0;

  // Overlays shown over the picture while a gesture is under way.
  virtual void SetRubberBand(std::optional<QRect> rect) = 0;
  virtual void SetPictureShift(std::optional<QPoint> shift) = 0;
  virtual void SetRubberLines(std::optional<QLineF> fromLast, std::optional<QLineF> fromFirst) = 0;
  // Draws the figure of Vertices on the picture: open, or closed as a polygon.
  virtual void DrawFigure(bool closed) = 0;

  virtual void SetToolPointer(int toolCode) = 0;
  virtual void SetMousePointer(int pointerCode) = 0;
};

// The surface position of a projected position held in ToolState.
inline QPointF SurfaceOf(const ToolHost& host, double X, double Y) {
  return host.ToSurface(ProjectedXY{X, Y});
}

}  // namespace orvenda
