#include "viewer/tools/mousetool.h"

namespace orvenda {

bool MouseTool::Cancel(ToolHost& host) {
  if (!ConfirmCancel(host)) return false;
  ToolState& t = host.tools();
  t.MouseAction = tool::kNone;
  t.KeepTool = false;
  t.BaseTool = tool::kNone;
  t.Dragging = false;
  host.SetRubberBand(std::nullopt);
  host.SetPictureShift(std::nullopt);
  host.RepaintSaved();
  host.SetMousePointer(pointer::kDefault);
  host.SetRubberLines(std::nullopt, std::nullopt);
  t.Vertices.clear();
  host.ClearSelection();
  host.UnloadSelectForm();
  return true;
}

}  // namespace orvenda
