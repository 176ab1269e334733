#include "viewer/tools/pantool.h"

namespace orvenda {

void PanTool::Drag(ToolHost& host, SurfaceXY at) {
  const ToolState& t = host.tools();
  const SurfaceXY down = SurfaceOf(host, t.DownX, t.DownY);
  host.SetPictureShift(SurfaceXY{at.x - down.x, at.y - down.y});
}

bool PanTool::Release(ToolHost& host) {
  ToolState& t = host.tools();
  host.SetPictureShift(std::nullopt);
  t.MouseAction = t.AfterGesture();
  host.SetToolPointer(t.BaseTool);
  const GeoLonLat d = GeoOf(host, t.DownX, t.DownY);
  const GeoLonLat u = GeoOf(host, t.UpX, t.UpY);
  if (d.lon == u.lon && d.lat == u.lat) {
    t.Dragging = false;
    host.RepaintSaved();
  } else {
    host.PanFrom(d, u);
  }
  return false;
}

}  // namespace orvenda
