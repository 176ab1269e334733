#pragma once
// Picture checks of a Viewer against its own view transform: whether there is
// ink where the view puts a geographic position, and whether a picture after a
// pan is the earlier one moved as the view and the drag say.

#include <QImage>
#include <QPoint>
#include <array>
#include <vector>

#include "render/cprojection.h"

namespace orvenda {
class Viewer;
}

namespace orvenda::testing {

// A pixel that is not background, and the geographic position the view put there.
struct Ink {
  GeoLonLat at;
  QRgb colour;
};

// A picture's ink and the geographic positions of its corners, clockwise from
// the top left, kept to compare with a later view.
struct GeoPicture {
  std::vector<Ink> ink;
  std::array<GeoLonLat, 4> corners;
};

// The map's background colour as a picture holds it.
QRgb Background(Viewer& viewer);
// Something other than the background within `r` pixels of where the view puts
// the geographic position.
bool InkAt(Viewer& viewer, const QImage& picture, double lon, double lat, int r = 2);
// Every pixel of the picture that is not background, placed by the current view.
std::vector<Ink> InkOf(Viewer& viewer, const QImage& picture);
// The picture as the current view shows it.
GeoPicture Remember(Viewer& viewer, const QImage& image);

// How much of a picture after a pan is not the earlier picture moved: ink of
// `before` still in view with no ink within `slack` pixels of where the view now
// puts it (moved further by `nudge`), and ink of `after`, inside where the earlier
// picture now lies, that no ink of `before` lands near. Colours are not compared:
// the smoothed edges of lines change with the fraction of a pixel they fall on.
int Unexplained(Viewer& viewer, const GeoPicture& before, const QImage& after, QPoint nudge,
                int slack);
// Ink of `before` that, moved by the bare drag from `from` to `to`, finds no ink
// in `after` near where it lands. Near the pointer the map must follow it to
// within two pixels; further away a pan may change the scale by up to 3 % (it
// applies the moved geographic rectangle again, through the map's projection),
// so the allowance grows with the distance from the pointer.
int MissedByTheDrag(Viewer& viewer, const QImage& before, const QImage& after, QPoint from,
                    QPoint to);

}  // namespace orvenda::testing
