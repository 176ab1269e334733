#include "viewer/tools/selectiontool.h"

#include "viewer/tools/drawingtool.h"
#include "viewer/tools/toolmenus.h"

namespace orvenda {

int SelectionTool::Pointer(ToolState&) const {
  switch (code_) {
    case tool::kInformation:
      return 103;
    case tool::kErase:
      return 108;
    case tool::kEditAttributes:
      return 107;
    default:
      return 0;
  }
}

bool SelectionTool::StartsDrag(const ToolState& t) const {
  return code_ != tool::kPickSourcePolygon && t.SelectMethod == 2;
}

void SelectionTool::Drag(ToolHost& host, SurfaceXY at) { FollowPointer(host, at, true); }

std::optional<ContextMenu> SelectionTool::Menu(ToolState& t) const {
  if (code_ != tool::kErase && code_ != tool::kSelect) return std::nullopt;
  if (t.SelectMethod == 0) t.SelectMethod = 1;
  if (t.SelectMethod == 2 || t.SelectMethod == 3) return ContextMenu{"mnuEnd", EndMenuItems(t)};
  return ContextMenu{"mnuSelect", SelectMenuItems(t)};
}

void SelectionTool::MenuChoice(ToolHost& host, const std::string& item) {
  ToolState& t = host.tools();
  if (item == "mnuClearSelection") {
    host.ClearSelection();
    t.RemoveElements = false;
    host.RepaintSaved();
  } else if (item == "mnuCancelSelection" || item == "mnuCancelElement") {
    Cancel(host);
    t.RemoveElements = false;
  } else if (item == "mnuEraseLastPoint") {
    DeleteLastVertex(host, true);
  } else if (!ChooseSelectSetting(t, item)) {
    ChooseEndSetting(t, item);
  }
}

}  // namespace orvenda
