#pragma once
// New elements drawn by the user: the point tool (5), the polyline and polygon tools
// (6, 7) that send what they drew on "Resume", and the arming of AddElement. The
// attribute values are asked before anything is sent, and checked against the
// layer's fields, whoever gave them.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "viewer/tools/drawingtool.h"

namespace orvenda {

class ToolDispatcher;

// Tool 5: a left click adds a point where it is.
class AddPointTool final : public MouseTool {
 public:
  int Pointer(ToolState&) const override { return 104; }
  bool Click(ToolHost& host) override;
  std::optional<ContextMenu> Menu(ToolState& t) const override;
  void MenuChoice(ToolHost& host, const std::string& item) override;
};

// Tools 6 and 7: "Resume" sends the figure as a new line or area when it has enough
// vertices (2 and 3).
class NewElementTool final : public DrawingTool {
 public:
  using DrawingTool::DrawingTool;

 protected:
  void Finish(ToolHost& host) override;
};

// AddElement without points: after the drawing access check, cancels the current tool
// and arms the tool of the layer's kind. False when nothing was armed.
bool ArmNewElement(ToolDispatcher& tools, ToolHost& host, std::int32_t layerId);

// AddElement with points: whether they make an element of the layer's kind (one
// point; at least two for a line, three for an area; as many X as Y).
bool ValidNewElementPoints(TipoLayer kind, std::int32_t numPoints, const std::vector<double>& X,
                           const std::vector<double>& Y);

// The attribute values of a new element of `lay` drawn with tool `code`, asked of the
// host and checked: one per field, each suiting its field's type. Nothing when the
// user cancelled or a value does not suit (the user is told which).
std::optional<std::vector<std::string>> NewElementValues(ToolHost& host, layer& lay, int code);

// Sends a new element of the layer SelectionLayer (205, 206 or 207 by `code`) with
// its grid cells, once its values were given; false when nothing was sent.
bool SendNewElement(ToolHost& host, int code, const std::vector<Point>& points);
// The same on a given layer (a point added at an address found).
bool SendNewElement(ToolHost& host, layer& lay, int code, const std::vector<Point>& points);

}  // namespace orvenda
