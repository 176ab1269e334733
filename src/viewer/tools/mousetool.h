#pragma once
// MouseTool: one pointer interaction of the viewer (zoom window, pan, measure...),
// chosen by MouseAction. The viewer handles what every tool shares (the idle
// rule, the positions of the gesture, the events to the host) and passes the
// rest on to the active tool: the press, the moves, the release, the clicks,
// the keys, the context menu and its choices. Each tool also answers its own
// pointer and whether a press starts a drag.

#include <optional>
#include <string>

#include "viewer/tools/toolhost.h"

namespace orvenda {

class MouseTool {
 public:
  virtual ~MouseTool() = default;

  // The cursor resource of the tool-cursor rule (101 to 111), 0 for the
  // default pointer. May remember what the rule remembers (ZoomStepText).
  virtual int Pointer(ToolState&) const { return 0; }
  // Whether a press of the tool starts a drag.
  virtual bool StartsDrag(const ToolState&) const { return false; }

  // An accepted press (DownX, DownY and MouseButton are set).
  virtual void Press(ToolHost&) {}
  // The pointer moved to `at` while dragging, or without a drag (hover).
  virtual void Drag(ToolHost&, SurfaceXY /*at*/) {}
  virtual void Hover(ToolHost&, SurfaceXY /*at*/) {}
  // The button went up (UpX, UpY set); true when MouseUp is to be raised.
  virtual bool Release(ToolHost&) { return true; }
  // A left click after the release; true when `click` is to be raised.
  virtual bool Click(ToolHost&) { return true; }
  virtual void DoubleClick(ToolHost&) {}
  // A key typed (its character code) before Escape is handled by Cancel.
  virtual void Key(ToolHost&, int /*keyAscii*/) {}

  // The menu a right click opens (none by default), and the item chosen in it
  // ("" when the menu was closed without a choice).
  virtual std::optional<ContextMenu> Menu(ToolState&) const { return std::nullopt; }
  virtual void MenuChoice(ToolHost&, const std::string& /*item*/) {}
  // "Resume": finishes what the tool collected.
  virtual void Resume(ToolHost&) {}
  // The figure of the tool after a full redraw, or after a repaint.
  virtual void AfterRedraw(ToolHost&, bool /*fromRepaint*/) {}

  // Cancels the current tool (Escape, "Cancel", the first step of arming
  // another): no tool, nothing collected, the picture and pointer restored, the
  // selection cleared. False when the tool refuses (the user kept an edit).
  bool Cancel(ToolHost& host);

 protected:
  MouseTool() = default;
  MouseTool(const MouseTool&) = default;
  MouseTool& operator=(const MouseTool&) = default;
  // Asked before cancelling; an edit under way asks the user first.
  virtual bool ConfirmCancel(ToolHost&) { return true; }
};

// The state of no tool (code 0).
class NoTool final : public MouseTool {};

}  // namespace orvenda
