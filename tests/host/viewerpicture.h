#pragma once
// Picture checks of a Viewer against its own view transform: whether there is
// ink where the view puts a geographic position, and whether a picture after a
// pan is the earlier one moved as the drag says.

#include <QImage>
#include <QPoint>

#include "render/surface.h"

namespace orvenda {
class Viewer;
}

namespace orvenda::testing {

// Something other than the background (or, given, a pixel of the Windows colour
// `colour`) within `r` pixels of where the view puts the geographic position.
bool InkAt(Viewer& viewer, const QImage& picture, double lon, double lat, int r = 2);
bool ColourAt(Viewer& viewer, const QImage& picture, double lon, double lat, Colour colour);
// Ink of `before` that, moved by the bare drag from `from` to `to`, finds no ink
// in `after` near where it lands. Near the pointer the map must follow it to
// within two pixels; further away a pan may change the scale by up to 3 % (it
// applies the moved geographic rectangle again, through the map's projection),
// so the allowance grows with the distance from the pointer. Called the other
// way round, it finds ink of `after` that did not come from `before`.
int MissedByTheDrag(Viewer& viewer, const QImage& before, const QImage& after, QPoint from,
                    QPoint to);

}  // namespace orvenda::testing
