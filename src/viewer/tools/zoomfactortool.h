#pragma once
// Zoom by factor (tool 2): each click zooms about the clicked point by ZoomStep.

#include "viewer/tools/mousetool.h"

namespace orvenda {

class ZoomFactorTool final : public MouseTool {
 public:
  bool Click(ToolHost& host) override;
};

}  // namespace orvenda
