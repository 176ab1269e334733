#pragma once
// ToolHost: what a mouse tool may do to the viewer it serves. The Viewer
// implements it; the tools hold no state of the view themselves. Positions on
// the control are surface units (device-independent pixels) as plain doubles.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/layer.h"
#include "model/layers.h"
#include "protocol/dwbuffer.h"
#include "protocol/interaction.h"
#include "render/viewtransform.h"
#include "viewer/popupmenu.h"
#include "viewer/tools/toolstate.h"

namespace orvenda {

struct SurfaceXY {
  double x = 0;
  double y = 0;
  bool operator==(const SurfaceXY&) const = default;
};

struct SurfaceLine {
  SurfaceXY from;
  SurfaceXY to;
  bool operator==(const SurfaceLine&) const = default;
};

// A context menu: its control name (mnuEnd...) and its items, as shown now.
struct ContextMenu {
  std::string name;
  std::vector<MenuItem> items;
};

class ToolHost {
 public:
  virtual ~ToolHost() = default;

  virtual ToolState& tools() = 0;
  virtual Interaction& interaction() = 0;
  // The view the positions are converted with.
  virtual const ViewTransform& view() const = 0;
  // Tools act only once the map's first view is applied (layerscargados) and
  // while no request is pending; Shift with the right button forgets them.
  virtual bool LayersLoaded() const = 0;
  virtual bool Idle() const = 0;
  virtual void ForgetPendingRequests() = 0;

  // A new view of the geographic rectangle (opposite corners).
  virtual void ApplyExtents(double x1, double y1, double x2, double y2) = 0;
  // Moves the view so that the map follows a drag from `down` to `up`.
  virtual void PanFrom(GeoLonLat down, GeoLonLat up) = 0;
  // Zooms about (PointerX, PointerY) by ZoomStep.
  virtual void ZoomAboutPointer() = 0;
  // Puts the last complete picture back, without drawing.
  virtual void RepaintSaved() = 0;
  // Empties Selection (not while requests are pending).
  virtual void ClearSelection() = 0;
  // The layer of an ID, or null when the map holds none with it.
  virtual layer* FindLayer(std::int32_t layerId) = 0;
  // What a finished selection is for: the information of the picked elements,
  // the host's SelectionSet event, a view of the elements.
  virtual void RequestInformation(std::int32_t layerId, const std::vector<std::int32_t>& ids) = 0;
  virtual void RaiseSelectionSet(std::int32_t layerId, const std::vector<std::int32_t>& ids) = 0;
  virtual void ZoomToSelected(std::int32_t layerId, const std::vector<std::int32_t>& ids) = 0;
  // Erasing and attribute editing of picked elements: the erase command for each
  // (the element leaves the layer) and the attribute editor for them all.
  virtual void EraseElements(std::int32_t layerId, const std::vector<std::int32_t>& ids) = 0;
  virtual void EditAttributes(std::int32_t layerId, const std::vector<std::int32_t>& ids) = 0;

  // Overlays shown over the picture while a gesture is under way: the rubber
  // band between two corners, the picture moved by a shift, the rubber lines.
  virtual void SetRubberBand(std::optional<SurfaceLine> corners) = 0;
  virtual void SetPictureShift(std::optional<SurfaceXY> shift) = 0;
  virtual void SetRubberLines(std::optional<SurfaceLine> fromLast,
                              std::optional<SurfaceLine> fromFirst) = 0;
  // Draws the figure of Vertices on the picture: open, or closed as a polygon.
  virtual void DrawFigure(bool closed) = 0;
  // The marker of the current vertex of an edit (shpVertex), centred there, or hidden.
  virtual void SetVertexMarker(std::optional<SurfaceXY> centre) = 0;
  // Repaints after the elements of a layer changed, working its drawing out again.
  virtual void RepaintLayer(std::int32_t layerId) = 0;
  // Sends a request built whole; false when the server could not be reached.
  virtual bool SendToServer(const DWBUffer& request) = 0;

  // The pointer of a tool (the tool-cursor rule), or a pointer code.
  virtual void SetToolPointer(int toolCode) = 0;
  virtual void SetMousePointer(int pointerCode) = 0;
  virtual int MousePointer() const = 0;
  // Shows a context menu at `at` and waits: the chosen item's name, or "".
  virtual std::string Popup(const ContextMenu& menu, SurfaceXY at) = 0;

  // Drawing new elements. Every layer of the map (the point rules snap to any visible
  // one); the attribute values of a new element of
  // `lay` (the host's OnNewElement when ReleaseAttrEvent is set, else the attribute
  // dialog titled `title`); the offsets of "Relative To..." (projected units); the
  // distances (L, T) of "Smart Endpoint", which cannot be confirmed until
  // `selectSegment` found a segment. Nothing when the user cancelled.
  virtual Layers& layers() = 0;
  virtual std::optional<std::vector<std::string>> AskNewElementValues(layer& lay,
                                                                      const std::string& title) = 0;
  virtual std::optional<ProjectedXY> AskRelativeTo() = 0;
  virtual std::optional<std::pair<double, double>> AskSmartEndPoint(
      const std::function<bool()>& selectSegment) = 0;
  // Multiple selection: its polygon is ready (the element picked on SelectionLayer
  // by tool 12, or the vertices drawn with tool 13), and its dialog goes with a
  // cancelled tool.
  virtual void MultipleSelectPolygon(std::int32_t elementId, const std::vector<Point>& drawn) = 0;
  virtual void UnloadSelectForm() = 0;
};

// Surface, projected and geographic positions through the host's view.
inline SurfaceXY SurfaceOf(const ToolHost& host, double X, double Y) {
  return {host.view().ProjectedToSurfaceX(X), host.view().ProjectedToSurfaceY(Y)};
}
inline SurfaceXY SurfaceOfGeo(const ToolHost& host, const Point& p) {
  const ProjectedXY m = host.view().Project(p.X, p.Y);
  return SurfaceOf(host, m.x, m.y);
}
inline GeoLonLat GeoOf(const ToolHost& host, double X, double Y) {
  return host.view().Unproject(X, Y);
}

}  // namespace orvenda
