#pragma once
// The picking tools: information (4), erase (9), edit attributes (10), select
// (11), the source polygon of a multiple selection (12) and the element to reshape
// (14). Information, edit attributes and the source polygon take every element
// under a click and finish at once, the element to reshape the one nearest it;
// erase and select gather a selection element by element or inside a drawn
// polygon, under the selection menu mnuSelect (the drawing menu while a polygon
// is drawn), until its "Resume" finishes it.

#include <cstdint>
#include <string>

#include "viewer/tools/mousetool.h"

namespace orvenda {

class SelectionTool final : public MouseTool {
 public:
  explicit SelectionTool(int code) : code_(code) {}

  int Pointer(ToolState&) const override;
  bool StartsDrag(const ToolState& t) const override;
  void Drag(ToolHost& host, SurfaceXY at) override;
  bool Click(ToolHost& host) override;
  std::optional<ContextMenu> Menu(ToolState& t) const override;
  void MenuChoice(ToolHost& host, const std::string& item) override;
  // Finishes the selection: does what the tool is for with it, then empties it.
  void Resume(ToolHost& host) override;

 private:
  bool PicksAll() const;
  // The elements inside the drawn polygon join (or leave) the selection.
  void SelectInPolygon(ToolHost& host);

  int code_;
};

// Adds an element to the selection once, or takes it out with "Remove Elements".
void PickElement(ToolState& t, std::int32_t id);

// How far from a surface position, in degrees, an element still counts as under
// it: a few surface units there.
double PickReach(const ViewTransform& view, SurfaceXY at);

// The layer a picking member acts on: null for an unknown or image layer and, when
// `checkAccess`, after "Acceso Denegado" for a layer the user may not see.
layer* PickableLayer(ToolHost& host, std::int32_t layerId, bool checkAccess);
// The layer an editing member acts on: null for an unknown or image layer and,
// after "Acceso Denegado" titled `title`, for one below the `minimum` level.
layer* EditableLayer(ToolHost& host, std::int32_t layerId, CONSTACCESSLEVEL minimum,
                     const std::string& title);

}  // namespace orvenda
