#include "viewer/tools/pointrules.h"

#include <cmath>
#include <tuple>

#include "viewer/tools/toolmenus.h"

namespace orvenda {
namespace {

bool Snappable(const layer& lay) { return lay.Visible && lay.Tipo != ImageLayer; }

}  // namespace

std::optional<Point> NearestEndPoint(const Layers& layers, double X, double Y) {
  std::optional<layer::VertexHit> best;
  for (const layer& lay : layers) {
    if (!Snappable(lay)) continue;
    const layer::VertexHit hit = lay.NearestVertexInLayer(X, Y);
    if (hit.distance < 1e38 && (!best || hit.distance < best->distance)) best = hit;
  }
  if (!best) return std::nullopt;
  return Point{best->X, best->Y};
}

std::optional<layer::SegmentHit> NearestSegment(const Layers& layers, double X, double Y) {
  std::optional<layer::SegmentHit> best;
  for (const layer& lay : layers) {
    if (!Snappable(lay)) continue;
    const layer::SegmentHit hit = lay.NearestSegmentInLayer(X, Y);
    if (hit.distance < 1e30 && (!best || hit.distance < best->distance)) best = hit;
  }
  return best;
}

std::optional<ProjectedXY> SmartEndPoint(ProjectedXY a, ProjectedXY b, ProjectedXY r, double L,
                                         double T) {
  const double d = std::hypot(b.x - a.x, b.y - a.y);
  if (d == 0) return std::nullopt;
  const ProjectedXY u{(a.x - b.x) / d, (a.y - b.y) / d};
  const ProjectedXY n{(a.y - b.y) / d, (b.x - a.x) / d};
  std::optional<ProjectedXY> best;
  double bestDistance = 0;
  for (const double across : {T, -T}) {
    for (const double along : {L, -L}) {
      const ProjectedXY c{b.x + across * n.x + along * u.x, b.y + across * n.y + along * u.y};
      const double distance = std::hypot(c.x - r.x, c.y - r.y);
      if (!best || distance < bestDistance) {
        best = c;
        bestDistance = distance;
      }
    }
  }
  return best;
}

bool ChooseSnapping(ToolHost& host, const std::string& item) {
  ToolState& t = host.tools();
  if (item == "mnuRelativeTo" && !t.RelativeTo) {
    const std::optional<ProjectedXY> offsets = host.AskRelativeTo();
    if (!offsets) return true;
    t.RelativeX = offsets->x;
    t.RelativeY = offsets->y;
    t.RelativeTo = true;
    t.EndPoint = t.SmartEndPoint = false;
    return true;
  }
  if (item == "mnuSmartEndPoint") {
    // The segment is the one nearest where the menu was opened.
    const GeoLonLat at = GeoOf(host, t.PointerX, t.PointerY);
    const auto selectSegment = [&host, &t, at] {
      const std::optional<layer::SegmentHit> hit = NearestSegment(host.layers(), at.lon, at.lat);
      if (!hit) return false;
      t.SmartA = {hit->x0, hit->y0};
      t.SmartB = {hit->x1, hit->y1};
      return true;
    };
    const std::optional<std::pair<double, double>> distances = host.AskSmartEndPoint(selectSegment);
    if (!distances) return true;
    std::tie(t.SmartL, t.SmartT) = *distances;
    t.SmartEndPoint = true;
    t.EndPoint = t.RelativeTo = false;
    return true;
  }
  return ChooseEndSetting(t, item);
}

}  // namespace orvenda
