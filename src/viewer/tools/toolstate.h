#pragma once
// ToolState: what the mouse tools of one viewer share: the armed tool, the tool
// to return to, the positions of the last gesture and the figure being drawn.
// Positions are projected, vertices geographic.

#include <cstdint>
#include <string>
#include <vector>

#include "model/tipolayer.h"
#include "viewer/tools/geometryedit.h"

namespace orvenda {

// Tool codes of MouseAction and BaseTool.
namespace tool {
inline constexpr int kNone = 0;
inline constexpr int kZoomWindow = 1;
inline constexpr int kZoomFactor = 2;
inline constexpr int kPan = 3;
inline constexpr int kInformation = 4;
inline constexpr int kAddPoint = 5;
inline constexpr int kDrawPolyline = 6;
inline constexpr int kDrawPolygon = 7;
inline constexpr int kMeasure = 8;
inline constexpr int kErase = 9;
inline constexpr int kEditAttributes = 10;
inline constexpr int kSelect = 11;
inline constexpr int kPickSourcePolygon = 12;
inline constexpr int kSelectionPolygon = 13;
inline constexpr int kPickEditElement = 14;
inline constexpr int kVertexEditing = 15;
inline constexpr int kMoveVertex = 16;
inline constexpr int kInsertBefore = 17;
inline constexpr int kInsertAfter = 18;
inline constexpr int kJoin = 19;
}  // namespace tool

// Mouse pointer codes of the control.
namespace pointer {
inline constexpr int kDefault = 0;
inline constexpr int kHourglass = 11;
inline constexpr int kArrowHourglass = 13;
inline constexpr int kCustom = 99;
}  // namespace pointer

// Mouse buttons as the mouse events number them.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kShiftKey = 1;

struct ToolState {
  int MouseAction = tool::kNone;
  bool KeepTool = false;
  int BaseTool = tool::kNone;
  int SavedPointer = 0;
  int MouseButton = 0;
  double DownX = 0, DownY = 0;
  double UpX = 0, UpY = 0;
  double PointerX = 0, PointerY = 0;
  bool Dragging = false;
  float ZoomStep = 0;
  std::string ZoomStepText{};
  int BusyPointer = 0;
  std::int32_t SelectionLayer = 0;
  int SelectMethod = 1;
  // Check marks of the selection menu: the polygon rule ("Whole Element
  // Inside", else "At least one vertex Inside") and "Remove Elements".
  bool WholeElementInside = true;
  bool RemoveElements = false;
  // Check marks of the drawing menu; "EndPoint" is hidden while adding points.
  bool EndPoint = false;
  bool EndPointShown = true;
  bool RelativeTo = false;
  bool SmartEndPoint = false;
  // "Relative To...": the offsets typed (projected units). "Smart Endpoint": the
  // distances along (L) and across (T) the picked segment, whose ends are geographic.
  double RelativeX = 0, RelativeY = 0;
  double SmartL = 0, SmartT = 0;
  Point SmartA{}, SmartB{};
  // The element under vertex editing: its layer's kind, the current vertex
  // (from 1) and the number of vertices.
  TipoLayer EditKind = 0;
  std::int32_t EditVertex = 0;
  std::int32_t EditVertexCount = 0;
  // What the edit took out of the layer; the edited vertices are Vertices.
  GeometryEditBuffer Edit{};
  // The figure being drawn: geographic vertices, in order (VertexCount is size()).
  std::vector<Point> Vertices{};
  // The selected elements of SelectionLayer, each once, in the order picked.
  std::vector<std::int32_t> Selection{};

  // The tool a finished gesture returns to.
  int AfterGesture() const { return KeepTool ? BaseTool : tool::kNone; }
  std::int32_t VertexCount() const { return static_cast<std::int32_t>(Vertices.size()); }
};

}  // namespace orvenda
