#include "viewer/tools/drawingtool.h"

#include "viewer/tools/pointrules.h"
#include "viewer/tools/toolmenus.h"

namespace orvenda {

int DrawingTool::Pointer(ToolState&) const {
  switch (code_) {
    case tool::kDrawPolyline:
      return 110;
    case tool::kDrawPolygon:
      return 111;
    case tool::kMeasure:
      return 109;
    default:
      return 0;
  }
}

void FollowPointer(ToolHost& host, SurfaceXY at, bool closed) {
  const ToolState& t = host.tools();
  if (t.Vertices.empty()) return;
  const SurfaceLine fromLast{SurfaceOfGeo(host, t.Vertices.back()), at};
  std::optional<SurfaceLine> fromFirst;
  if (closed) fromFirst = SurfaceLine{SurfaceOfGeo(host, t.Vertices.front()), at};
  host.SetRubberLines(fromLast, fromFirst);
}

void DrawingTool::Drag(ToolHost& host, SurfaceXY at) { FollowPointer(host, at, Closed()); }

bool DrawingTool::Click(ToolHost& host) {
  ToolState& t = host.tools();
  if (t.BaseTool != code_) {
    // The first click after another tool only takes the tool back.
    t.BaseTool = code_;
    host.SetToolPointer(code_);
    host.DrawFigure(Closed());
    return false;
  }
  AddVertexAtPointer(host, Closed());
  return true;
}

std::optional<Point> VertexAtPointer(ToolHost& host) {
  ToolState& t = host.tools();
  const GeoLonLat at = GeoOf(host, t.PointerX, t.PointerY);
  if (t.EndPoint) return NearestEndPoint(host.layers(), at.lon, at.lat);
  const ViewTransform& v = host.view();
  if (t.RelativeTo) {
    // Applies once.
    t.RelativeTo = false;
    const std::optional<Point> end = NearestEndPoint(host.layers(), at.lon, at.lat);
    if (!end) return std::nullopt;
    const ProjectedXY m = v.Project(end->X, end->Y);
    const GeoLonLat g = v.Unproject(m.x + t.RelativeX, m.y + t.RelativeY);
    return Point{g.lon, g.lat};
  }
  if (t.SmartEndPoint) {
    t.SmartEndPoint = false;
    const std::optional<ProjectedXY> m =
        SmartEndPoint(v.Project(t.SmartA.X, t.SmartA.Y), v.Project(t.SmartB.X, t.SmartB.Y),
                      {t.PointerX, t.PointerY}, t.SmartL, t.SmartT);
    if (!m) return std::nullopt;
    const GeoLonLat g = v.Unproject(m->x, m->y);
    return Point{g.lon, g.lat};
  }
  return Point{at.lon, at.lat};
}

void AddVertexAtPointer(ToolHost& host, bool closed) {
  const std::optional<Point> vertex = VertexAtPointer(host);
  if (!vertex) return;
  host.tools().Vertices.push_back(*vertex);
  host.RepaintSaved();
  host.DrawFigure(closed);
}

std::optional<ContextMenu> DrawingTool::Menu(ToolState& t) const {
  return ContextMenu{"mnuEnd", EndMenuItems(t)};
}

void DrawingTool::MenuChoice(ToolHost& host, const std::string& item) {
  if (item == "mnuCerrarPline") {
    Resume(host);
  } else if (item == "mnuEraseLastPoint") {
    DeleteLastVertex(host, Closed());
  } else if (item == "mnuCancelElement") {
    Cancel(host);
  } else {
    ChooseSnapping(host, item);
  }
}

void DrawingTool::Resume(ToolHost& host) {
  Finish(host);
  ToolState& t = host.tools();
  t.KeepTool = false;
  host.SetRubberLines(std::nullopt, std::nullopt);
  t.Vertices.clear();
  host.RepaintSaved();
  t.MouseAction = tool::kNone;
  host.SetMousePointer(pointer::kDefault);
}

void DeleteLastVertex(ToolHost& host, bool closed) {
  ToolState& t = host.tools();
  if (t.Vertices.empty()) return;
  t.Vertices.pop_back();
  host.RepaintSaved();
  host.DrawFigure(closed);
}

void DrawingTool::AfterRedraw(ToolHost& host, bool fromRepaint) {
  // A repaint draws polylines and measured paths open and the new polygon
  // closed; a full redraw draws the figures still being drawn and resumes their drag.
  if (fromRepaint) {
    if (code_ != tool::kSelectionPolygon) host.DrawFigure(code_ == tool::kDrawPolygon);
    return;
  }
  if (code_ == tool::kMeasure) return;
  host.DrawFigure(Closed());
  host.tools().Dragging = true;
}

void MeasureTool::Finish(ToolHost& host) {
  std::vector<GeoLonLat> path;
  for (const Point& v : host.tools().Vertices) path.push_back({v.X, v.Y});
  host.interaction().MessageBox(TotalDistanceMessage(host.view().MeasuredTotal(path)), "",
                                MessageIcon::None, MessageButtons::Ok);
}

}  // namespace orvenda
