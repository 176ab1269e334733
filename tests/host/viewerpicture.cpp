#include "viewerpicture.h"

#include <QPolygonF>
#include <algorithm>
#include <cmath>

#include "pixels.h"
#include "render/viewtransform.h"
#include "viewer/qtcolour.h"
#include "viewer/viewer.h"

namespace orvenda::testing {
namespace {

// Whether any pixel of `rect` (cut to the picture) is not background.
bool InkIn(Viewer& viewer, const QImage& picture, const QRect& rect) {
  const QRgb background = Background(viewer) & 0xFFFFFF;
  return CountPixels(picture, rect.intersected(picture.rect()),
                     [background](QRgb c) { return (c & 0xFFFFFF) != background; }) > 0;
}

}  // namespace

QRgb Background(Viewer& viewer) {
  return ToQColor(static_cast<Colour>(viewer.map().BackgroundColor)).rgb();
}

bool InkAt(Viewer& viewer, const QImage& picture, double lon, double lat, int r) {
  const SurfacePoint p = viewer.view().GeoToSurface(lon, lat);
  const QRect around(static_cast<int>(std::lround(p.x)) - r, static_cast<int>(std::lround(p.y)) - r,
                     2 * r + 1, 2 * r + 1);
  return InkIn(viewer, picture, around);
}

namespace {

// The four corners of a square about a point, clockwise from the top left.
constexpr std::array<QPoint, 4> kAround{QPoint(-1, -1), QPoint(1, -1), QPoint(1, 1), QPoint(-1, 1)};

}  // namespace

std::vector<Ink> InkOf(Viewer& viewer, const QImage& picture) {
  const QRgb background = Background(viewer) & 0xFFFFFF;
  std::vector<Ink> ink;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      if ((picture.pixel(x, y) & 0xFFFFFF) == background) continue;
      ink.push_back({viewer.view().SurfaceToGeo(x + 0.5, y + 0.5), picture.pixel(x, y)});
    }
  }
  return ink;
}

GeoPicture Remember(Viewer& viewer, const QImage& image) {
  GeoPicture picture{InkOf(viewer, image), {}};
  for (std::size_t n = 0; n < kAround.size(); ++n) {
    const QPoint corner((kAround[n].x() + 1) / 2 * image.width(),
                        (kAround[n].y() + 1) / 2 * image.height());
    picture.corners[n] = viewer.view().SurfaceToGeo(corner.x(), corner.y());
  }
  return picture;
}

int Unexplained(Viewer& viewer, const GeoPicture& before, const QImage& after, QPoint nudge,
                int slack) {
  // Where the earlier picture lies now; what lies outside it is new.
  QPolygonF earlier;
  for (const GeoLonLat& corner : before.corners) {
    const SurfacePoint p = viewer.view().GeoToSurface(corner.lon, corner.lat);
    earlier << QPointF(p.x, p.y) + nudge;
  }
  std::vector<QPointF> landed;
  for (const Ink& ink : before.ink) {
    const SurfacePoint p = viewer.view().GeoToSurface(ink.at.lon, ink.at.lat);
    landed.push_back(QPointF(p.x, p.y) + nudge);
  }
  int unexplained = 0;
  const QRectF inside = QRectF(after.rect()).adjusted(slack, slack, -slack, -slack);
  for (const QPointF& at : landed) {
    if (!inside.contains(at)) continue;
    const QRect around(at.toPoint() - QPoint(slack, slack), QSize(2 * slack + 1, 2 * slack + 1));
    unexplained += InkIn(viewer, after, around) ? 0 : 1;
  }
  for (const Ink& ink : InkOf(viewer, after)) {
    const SurfacePoint s = viewer.view().GeoToSurface(ink.at.lon, ink.at.lat);
    const bool old = std::all_of(kAround.begin(), kAround.end(), [&](QPoint d) {
      return earlier.containsPoint(QPointF(s.x, s.y) + slack * d, Qt::OddEvenFill);
    });
    if (!old) continue;
    const bool from = std::any_of(landed.begin(), landed.end(), [&](QPointF l) {
      return std::abs(l.x() - s.x) <= slack && std::abs(l.y() - s.y) <= slack;
    });
    unexplained += from ? 0 : 1;
  }
  return unexplained;
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
      missed += InkIn(viewer, after, around) ? 0 : 1;
    }
  }
  return missed;
}

}  // namespace orvenda::testing
