#include "viewer/tools/selectiontool.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "viewer/tools/drawingtool.h"
#include "viewer/tools/toolmenus.h"
#include "viewer/tools/vertexedittool.h"

namespace orvenda {

int SelectionTool::Pointer(ToolState&) const {
  switch (code_) {
    case tool::kInformation:
      return 103;
    case tool::kErase:
      return 108;
    case tool::kEditAttributes:
      return 107;
    default:
      return 0;
  }
}

bool SelectionTool::PicksAll() const {
  return code_ == tool::kInformation || code_ == tool::kEditAttributes ||
         code_ == tool::kPickSourcePolygon;
}

bool SelectionTool::StartsDrag(const ToolState& t) const {
  return code_ != tool::kPickSourcePolygon && code_ != tool::kPickEditElement &&
         t.SelectMethod == 2;
}

void SelectionTool::Drag(ToolHost& host, SurfaceXY at) { FollowPointer(host, at, true); }

double PickReach(const ViewTransform& v, SurfaceXY at) {
  // Half a point symbol: what the eye takes as "on it" at any scale.
  constexpr double kReachUnits = 4;
  const GeoLonLat centre = v.SurfaceToGeo(at.x, at.y);
  double reach = 0;
  for (const GeoLonLat& g :
       {v.SurfaceToGeo(at.x + kReachUnits, at.y), v.SurfaceToGeo(at.x, at.y + kReachUnits)}) {
    reach = std::max(reach, std::hypot(g.lon - centre.lon, g.lat - centre.lat));
  }
  return std::isfinite(reach) ? reach : 0;
}

void PickElement(ToolState& t, std::int32_t id) {
  auto& s = t.Selection;
  const auto found = std::find(s.begin(), s.end(), id);
  if (t.RemoveElements) {
    if (found != s.end()) s.erase(found);
  } else if (found == s.end()) {
    s.push_back(id);
  }
}

bool SelectionTool::Click(ToolHost& host) {
  ToolState& t = host.tools();
  if (t.BaseTool != code_) {
    // The first click after another tool only takes this one back.
    t.BaseTool = code_;
    return false;
  }
  layer* lay = host.FindLayer(t.SelectionLayer);
  if (!lay) return true;
  const GeoLonLat at = GeoOf(host, t.PointerX, t.PointerY);
  const double reach = PickReach(host.view(), SurfaceOf(host, t.PointerX, t.PointerY));
  if (PicksAll()) {
    std::vector<std::int32_t> under;
    lay->SelectByPointMany(at.lon, at.lat, under, reach);
    if (under.empty() || under.front() < 1) return true;
    for (const std::int32_t id : under) {
      if (id > 0 && std::find(t.Selection.begin(), t.Selection.end(), id) == t.Selection.end()) {
        t.Selection.push_back(id);
      }
    }
    Resume(host);
  } else if (code_ == tool::kPickEditElement) {
    // The element clicked is the one to edit: one element, resumed at once.
    const std::int32_t id = lay->SelectByPoint(at.lon, at.lat, reach);
    if (id > 0) t.Selection = {id};
    Resume(host);
  } else if (t.SelectMethod == 1) {
    const std::int32_t id = lay->SelectByPoint(at.lon, at.lat, reach);
    if (id > 0) PickElement(t, id);
    host.RepaintSaved();
  } else if (t.SelectMethod == 2) {
    AddVertexAtPointer(host, true);
  }
  return true;
}

std::optional<ContextMenu> SelectionTool::Menu(ToolState& t) const {
  if (code_ != tool::kErase && code_ != tool::kSelect) return std::nullopt;
  if (t.SelectMethod == 0) t.SelectMethod = 1;
  if (t.SelectMethod == 2 || t.SelectMethod == 3) return ContextMenu{"mnuEnd", EndMenuItems(t)};
  return ContextMenu{"mnuSelect", SelectMenuItems(t)};
}

void SelectionTool::MenuChoice(ToolHost& host, const std::string& item) {
  ToolState& t = host.tools();
  if (item == "mnuEndSelection") {
    Resume(host);
  } else if (item == "mnuCerrarPline") {
    SelectInPolygon(host);
  } else if (item == "mnuZoomToSelected") {
    host.ZoomToSelected(t.SelectionLayer, t.Selection);
  } else if (item == "mnuClearSelection") {
    host.ClearSelection();
    t.RemoveElements = false;
    host.RepaintSaved();
  } else if (item == "mnuCancelSelection" || item == "mnuCancelElement") {
    Cancel(host);
    t.RemoveElements = false;
  } else if (item == "mnuEraseLastPoint") {
    DeleteLastVertex(host, true);
  } else if (!ChooseSelectSetting(t, item)) {
    ChooseEndSetting(t, item);
  }
}

void SelectionTool::SelectInPolygon(ToolHost& host) {
  ToolState& t = host.tools();
  layer* lay = host.FindLayer(t.SelectionLayer);
  // A polygon needs three corners; fewer select nothing.
  if (lay && t.Vertices.size() >= 3) {
    for (const std::int32_t id : lay->SelectElementsInPolygon(t.Vertices, t.WholeElementInside)) {
      if (id > 0) PickElement(t, id);
    }
  }
  t.Vertices.clear();
  t.SelectMethod = 1;
  host.SetRubberLines(std::nullopt, std::nullopt);
  host.RepaintSaved();
}

void SelectionTool::Resume(ToolHost& host) {
  ToolState& t = host.tools();
  t.MouseAction = tool::kNone;
  const std::vector<std::int32_t> picked = std::exchange(t.Selection, {});
  if (code_ == tool::kInformation && !picked.empty()) {
    host.RequestInformation(t.SelectionLayer, picked);
  } else if (code_ == tool::kSelect) {
    host.RaiseSelectionSet(t.SelectionLayer, picked);
  } else if (code_ == tool::kErase && !picked.empty() &&
             host.interaction().MessageBox("Do you really want to erase the selected elements?",
                                           "Erase Element", MessageIcon::Question,
                                           MessageButtons::YesNo) == MessageAnswer::Yes) {
    host.EraseElements(t.SelectionLayer, picked);
  } else if (code_ == tool::kEditAttributes && !picked.empty()) {
    host.EditAttributes(t.SelectionLayer, picked);
  } else if (code_ == tool::kPickEditElement) {
    // Nothing picked keeps the tool, so that the next click may pick.
    if (picked.empty()) {
      t.MouseAction = code_;
    } else {
      BeginVertexEdit(host, picked.front());
    }
  } else if (code_ == tool::kPickSourcePolygon && picked.empty()) {
    t.MouseAction = code_;
    host.interaction().MessageBox("No se pudo seleccionar ningún polígono, Inténtelo Nuevamente!",
                                  "Orvenda", MessageIcon::Exclamation, MessageButtons::Ok);
  }
  host.RepaintSaved();
  t.KeepTool = t.MouseAction == tool::kPickEditElement || t.MouseAction == tool::kVertexEditing ||
               t.MouseAction == tool::kPickSourcePolygon;
  t.RemoveElements = false;
  // Last: the multiple selection shows its dialog again and may arm another tool.
  if (code_ == tool::kPickSourcePolygon && !picked.empty()) {
    host.MultipleSelectPolygon(picked.front(), {});
  }
}

layer* PickableLayer(ToolHost& host, std::int32_t layerId, bool checkAccess) {
  layer* lay = host.FindLayer(layerId);
  if (!lay) return nullptr;
  if (checkAccess && lay->AccessLevel == ALNoAccess) {
    host.interaction().MessageBox("Acceso Denegado", "Orvenda", MessageIcon::Critical,
                                  MessageButtons::Ok);
    return nullptr;
  }
  return lay->Tipo == ImageLayer ? nullptr : lay;
}

layer* EditableLayer(ToolHost& host, std::int32_t layerId, CONSTACCESSLEVEL minimum,
                     const std::string& title) {
  layer* lay = host.FindLayer(layerId);
  if (!lay || lay->Tipo == ImageLayer) return nullptr;
  if (lay->AccessLevel < minimum) {
    host.interaction().MessageBox("Acceso Denegado", title, MessageIcon::Critical,
                                  MessageButtons::Ok);
    return nullptr;
  }
  return lay;
}

}  // namespace orvenda
