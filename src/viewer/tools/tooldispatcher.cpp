#include "viewer/tools/tooldispatcher.h"

#include <utility>

#include "viewer/tools/drawingtool.h"
#include "viewer/tools/multipleselect.h"
#include "viewer/tools/newelement.h"
#include "viewer/tools/pantool.h"
#include "viewer/tools/selectiontool.h"
#include "viewer/tools/vertexedittool.h"
#include "viewer/tools/zoomfactortool.h"
#include "viewer/tools/zoomwindowtool.h"

namespace orvenda {

ToolDispatcher::ToolDispatcher(ToolHost& host) : host_(host) {
  tools_[tool::kZoomWindow] = std::make_unique<ZoomWindowTool>();
  tools_[tool::kZoomFactor] = std::make_unique<ZoomFactorTool>();
  tools_[tool::kPan] = std::make_unique<PanTool>();
  tools_[tool::kMeasure] = std::make_unique<MeasureTool>();
  tools_[tool::kAddPoint] = std::make_unique<AddPointTool>();
  for (const int code : {tool::kDrawPolyline, tool::kDrawPolygon}) {
    tools_[code] = std::make_unique<NewElementTool>(code);
  }
  tools_[tool::kSelectionPolygon] = std::make_unique<SelectionPolygonTool>();
  for (const int code : {tool::kInformation, tool::kErase, tool::kEditAttributes, tool::kSelect,
                         tool::kPickSourcePolygon, tool::kPickEditElement}) {
    tools_[code] = std::make_unique<SelectionTool>(code);
  }
  for (int code = tool::kVertexEditing; code <= tool::kJoin; ++code) {
    tools_[code] = std::make_unique<VertexEditTool>(code);
  }
}

MouseTool& ToolDispatcher::Active() {
  const auto found = tools_.find(host_.tools().MouseAction);
  return found == tools_.end() ? none_ : *found->second;
}

int ToolDispatcher::PointerOf(int toolCode) {
  const auto found = tools_.find(toolCode);
  return found == tools_.end() ? 0 : found->second->Pointer(host_.tools());
}

bool ToolDispatcher::Press(int button, int shift, SurfaceXY at) {
  ToolState& t = host_.tools();
  pressAccepted_ = false;
  suppressClick_ = false;
  if (button == kRightButton && shift == kShiftKey) {
    // The way out when a reply never comes.
    host_.ForgetPendingRequests();
    t.MouseAction = tool::kNone;
    return false;
  }
  if (!host_.LayersLoaded() || !host_.Idle()) return false;
  const ViewTransform& v = host_.view();
  t.DownX = v.SurfaceToProjectedX(at.x);
  t.DownY = v.SurfaceToProjectedY(at.y);
  // A press without a move before it (a touch, a pen) still happens where it is.
  t.PointerX = t.DownX;
  t.PointerY = t.DownY;
  t.Dragging = Active().StartsDrag(t);
  t.MouseButton = button;
  pressAccepted_ = true;
  Active().Press(host_);
  return true;
}

std::optional<GeoLonLat> ToolDispatcher::Move(SurfaceXY at) {
  ToolState& t = host_.tools();
  if (!host_.LayersLoaded()) return std::nullopt;
  if (!host_.Idle()) {
    if (host_.MousePointer() != pointer::kHourglass) {
      t.BusyPointer = host_.MousePointer();
      host_.SetMousePointer(pointer::kHourglass);
    }
    return std::nullopt;
  }
  if (host_.MousePointer() == pointer::kHourglass) host_.SetMousePointer(t.BusyPointer);
  const ViewTransform& v = host_.view();
  t.PointerX = v.SurfaceToProjectedX(at.x);
  t.PointerY = v.SurfaceToProjectedY(at.y);
  t.Dragging ? Active().Drag(host_, at) : Active().Hover(host_, at);
  return v.Unproject(t.PointerX, t.PointerY);
}

bool ToolDispatcher::Release(SurfaceXY at) {
  if (!pressAccepted_) return true;
  ToolState& t = host_.tools();
  t.UpX = host_.view().SurfaceToProjectedX(at.x);
  t.UpY = host_.view().SurfaceToProjectedY(at.y);
  return Active().Release(host_);
}

bool ToolDispatcher::ClickAfterRelease(SurfaceXY at) {
  if (std::exchange(suppressClick_, false) || !host_.Idle()) return false;
  if (!pressAccepted_) return true;
  MouseTool& active = Active();
  if (host_.tools().MouseButton == kRightButton) {
    if (const auto menu = active.Menu(host_.tools()))
      active.MenuChoice(host_, host_.Popup(*menu, at));
    return false;
  }
  return active.Click(host_);
}

void ToolDispatcher::DoubleClick() {
  suppressClick_ = true;
  if (host_.Idle()) Active().DoubleClick(host_);
}

void ToolDispatcher::KeyPress(int keyAscii) {
  if (keyAscii == 27) {
    Active().Cancel(host_);
  } else {
    Active().Key(host_, keyAscii);
  }
}

bool ToolDispatcher::ArmPicking(int toolCode, std::int32_t layerId) {
  if (!Active().Cancel(host_)) return false;
  ToolState& t = host_.tools();
  t.MouseAction = t.BaseTool = toolCode;
  t.KeepTool = true;
  t.SelectionLayer = layerId;
  host_.SetToolPointer(toolCode);
  return true;
}

}  // namespace orvenda
