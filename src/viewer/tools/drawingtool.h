#pragma once
// The drawing tools: polyline (6), polygon (7), measure (8) and the polygon of
// a multiple selection (13). Each click adds a vertex, rubber lines follow the
// pointer from the last vertex (and from the first when the figure is closed),
// and the drawing menu mnuEnd resumes, drops the last vertex or cancels.

#include "viewer/tools/mousetool.h"

namespace orvenda {

class DrawingTool : public MouseTool {
 public:
  explicit DrawingTool(int code) : code_(code) {}

  int Pointer(ToolState&) const override;
  bool StartsDrag(const ToolState&) const override { return true; }
  void Drag(ToolHost& host, SurfaceXY at) override;
  bool Click(ToolHost& host) override;
  std::optional<ContextMenu> Menu(ToolState& t) const override;
  void MenuChoice(ToolHost& host, const std::string& item) override;
  // Finishes the figure, then drops it and leaves the tool.
  void Resume(ToolHost& host) override;
  void AfterRedraw(ToolHost& host, bool fromRepaint) override;

 protected:
  // What the finished figure is for (sending it, reporting its length).
  virtual void Finish(ToolHost&) {}
  bool Closed() const { return code_ == tool::kDrawPolygon || code_ == tool::kSelectionPolygon; }

 private:
  int code_;
};

// Measure distance (tool 8): "Resume" reports the measured length.
class MeasureTool final : public DrawingTool {
 public:
  MeasureTool() : DrawingTool(tool::kMeasure) {}

 protected:
  void Finish(ToolHost& host) override;
};

// Rubber lines from the last vertex, and from the first when closed, to `at`;
// nothing while there is no vertex.
void FollowPointer(ToolHost& host, SurfaceXY at, bool closed);
// The vertex a click at the pointer gives, by the drawing menu's point rules;
// nothing when the rule in force finds none.
std::optional<Point> VertexAtPointer(ToolHost& host);
// A vertex at the pointer (as above), and the figure drawn again.
void AddVertexAtPointer(ToolHost& host, bool closed);
// "Delete Last Point": drops the last vertex and draws the figure again.
void DeleteLastVertex(ToolHost& host, bool closed);

}  // namespace orvenda
