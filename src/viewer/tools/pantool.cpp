#include "viewer/tools/pantool.h"

#include <cmath>

namespace orvenda {

void PanTool::Drag(ToolHost& host, QPointF pointer) {
  const ToolState& t = host.tools();
  const QPointF shift = pointer - SurfaceOf(host, t.DownX, t.DownY);
  host.SetPictureShift(
      QPoint(static_cast<int>(std::lround(shift.x())), static_cast<int>(std::lround(shift.y()))));
}

bool PanTool::Release(ToolHost& host) {
  ToolState& t = host.tools();
  host.SetPictureShift(std::nullopt);
  t.MouseAction = t.AfterGesture();
  host.SetToolPointer(t.BaseTool);
  const GeoLonLat d = host.ToGeographic({t.DownX, t.DownY});
  const GeoLonLat u = host.ToGeographic({t.UpX, t.UpY});
  if (d.lon == u.lon && d.lat == u.lat) {
    t.Dragging = false;
    host.RepaintSaved();
  } else {
    host.PanFrom(d, u);
  }
  return false;
}

}  // namespace orvenda
