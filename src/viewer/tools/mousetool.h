#pragma once
// MouseTool: one pointer interaction of the viewer (zoom window, pan, measure...),
// chosen by MouseAction. The viewer handles what every tool shares (the idle
// rule, the positions of the gesture, the events to the host) and passes on the
// rest: the drag, the release and the left click.

#include <QPointF>

#include "viewer/tools/toolhost.h"

namespace orvenda {

class MouseTool {
 public:
  virtual ~MouseTool() = default;

  // The pointer moved to `pointer` (surface units) while dragging.
  virtual void Drag(ToolHost&, QPointF /*pointer*/) {}
  // The button went up; true when MouseUp is to be raised to the host.
  virtual bool Release(ToolHost&) { return true; }
  // A left click after the release; true when `click` is to be raised.
  virtual bool Click(ToolHost&) { return true; }

 protected:
  MouseTool() = default;
  MouseTool(const MouseTool&) = default;
  MouseTool& operator=(const MouseTool&) = default;
};

}  // namespace orvenda
