#include "viewer/tools/zoomwindowtool.h"

#include <cmath>

namespace orvenda {

void ZoomWindowTool::Drag(ToolHost& host, QPointF pointer) {
  const ToolState& t = host.tools();
  const QPointF down = SurfaceOf(host, t.DownX, t.DownY);
  host.SetRubberBand(QRectF(down, pointer).normalized().toRect());
}

bool ZoomWindowTool::Release(ToolHost& host) {
  ToolState& t = host.tools();
  t.MouseAction = t.AfterGesture();
  const GeoLonLat d = host.ToGeographic({t.DownX, t.DownY});
  const GeoLonLat u = host.ToGeographic({t.UpX, t.UpY});
  if (d.lon != u.lon && d.lat != u.lat) {
    t.BaseTool = tool::kZoomWindow;
    host.ApplyExtents(d.lon, d.lat, u.lon, u.lat);
    host.SetMousePointer(pointer::kDefault);
    return true;
  }
  t.Dragging = false;
  host.SetRubberBand(std::nullopt);
  host.RepaintSaved();
  return false;
}

}  // namespace orvenda
