#pragma once
// Geometry editing: the vertex-editing menu mnuEditGeo on the element under edit
// (15) and the vertex actions it starts (move, insert before, insert after: 16 to
// 18, with the drawing menu; join: 19). The element is picked by the picking tool
// 14 (selectiontool.h). Leaving an edit under way asks the user first, and puts
// back what the edit took out of the layer.

#include "viewer/tools/mousetool.h"

namespace orvenda {

class VertexEditTool final : public MouseTool {
 public:
  explicit VertexEditTool(int code) : code_(code) {}

  bool Click(ToolHost& host) override;
  std::optional<ContextMenu> Menu(ToolState& t) const override;
  void MenuChoice(ToolHost& host, const std::string& item) override;
  void AfterRedraw(ToolHost& host, bool fromRepaint) override;

 protected:
  bool ConfirmCancel(ToolHost& host) override;

 private:
  bool Editing() const { return code_ >= tool::kVertexEditing; }
  int code_;
};

// The layer EditGeography may arm on: null for an unknown or image layer and, after
// "Acceso Denegado", for one the user may not draw on.
layer* DrawableLayer(ToolHost& host, std::int32_t layerId);

// The picked element of SelectionLayer becomes the element under edit (tool 15);
// tool 14 stays when the layer no longer holds it.
void BeginVertexEdit(ToolHost& host, std::int32_t elementId);

}  // namespace orvenda
