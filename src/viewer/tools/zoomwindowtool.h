#pragma once
// Zoom window (tool 1): a drag spans a rubber band; releasing shows that
// rectangle. A release where the press was only repaints.

#include "viewer/tools/mousetool.h"

namespace orvenda {

class ZoomWindowTool final : public MouseTool {
 public:
  int Pointer(ToolState&) const override { return 101; }
  bool StartsDrag(const ToolState&) const override { return true; }
  void Drag(ToolHost& host, SurfaceXY at) override;
  bool Release(ToolHost& host) override;
};

}  // namespace orvenda
