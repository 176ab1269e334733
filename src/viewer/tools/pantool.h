#pragma once
// Pan (tool 3): a drag moves the last picture with the pointer; releasing moves
// the view by the dragged distance. A release where the press was only repaints.

#include "viewer/tools/mousetool.h"

namespace orvenda {

class PanTool final : public MouseTool {
 public:
  int Pointer(ToolState&) const override { return 102; }
  bool StartsDrag(const ToolState&) const override { return true; }
  void Drag(ToolHost& host, SurfaceXY at) override;
  bool Release(ToolHost& host) override;
};

}  // namespace orvenda
