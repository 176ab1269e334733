#pragma once
// The sample of one thematic class, drawn with the primitives the map draws its
// elements with, so that a swatch or a preview shows exactly what the map shows:
// the preview of the layer setup and the swatches of the map's legend.

#include "model/theme.h"
#include "model/tipolayer.h"
#include "render/surface.h"

namespace orvenda {

// The layer setup's preview: a point at (1000, 800) twips drawn with a solid pen;
// the lines (300, 400)-(800, 900)-(1200, 809); or the polygon through (800, 100),
// (1600, 800), (800, 1400), (300, 1300), (300, 400). Other kinds draw nothing.
void DrawPreviewSample(Surface& surface, const Theme& theme, TipoLayer kind);

// A legend swatch filling the whole surface (W by H): a point at its centre, a line
// across its middle, or a polygon inset 40 twips (50 on the right) from its edges.
void DrawSwatchSample(Surface& surface, const Theme& theme, TipoLayer kind);

}  // namespace orvenda
