#pragma once
// The picking tools: information (4), erase (9), edit attributes (10), select
// (11) and the source polygon of a multiple selection (12). With the polygon
// method a press starts drawing a selection polygon; erase and select open the
// selection menu mnuSelect, or the drawing menu while a polygon is drawn.

#include "viewer/tools/mousetool.h"

namespace orvenda {

class SelectionTool final : public MouseTool {
 public:
  explicit SelectionTool(int code) : code_(code) {}

  int Pointer(ToolState&) const override;
  bool StartsDrag(const ToolState& t) const override;
  void Drag(ToolHost& host, SurfaceXY at) override;
  std::optional<ContextMenu> Menu(ToolState& t) const override;
  void MenuChoice(ToolHost& host, const std::string& item) override;

 private:
  int code_;
};

}  // namespace orvenda
