#pragma once
// Measure distance (tool 8): each click adds a vertex; a rubber line runs from
// the last vertex to the pointer. "Resume" of the drawing menu reports the
// length (the viewer's EndMeasuring).

#include "viewer/tools/mousetool.h"

namespace orvenda {

class MeasureTool final : public MouseTool {
 public:
  void Drag(ToolHost& host, QPointF pointer) override;
  bool Click(ToolHost& host) override;
};

}  // namespace orvenda
