#include "viewer/tools/zoomfactortool.h"

namespace orvenda {

bool ZoomFactorTool::Click(ToolHost& host) {
  ToolState& t = host.tools();
  host.SetMousePointer(pointer::kArrowHourglass);
  t.MouseAction = t.AfterGesture();
  host.ZoomAboutPointer();
  return true;
}

}  // namespace orvenda
