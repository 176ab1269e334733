#pragma once
// A geographic view of 800 x 600 surface units over longitudes 0..80 and
// latitudes 0..60 (10 units per degree, y = 600 - 10 * latitude), a recording
// surface and a painter, plus helpers that build layers of each kind.

#include "model/layer.h"
#include "render/viewpainter.h"
#include "support/recordingsurface.h"

namespace orvenda::test {

struct DrawingFixture {
  DrawingFixture() {
    view.ViewWidth = 800;
    view.ViewHeight = 600;
    view.ApplyExtents(0, 0, 80, 60);
    painter.MapExtents.Union(0, 0, 80, 60);
  }
  BoundingBox Box() const { return view.ViewExtents; }
  // The whole recording on one line, calls parted by "; ".
  std::string Joined() const {
    std::string all;
    for (const std::string& line : surface.log) all += (all.empty() ? "" : "; ") + line;
    return all;
  }
  // The recording's lines that start with `prefix`.
  std::vector<std::string> Log(const std::string& prefix = "") const {
    std::vector<std::string> out;
    for (const std::string& line : surface.log)
      if (line.rfind(prefix, 0) == 0) out.push_back(line);
    return out;
  }

  // A loaded layer of the kind, shown at every zoom, with one class (the default one).
  static void Define(layer& lyr, TipoLayer kind, int16_t style, int16_t width, Colour pen,
                     Colour fill = 0xC0C000, int16_t fillStyle = fillstyle::kSolid) {
    lyr.Tipo = kind;
    lyr.AccessLevel = ALViewer;
    lyr.Loaded = true;
    lyr.ZoomMax = 1e37F;
    lyr.ThematicMap().Add(style, width, pen, fill, fillStyle, kAnyValueClass, "");
  }
  static Entidad& Add(layer& lyr, int32_t id, std::vector<Point> points) {
    return lyr.Entidades.Add(id, points, &lyr);
  }

  testing::RecordingSurface surface;
  ViewTransform view;
  ViewPainter painter{surface, view};
};

}  // namespace orvenda::test
