#include "viewerpicture.h"

#include <cmath>

#include "pixels.h"
#include "render/viewtransform.h"
#include "viewer/qtcolour.h"
#include "viewer/viewer.h"

namespace orvenda::testing {
namespace {

// Whether any pixel of `rect` (cut to the picture) is `wanted`, or when `ink`
// is set, is not `wanted`.
bool Has(const QImage& picture, const QRect& rect, QRgb wanted, bool ink) {
  return CountPixels(picture, rect.intersected(picture.rect()),
                     [&](QRgb c) { return ((c & 0xFFFFFF) == (wanted & 0xFFFFFF)) != ink; }) > 0;
}

QRgb Background(Viewer& viewer) {
  return ToQColor(static_cast<Colour>(viewer.map().BackgroundColor)).rgb();
}

QRect Around(Viewer& viewer, double lon, double lat, int r) {
  const SurfacePoint p = viewer.view().GeoToSurface(lon, lat);
  return {static_cast<int>(std::lround(p.x)) - r, static_cast<int>(std::lround(p.y)) - r, 2 * r + 1,
          2 * r + 1};
}

}  // namespace

bool InkAt(Viewer& viewer, const QImage& picture, double lon, double lat, int r) {
  return Has(picture, Around(viewer, lon, lat, r), Background(viewer), true);
}

bool ColourAt(Viewer& viewer, const QImage& picture, double lon, double lat, Colour colour) {
  return Has(picture, Around(viewer, lon, lat, 2), ToQColor(colour).rgb(), false);
}

int MissedByTheDrag(Viewer& viewer, const QImage& before, const QImage& after, QPoint from,
                    QPoint to) {
  const QRgb background = Background(viewer) & 0xFFFFFF;
  int missed = 0;
  for (int y = 0; y < before.height(); ++y) {
    for (int x = 0; x < before.width(); ++x) {
      if ((before.pixel(x, y) & 0xFFFFFF) == background) continue;
      const QPoint q = QPoint(x, y) + to - from;
      const QPoint d = q - to;
      const int allowance = 2 + static_cast<int>(0.03 * std::hypot(d.x(), d.y()));
      const QRect around(q - QPoint(allowance, allowance),
                         QSize(2 * allowance + 1, 2 * allowance + 1));
      if (!after.rect().contains(around)) continue;
      missed += Has(after, around, background, true) ? 0 : 1;
    }
  }
  return missed;
}

}  // namespace orvenda::testing
