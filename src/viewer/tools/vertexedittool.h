#pragma once
// Geometry editing: picking the element (14), then the vertex-editing menu
// mnuEditGeo on the element under edit (15) and the vertex actions it starts
// (move, insert before, insert after: 16 to 18, with the drawing menu; join: 19).
// Leaving an edit under way asks the user first.

#include "viewer/tools/mousetool.h"

namespace orvenda {

class VertexEditTool final : public MouseTool {
 public:
  explicit VertexEditTool(int code) : code_(code) {}

  std::optional<ContextMenu> Menu(ToolState& t) const override;
  void MenuChoice(ToolHost& host, const std::string& item) override;
  void AfterRedraw(ToolHost& host, bool fromRepaint) override;

 protected:
  bool ConfirmCancel(ToolHost& host) override;

 private:
  bool Editing() const { return code_ >= tool::kVertexEditing; }
  int code_;
};

}  // namespace orvenda
