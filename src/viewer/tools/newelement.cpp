#include "viewer/tools/newelement.h"

#include <algorithm>

#include "model/gridrule.h"
#include "protocol/attributeedit.h"
#include "protocol/catalogue.h"
#include "protocol/editmessages.h"
#include "protocol/fieldvalue.h"
#include "viewer/tools/selectiontool.h"
#include "viewer/tools/tooldispatcher.h"
#include "viewer/tools/toolmenus.h"

namespace orvenda {

namespace {

std::string TitleOf(int code, const layer& lay) {
  const char* kind = code == tool::kAddPoint      ? "Punto Nuevo. layer: "
                     : code == tool::kDrawPolygon ? "Polígono Nuevo. layer: "
                                                  : "Polilínea Nueva. layer: ";
  return kind + lay.Nombre;
}

std::int16_t CommandOf(int code) {
  return code == tool::kAddPoint      ? cmd::kNewPoint
         : code == tool::kDrawPolygon ? cmd::kNewArea
                                      : cmd::kNewLine;
}

}  // namespace

std::optional<std::vector<std::string>> NewElementValues(ToolHost& host, layer& lay, int code) {
  std::optional<std::vector<std::string>> values =
      host.AskNewElementValues(lay, TitleOf(code, lay));
  if (!values) return std::nullopt;
  const std::string refused = UnfitValues(lay, *values);
  if (refused.empty()) return values;
  host.interaction().MessageBox(refused + " Nothing was sent.", "Orvenda", MessageIcon::Critical,
                                MessageButtons::Ok);
  return std::nullopt;
}

bool SendNewElement(ToolHost& host, int code, const std::vector<Point>& points) {
  layer* lay = host.FindLayer(host.tools().SelectionLayer);
  return lay && SendNewElement(host, *lay, code, points);
}

bool SendNewElement(ToolHost& host, layer& lay, int code, const std::vector<Point>& points) {
  if (points.empty()) return false;
  NewElementEdit e;
  e.code = CommandOf(code);
  e.layerId = lay.IDLayer;
  e.points = points;
  e.cellWidth = lay.GridDeltaX;
  e.cellHeight = lay.GridDeltaY;
  for (const Point& p : points) {
    const GridCell c = GridCellOfPoint(p.X, p.Y, lay.GridDeltaX, lay.GridDeltaY);
    const CellIJ cell{c.row, c.column};
    if (std::find(e.cells.begin(), e.cells.end(), cell) == e.cells.end()) e.cells.push_back(cell);
  }
  std::optional<std::vector<std::string>> values = NewElementValues(host, lay, code);
  if (!values) return false;
  e.values = std::move(*values);
  host.SendToServer(WriteNewElement(e));
  return true;
}

bool AddPointTool::Click(ToolHost& host) {
  ToolState& t = host.tools();
  t.MouseAction = tool::kNone;
  host.SetMousePointer(pointer::kArrowHourglass);
  const GeoLonLat at = GeoOf(host, t.PointerX, t.PointerY);
  SendNewElement(host, tool::kAddPoint, {Point{at.lon, at.lat}});
  host.RepaintSaved();
  host.SetMousePointer(pointer::kDefault);
  return true;
}

std::optional<ContextMenu> AddPointTool::Menu(ToolState& t) const {
  return ContextMenu{"mnuEnd", EndMenuItems(t)};
}

void AddPointTool::MenuChoice(ToolHost& host, const std::string& item) {
  if (item == "mnuCancelElement") Cancel(host);
}

void NewElementTool::Finish(ToolHost& host) {
  const ToolState& t = host.tools();
  const std::size_t needed = Closed() ? 3 : 2;
  if (t.Vertices.size() < needed) return;
  SendNewElement(host, Closed() ? tool::kDrawPolygon : tool::kDrawPolyline, t.Vertices);
}

bool ArmNewElement(ToolDispatcher& tools, ToolHost& host, std::int32_t layerId) {
  layer* lay = EditableLayer(host, layerId, ALDraw, "Orvenda");
  if (!lay || !tools.Active().Cancel(host)) return false;
  const int code = lay->Tipo == pointlayer     ? tool::kAddPoint
                   : lay->Tipo == polygonlayer ? tool::kDrawPolygon
                                               : tool::kDrawPolyline;
  ToolState& t = host.tools();
  t.MouseAction = t.BaseTool = code;
  t.KeepTool = true;
  t.SelectionLayer = layerId;
  t.EndPointShown = code != tool::kAddPoint;
  t.EndPoint = false;
  t.Vertices.clear();
  host.SetToolPointer(code);
  return true;
}

bool ValidNewElementPoints(TipoLayer kind, std::int32_t numPoints, const std::vector<double>& X,
                           const std::vector<double>& Y) {
  const std::int32_t least = kind == pointlayer ? 1 : kind == polygonlayer ? 3 : 2;
  if (numPoints < least || (kind == pointlayer && numPoints != 1)) return false;
  const auto n = static_cast<std::size_t>(numPoints);
  return X.size() == n && Y.size() == n;
}

}  // namespace orvenda
