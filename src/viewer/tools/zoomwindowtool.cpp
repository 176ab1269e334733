#include "viewer/tools/zoomwindowtool.h"

namespace orvenda {

void ZoomWindowTool::Drag(ToolHost& host, SurfaceXY at) {
  const ToolState& t = host.tools();
  host.SetRubberBand(SurfaceLine{SurfaceOf(host, t.DownX, t.DownY), at});
}

bool ZoomWindowTool::Release(ToolHost& host) {
  ToolState& t = host.tools();
  t.MouseAction = t.AfterGesture();
  const GeoLonLat d = GeoOf(host, t.DownX, t.DownY);
  const GeoLonLat u = GeoOf(host, t.UpX, t.UpY);
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
