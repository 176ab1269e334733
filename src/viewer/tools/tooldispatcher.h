#pragma once
// ToolDispatcher: the tools of one viewer, and what every tool shares. The viewer
// turns its platform's pointer and key events into these calls and raises the
// host events they answer; the idle rule, the positions of the gesture, the
// hourglass while requests are pending, the way out with Shift and the right
// button, and which menu a right click opens are kept here, then the active tool
// (chosen by MouseAction) does its part.

#include <map>
#include <memory>
#include <optional>

#include "viewer/tools/mousetool.h"

namespace orvenda {

class ToolDispatcher {
 public:
  explicit ToolDispatcher(ToolHost& host);

  // The tool of MouseAction (the no-tool when none has that code).
  MouseTool& Active();
  // The cursor resource of a tool's pointer; 0 (the default) for no tool.
  int PointerOf(int toolCode);

  // Each answers whether the host event of the same name is raised.
  bool Press(int button, int shift, SurfaceXY at);
  // The geographic pointer position for MousePosition, when raised.
  std::optional<GeoLonLat> Move(SurfaceXY at);
  // Call only while idle; then the click (or the context menu) that follows.
  bool Release(SurfaceXY at);
  bool ClickAfterRelease(SurfaceXY at);
  void DoubleClick();
  // A typed character; Escape (27) cancels the current tool.
  void KeyPress(int keyAscii);
  // Cancels the current tool and, when that is accepted, arms a picking tool on
  // a layer, kept until its selection is finished.
  bool ArmPicking(int toolCode, std::int32_t layerId);

 private:
  ToolHost& host_;
  std::map<int, std::unique_ptr<MouseTool>> tools_;
  NoTool none_;
  bool pressAccepted_ = false;
  // A double click stands for the second press; its release brings no click.
  bool suppressClick_ = false;
};

}  // namespace orvenda
