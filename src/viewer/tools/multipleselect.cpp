#include "viewer/tools/multipleselect.h"

namespace orvenda {

void SelectionPolygonTool::Resume(ToolHost& host) {
  const std::vector<Point> drawn = host.tools().Vertices;
  DrawingTool::Resume(host);
  host.MultipleSelectPolygon(0, drawn);
}

void ArmPolygonTool(ToolHost& host, int toolCode, std::int32_t layerId) {
  ToolState& t = host.tools();
  t.MouseAction = t.BaseTool = toolCode;
  t.KeepTool = true;
  if (toolCode == tool::kPickSourcePolygon) t.SelectionLayer = layerId;
  t.Vertices.clear();
  host.SetToolPointer(toolCode);
}

std::optional<std::vector<std::int32_t>> PolygonCandidates(ToolHost& host,
                                                           const MultipleSelection& s) {
  std::vector<Point> polygon;
  if (s.polygonMode == 2) polygon = s.drawn;
  const layer* source = s.polygonMode == 1 ? host.FindLayer(s.source) : nullptr;
  if (const Entidad* e = source ? source->Entidades.ItemByID(s.element) : nullptr) {
    polygon.assign(e->Vertices().begin(), e->Vertices().end());
  }
  layer* target = host.FindLayer(s.target);
  // Without a polygon the constraints select from the whole layer.
  if (!target || polygon.size() < 3) return std::vector<std::int32_t>{};
  std::vector<std::int32_t> inside = target->SelectElementsInPolygon(polygon, true);
  std::erase_if(inside, [](std::int32_t id) { return id < 1; });
  if (inside.empty()) {
    host.interaction().MessageBox("No elements inside polygon", "Orvenda", MessageIcon::Information,
                                  MessageButtons::Ok);
    return std::nullopt;
  }
  return inside;
}

}  // namespace orvenda
