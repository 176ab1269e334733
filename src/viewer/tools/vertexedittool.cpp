#include "viewer/tools/vertexedittool.h"

#include "viewer/tools/toolmenus.h"

namespace orvenda {

std::optional<ContextMenu> VertexEditTool::Menu(ToolState& t) const {
  if (code_ == tool::kVertexEditing) {
    t.KeepTool = true;
    return ContextMenu{"mnuEditGeo", EditGeoMenuItems(t)};
  }
  if (code_ >= tool::kMoveVertex && code_ <= tool::kInsertAfter) {
    return ContextMenu{"mnuEnd", EndMenuItems(t)};
  }
  return std::nullopt;
}

void VertexEditTool::MenuChoice(ToolHost& host, const std::string& item) {
  ToolState& t = host.tools();
  // Cancelling a vertex action only goes back to choosing one.
  if (item == "mnuCancelElement") {
    t.MouseAction = tool::kVertexEditing;
    return;
  }
  ChooseEndSetting(t, item);
}

void VertexEditTool::AfterRedraw(ToolHost& host, bool fromRepaint) {
  if (fromRepaint && code_ == tool::kVertexEditing) host.DrawFigure(false);
}

bool VertexEditTool::ConfirmCancel(ToolHost& host) {
  if (!Editing()) return true;
  return host.interaction().MessageBox("Do you really want to Cancel Edition?", "Orvenda",
                                       MessageIcon::Question,
                                       MessageButtons::YesNo) == MessageAnswer::Yes;
}

}  // namespace orvenda
