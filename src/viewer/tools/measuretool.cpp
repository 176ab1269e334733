#include "viewer/tools/measuretool.h"

namespace orvenda {

void MeasureTool::Drag(ToolHost& host, QPointF pointer) {
  const ToolState& t = host.tools();
  if (t.Vertices.empty()) return;
  const Point& last = t.Vertices.back();
  const QPointF from = host.ToSurface(host.ToMap({last.X, last.Y}));
  host.SetRubberLines(QLineF(from, pointer), std::nullopt);
}

bool MeasureTool::Click(ToolHost& host) {
  ToolState& t = host.tools();
  if (t.BaseTool != tool::kMeasure) {
    // The first click after another tool only takes the tool back.
    t.BaseTool = tool::kMeasure;
    host.SetToolPointer(tool::kMeasure);
    host.DrawFigure(false);
    return false;
  }
  const GeoLonLat at = host.ToGeographic({t.PointerX, t.PointerY});
  t.Vertices.push_back(Point{at.lon, at.lat});
  host.RepaintSaved();
  host.DrawFigure(false);
  return true;
}

}  // namespace orvenda
