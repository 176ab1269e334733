#pragma once
// Drawing of one element (Entidad) with its thematic class through a
// ViewPainter: the element's own drawing operations, kept in the render
// library as free functions so that the model does not depend on drawing.
//
//   Draw(ent, BBox, painter, Tipo)     project, draw, refresh the screen cache;
//                                      false when the element is outside BBox
//   DrawWOCalc(ent, painter, Tipo)     draw again from the screen cache
//   DrawDirection(ent, painter)        one arrowhead per segment (cache)
//   DrawLabel(ent, painter)            the element's label as rotated text
//   resaltar(ent, BBox, painter, Tipo, theme)   draw with another class
//   resaltar(lyr, ID, BBox, painter)   highlight one element of a layer
//
// Tipo is the layer's kind: 1 point, 2 and 3 polyline, 4 polygon; any other
// draws nothing.

#include <cstdint>

#include "model/boundingbox.h"
#include "model/entidad.h"
#include "model/layer.h"
#include "model/theme.h"
#include "render/viewpainter.h"

namespace orvenda {

// The element's class in its layer's thematic map; null when the layer has no
// class under the element's ThemeCode (such an element is not drawn).
const Theme* ClassOf(const Entidad& ent);

bool Draw(Entidad& ent, const BoundingBox& BBox, ViewPainter& Wnd, TipoLayer TipoEnt);
void DrawWOCalc(Entidad& ent, ViewPainter& Wnd, TipoLayer TipoEnt);
void DrawDirection(const Entidad& ent, ViewPainter& Wnd);
void DrawLabel(const Entidad& ent, ViewPainter& Wnd);
void resaltar(Entidad& ent, const BoundingBox& BBox, ViewPainter& Wnd, TipoLayer TipoEnt,
              const Theme& themecolor);
void resaltar(layer& lyr, std::int32_t IDEntidad, const BoundingBox& BBox, ViewPainter& Wnd);

// The class a highlight is drawn with: solid 0xC0C000 fill, red pen, twice the
// element's own pen width (1 when the layer's default class has no width).
Theme HighlightClass(layer& lyr, const Entidad& ent);

}  // namespace orvenda
