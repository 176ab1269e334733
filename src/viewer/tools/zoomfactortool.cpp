#include "viewer/tools/zoomfactortool.h"

#include <charconv>

namespace orvenda {

int ZoomFactorTool::Pointer(ToolState& t) const {
  t.ZoomStepText = FactorText(t.ZoomStep);
  return t.ZoomStep > 1.0f ? 105 : 106;
}

bool ZoomFactorTool::Click(ToolHost& host) {
  ToolState& t = host.tools();
  host.SetMousePointer(pointer::kArrowHourglass);
  t.MouseAction = t.AfterGesture();
  host.ZoomAboutPointer();
  return true;
}

std::string FactorText(float factor) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, factor).ptr;
  return std::string(text, end);
}

}  // namespace orvenda
