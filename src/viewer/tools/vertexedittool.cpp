#include "viewer/tools/vertexedittool.h"

#include <algorithm>

#include "protocol/editmessages.h"
#include "viewer/tools/drawingtool.h"
#include "viewer/tools/selectiontool.h"
#include "viewer/tools/toolmenus.h"

namespace orvenda {

namespace {

// Places the marker on the current vertex and draws the vertices: open for a
// line, and for an area with the edge back to its first vertex, which the edit
// leaves out of the list.
void ShowEdit(ToolHost& host) {
  ToolState& t = host.tools();
  t.EditVertexCount = t.VertexCount();
  if (t.Vertices.empty()) return;
  t.EditVertex = std::clamp(t.EditVertex, 1, t.EditVertexCount);
  host.SetVertexMarker(SurfaceOfGeo(host, t.Vertices[t.EditVertex - 1]));
  host.DrawFigure(t.EditKind == polygonlayer);
}

void Changed(ToolHost& host) {
  host.RepaintSaved();
  ShowEdit(host);
}

// No tool, nothing under edit; the layer drawn again with what it now holds.
void EndEdit(ToolHost& host) {
  ToolState& t = host.tools();
  t.MouseAction = t.BaseTool = tool::kNone;
  t.KeepTool = false;
  t.Vertices.clear();
  t.EditVertex = t.EditVertexCount = 0;
  t.Edit = {};
  host.SetVertexMarker(std::nullopt);
  host.RepaintLayer(t.SelectionLayer);
}

void PutEverythingBack(ToolHost& host) {
  const GeometryEditBuffer& edit = host.tools().Edit;
  if (layer* lay = host.FindLayer(host.tools().SelectionLayer)) {
    PutBack(*lay, edit.element, edit.element.points);
    for (const HeldElement& j : edit.joined) PutBack(*lay, j, j.points);
  }
}

void Proceed(ToolHost& host) {
  ToolState& t = host.tools();
  const GeometryEditBuffer& edit = t.Edit;
  if (layer* lay = host.FindLayer(t.SelectionLayer); lay && !t.Vertices.empty()) {
    const float w = lay->GridDeltaX, h = lay->GridDeltaY;
    // The absorbed elements are erased: a cell reply may have brought them back.
    for (const HeldElement& j : edit.joined) {
      lay->RemoveEntity(j.ID);
      host.SendToServer(WriteErase({lay->IDLayer, CellsOfVertices(j.points, w, h), j.ID}));
    }
    std::vector<Point> points = t.Vertices;
    if (edit.closedRing) points.push_back(points.front());
    PutBack(*lay, edit.element, points);
    const auto count = static_cast<std::int32_t>(points.size());
    host.SendToServer(WriteGeometryEdit({lay->IDLayer, static_cast<std::int16_t>(lay->Tipo),
                                         edit.element.ID, CellsOfVertices(points, w, h), points,
                                         edit.breakAt > 0 ? edit.breakAt : count, w, h}));
  }
  EndEdit(host);
}

// Join: the element of the layer under the pointer is absorbed into the edit.
void Join(ToolHost& host) {
  ToolState& t = host.tools();
  layer* lay = host.FindLayer(t.SelectionLayer);
  if (!lay) return;
  const GeoLonLat at = GeoOf(host, t.PointerX, t.PointerY);
  const std::int32_t id = lay->SelectByPoint(
      at.lon, at.lat, PickReach(host.view(), SurfaceOf(host, t.PointerX, t.PointerY)));
  const auto& joined = t.Edit.joined;
  // The element under edit comes back with a cell reply; it is never joined to itself.
  if (id <= 0 || id == t.Edit.element.ID ||
      std::any_of(joined.begin(), joined.end(), [id](const HeldElement& j) { return j.ID == id; }))
    return;
  std::optional<HeldElement> held = TakeOut(*lay, id);
  if (!held) return;
  const JoinedVertices merged = JoinVertices(t.Vertices, t.EditVertex, held->points);
  t.Vertices = merged.points;
  t.EditVertex = merged.current;
  t.Edit.joined.push_back(std::move(*held));
  host.RepaintLayer(lay->IDLayer);
}

bool Enabled(const ToolState& t, const std::string& item) {
  for (const MenuItem& m : EditGeoMenuItems(t)) {
    if (m.name == item) return m.enabled;
  }
  return false;
}

}  // namespace

layer* DrawableLayer(ToolHost& host, std::int32_t layerId) {
  layer* lay = host.FindLayer(layerId);
  if (!lay || lay->Tipo == ImageLayer) return nullptr;
  if (lay->AccessLevel < ALDraw) {
    host.interaction().MessageBox("Acceso Denegado", "Orvenda", MessageIcon::Critical,
                                  MessageButtons::Ok);
    return nullptr;
  }
  return lay;
}

void BeginVertexEdit(ToolHost& host, std::int32_t elementId) {
  ToolState& t = host.tools();
  layer* lay = host.FindLayer(t.SelectionLayer);
  std::optional<HeldElement> held;
  if (lay) held = TakeOut(*lay, elementId);
  if (!held || held->points.empty()) {
    if (held) PutBack(*lay, *held, held->points);
    t.MouseAction = tool::kPickEditElement;
    return;
  }
  t.Vertices = held->points;
  const bool closed =
      lay->Tipo == polygonlayer && t.Vertices.size() > 1 && t.Vertices.front() == t.Vertices.back();
  if (closed) t.Vertices.pop_back();
  t.Edit = GeometryEditBuffer{};
  t.Edit.element = std::move(*held);
  t.Edit.closedRing = closed;
  t.EditKind = lay->Tipo;
  t.EditVertex = 1;
  t.EditVertexCount = t.VertexCount();
  t.MouseAction = tool::kVertexEditing;
  t.KeepTool = true;
  host.RepaintLayer(lay->IDLayer);
}

bool VertexEditTool::Click(ToolHost& host) {
  ToolState& t = host.tools();
  if (code_ == tool::kJoin) {
    Join(host);
  } else if (code_ != tool::kVertexEditing) {
    const std::optional<Point> vertex = VertexAtPointer(host);
    if (!vertex || t.Vertices.empty()) return true;
    const auto at = t.Vertices.begin() + (t.EditVertex - 1);
    if (code_ == tool::kMoveVertex) {
      *at = *vertex;
    } else {
      t.Vertices.insert(code_ == tool::kInsertBefore ? at : at + 1, *vertex);
    }
  } else {
    return true;
  }
  t.MouseAction = tool::kVertexEditing;
  Changed(host);
  return true;
}

std::optional<ContextMenu> VertexEditTool::Menu(ToolState& t) const {
  if (code_ == tool::kVertexEditing) {
    t.KeepTool = true;
    return ContextMenu{"mnuEditGeo", EditGeoMenuItems(t)};
  }
  if (code_ >= tool::kMoveVertex && code_ <= tool::kInsertAfter) {
    return ContextMenu{"mnuEnd", EndMenuItems(t)};
  }
  return std::nullopt;
}

void VertexEditTool::MenuChoice(ToolHost& host, const std::string& item) {
  ToolState& t = host.tools();
  if (code_ != tool::kVertexEditing) {
    // Cancelling a vertex action only goes back to choosing one.
    if (item == "mnuCancelElement") t.MouseAction = tool::kVertexEditing;
    ChooseEndSetting(t, item);
    return;
  }
  // A scripted or stale menu may answer an item that is off: it does nothing.
  if (!Enabled(t, item)) return;
  if (item == "mnuNextVertex" || item == "mnuPreviousVertex") {
    t.EditVertex += item == "mnuNextVertex" ? 1 : -1;
    Changed(host);
  } else if (item == "mnuDeleteVertex") {
    if (DeleteVertex(t.EditKind, t.Vertices, t.EditVertex)) Changed(host);
  } else if (item == "mnuMoveVertex") {
    t.MouseAction = tool::kMoveVertex;
  } else if (item == "mnuInsertBefore") {
    t.MouseAction = tool::kInsertBefore;
  } else if (item == "mnuInsertAfter") {
    t.MouseAction = tool::kInsertAfter;
  } else if (item == "mnuJoin") {
    t.MouseAction = tool::kJoin;
  } else if (item == "mnuBreak" || item == "mnuEditProceed") {
    if (item == "mnuBreak") t.Edit.breakAt = t.EditVertex;
    Proceed(host);
  } else if (item == "mnuEditCancel") {
    PutEverythingBack(host);
    EndEdit(host);
  }
}

void VertexEditTool::AfterRedraw(ToolHost& host, bool) {
  if (Editing()) ShowEdit(host);
}

bool VertexEditTool::ConfirmCancel(ToolHost& host) {
  if (!Editing()) return true;
  if (host.interaction().MessageBox("Do you really want to Cancel Edition?", "Orvenda",
                                    MessageIcon::Question,
                                    MessageButtons::YesNo) != MessageAnswer::Yes) {
    return false;
  }
  PutEverythingBack(host);
  EndEdit(host);
  return true;
}

}  // namespace orvenda
