#pragma once
// A geographic view of 800 x 600 surface units over longitudes 0..80 and
// latitudes 0..60 (10 units per degree, y = 600 - 10 * latitude), a recording
// surface and a painter, plus helpers that build layers of each kind.

#include <initializer_list>
#include <string>
#include <vector>

#include "model/layer.h"
#include "render/viewpainter.h"
#include "render/viewtransform.h"
#include "support/recordingsurface.h"

namespace orvenda::test {

// A recording's lines, one per row, for failure messages.
inline std::string Joined(const std::vector<std::string>& log) {
  std::string all;
  for (const std::string& line : log) all += "  " + line + "\n";
  return all;
}

struct DrawingFixture {
  DrawingFixture() {
    view.ViewWidth = 800;
    view.ViewHeight = 600;
    view.Projection = 0;
    view.ApplyExtents(0, 0, 80, 60);
    painter.MapExtents.Union(0, 0, 80, 60);
  }

  BoundingBox Box() const { return view.ViewExtents; }

  // A layer of the kind with one class (the default one).
  static void Define(layer& lyr, TipoLayer kind, int16_t style, int16_t width, Colour pen,
                     Colour fill = 0xC0C000, int16_t fillStyle = fillstyle::kSolid) {
    lyr.Tipo = kind;
    lyr.AccessLevel = ALViewer;
    lyr.Loaded = true;
    lyr.ZoomMax = 1e37F;  // shown at every zoom
    lyr.ThematicMap().Add(style, width, pen, fill, fillStyle, kAnyValueClass, "");
  }

  static Entidad& Add(layer& lyr, int32_t id, std::initializer_list<Point> points) {
    const std::vector<Point> v(points);
    return lyr.Entidades.Add(id, v, &lyr);
  }

  testing::RecordingSurface surface;
  ViewTransform view;
  ViewPainter painter{surface, view};
};

}  // namespace orvenda::test
