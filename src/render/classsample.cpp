#include "render/classsample.h"

#include <array>
#include <vector>

#include "render/viewpainter.h"
#include "render/viewtransform.h"

namespace orvenda {
namespace {

ScreenPoint Twips(double x, double y) {
  return {static_cast<float>(TwipsToUnits(x)), static_cast<float>(TwipsToUnits(y))};
}

// The painter draws from surface positions; no geographic view is involved.
void DrawSample(Surface& surface, const Theme& theme, TipoLayer kind,
                const std::vector<ScreenPoint>& positions) {
  const ViewTransform noView;
  ViewPainter painter(surface, noView);
  if (kind == pointlayer) {
    painter.DrawPointCached(theme, positions.front());
  } else if (kind == polylinelayer || kind == 3) {
    painter.DrawPolylineCached(theme, positions);
  } else if (kind == polygonlayer) {
    painter.DrawPolygonCached(theme, positions, false);
  }
}

}  // namespace

void DrawPreviewSample(Surface& surface, const Theme& theme, TipoLayer kind) {
  if (kind == pointlayer) {
    Theme solid = theme;
    solid.DrawStyle = drawstyle::kSolid;
    DrawSample(surface, solid, kind, {Twips(1000, 800)});
  } else if (kind == polylinelayer || kind == 3) {
    DrawSample(surface, theme, kind, {Twips(300, 400), Twips(800, 900), Twips(1200, 809)});
  } else if (kind == polygonlayer) {
    DrawSample(
        surface, theme, kind,
        {Twips(800, 100), Twips(1600, 800), Twips(800, 1400), Twips(300, 1300), Twips(300, 400)});
  }
}

void DrawSwatchSample(Surface& surface, const Theme& theme, TipoLayer kind) {
  const double w = surface.ScaleWidth() * kTwipsPerUnit;
  const double h = surface.ScaleHeight() * kTwipsPerUnit;
  if (kind == pointlayer) {
    DrawSample(surface, theme, kind, {Twips(w / 2, h / 2)});
  } else if (kind == polylinelayer || kind == 3) {
    DrawSample(surface, theme, kind, {Twips(0, h / 2), Twips(w, h / 2)});
  } else if (kind == polygonlayer) {
    DrawSample(surface, theme, kind,
               {Twips(40, 40), Twips(w - 50, 40), Twips(w - 50, h - 40), Twips(40, h - 40)});
  }
}

}  // namespace orvenda
