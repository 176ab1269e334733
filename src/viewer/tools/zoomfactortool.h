#pragma once
// Zoom by factor (tool 2): each click zooms about the clicked point by ZoomStep.

#include <string>

#include "viewer/tools/mousetool.h"

namespace orvenda {

class ZoomFactorTool final : public MouseTool {
 public:
  // 105 (magnifier with plus) above 1, else 106; remembers the factor's text.
  int Pointer(ToolState& t) const override;
  bool Click(ToolHost& host) override;
};

// A zoom factor as text: the shortest text that reads back the same.
std::string FactorText(float factor);

}  // namespace orvenda
