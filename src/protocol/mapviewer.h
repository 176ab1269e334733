#pragma once
// MapViewer: what the map-opening, cell and pushed-change handlers reach of the
// viewer whose map they fill. The Viewer implements it; tests use a recording one.

#include <algorithm>
#include <cstdint>
#include <string>

#include "model/boundingbox.h"
#include "model/layerowner.h"
#include "model/layers.h"
#include "protocol/interaction.h"
#include "protocol/viewercontext.h"

namespace orvenda {

class ServerLink;
struct ElementInfo;
struct InfoExchange;

// The map properties that the map definition fills.
struct MapProperties {
  std::string Nombre;
  BoundingBox MapExtents;
  std::int32_t BackgroundColor = 0;
  std::int16_t Projection = 0;
  std::int32_t IDUser = 0;
  std::int32_t MapCode = 0;
  bool layerscargados = false;
  // Request 10 was sent again to give a new connection the map's session back;
  // its reply asks for nothing more.
  bool reopening = false;
};

// Status kinds posted while talking to the server; a reply's end is kind + 100.
namespace status {
inline constexpr int kMapRequested = 0;
inline constexpr int kMapLoading = 1;
inline constexpr int kCellsRequested = 10;
inline constexpr int kCellsLoading = 11;
inline constexpr int kLabelsRequested = 20;
inline constexpr int kLabelsLoading = 21;
inline constexpr int kThemesRequested = 40;
inline constexpr int kThemesLoading = 41;
// A layer whose grid cells cannot be computed (a cell size of 0, say) is skipped.
inline constexpr int kGridRefused = 60;
inline constexpr int kEnded = 100;
}  // namespace status

class MapViewer : public ViewerContext, public LayerOwner {
 public:
  virtual MapProperties& map() = 0;
  virtual Layers& layers() = 0;
  virtual ServerLink& link() = 0;
  virtual Interaction& interaction() = 0;

  // The status list: a request or reply of `kind` for layer `layerId` (0: none).
  virtual void PostStatus(std::int32_t layerId, int kind) = 0;
  // Creates the projection object for the map's projection code.
  virtual void SetupProjection(std::int16_t code) = 0;
  // The map and its layer definitions are complete.
  virtual void MapLoaded() = 0;
  virtual void ZoomExtents() = 0;
  // Full redraw.
  virtual void Redraw() = 0;
  // Repaint after data for one layer changed.
  virtual void RepaintLayer(std::int32_t layerId) = 0;

  // Element information and queries (elementinfo.h, queryreplies.h).
  virtual InfoExchange& infoExchange() = 0;
  // A geographic rectangle becomes the new view.
  virtual void ApplyExtents(double x1, double y1, double x2, double y2) = 0;
  // Draws one loaded element of `lay` highlighted over the picture.
  virtual void Highlight(layer& lay, std::int32_t elementId) = 0;
  // Hands the information of an element to the host (the InfoArrival event).
  virtual void RaiseInfoArrival(const ElementInfo& info) = 0;
};

// The decimal text of an ID: the key of layers and elements.
inline std::string Key(std::int32_t id) { return std::to_string(id); }

// Field names compare without regard to case.
bool SameField(const std::string& a, const std::string& b);

// A reply handler's first step for a counted request. The count may have been
// reset (Shift+right click) while replies were still on their way; it never goes
// below 0, or the members that wait for an idle viewer would stay dead.
inline void LowerPending(MapViewer& viewer) {
  viewer.SetPendingRequests(std::max(0, viewer.PendingRequests() - 1));
}

}  // namespace orvenda
