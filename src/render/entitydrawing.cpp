#include "render/entitydrawing.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvenda {
namespace {

constexpr Colour kHighlightPen = 255;  // pure red

bool IsPolyline(TipoLayer kind) { return kind == 2 || kind == 3; }

// Draws the element with `theme` from the positions, the way its kind is drawn.
void DrawPositions(ViewPainter& Wnd, const Theme& theme, TipoLayer kind,
                   std::span<const ScreenPoint> positions, bool refresh) {
  if (kind == pointlayer) {
    for (const ScreenPoint& p : positions) {
      Wnd.DrawPointCached(theme, p);
    }
  } else if (IsPolyline(kind)) {
    Wnd.DrawPolylineCached(theme, positions);
  } else if (kind == polygonlayer) {
    Wnd.DrawPolygonCached(theme, positions, refresh);
  }
}

// Draws from the vertices, storing every surface position in `out`.
void DrawVertices(ViewPainter& Wnd, const Theme& theme, TipoLayer kind,
                  std::span<const Point> vertices, std::span<ScreenPoint> out, bool refresh) {
  if (kind == pointlayer) {
    std::ranges::transform(vertices, out.begin(),
                           [&](const Point& p) { return Wnd.DrawPointAt(theme, p); });
  } else if (IsPolyline(kind)) {
    Wnd.DrawPolylineAt(theme, vertices, out);
  } else if (kind == polygonlayer) {
    Wnd.DrawPolygonAt(theme, vertices, refresh, out);
  } else {
    std::ranges::transform(vertices, out.begin(), [&](const Point& p) { return Wnd.Position(p); });
  }
}

}  // namespace

const Theme* ClassOf(const Entidad& ent) {
  if (ent.parentLayer == nullptr || !ent.parentLayer->HasThematicMap()) {
    return nullptr;
  }
  return ent.parentLayer->ThematicMap().Find(std::to_string(ent.ThemeCode));
}

bool Draw(Entidad& ent, const BoundingBox& BBox, ViewPainter& Wnd, TipoLayer TipoEnt) {
  if (!BBox.InterseccionCon(ent.bb())) {
    ent.MarkScreenOutside();
    return false;
  }
  const std::span<ScreenPoint> out = ent.SizeScreen();
  const Theme* theme = ClassOf(ent);
  if (theme == nullptr) {
    // Positions are still kept, so a later class can repaint from them.
    std::ranges::transform(ent.Vertices(), out.begin(),
                           [&](const Point& p) { return Wnd.Position(p); });
    return true;
  }
  DrawVertices(Wnd, *theme, TipoEnt, ent.Vertices(), out, false);
  return true;
}

void DrawWOCalc(Entidad& ent, ViewPainter& Wnd, TipoLayer TipoEnt) {
  if (ent.ScreenState() == ScreenCache::Unsized) {
    Draw(ent, Wnd.MapExtents, Wnd, TipoEnt);
    return;
  }
  const Theme* theme = ClassOf(ent);
  if (theme == nullptr || ent.ScreenState() != ScreenCache::Valid) {
    return;
  }
  DrawPositions(Wnd, *theme, TipoEnt, ent.Screen(), false);
}

void DrawDirection(const Entidad& ent, ViewPainter& Wnd) {
  if (ent.ScreenState() != ScreenCache::Valid || ent.Direction == 0) {
    return;
  }
  const std::span<const ScreenPoint> s = ent.Screen();
  for (std::size_t i = 1; i < s.size(); ++i) {
    Wnd.DrawDirectionArrow(s[i - 1], s[i], ent.Direction);
  }
}

void DrawLabel(const Entidad& ent, ViewPainter& Wnd) {
  if (ent.IDLabel == 0 || ent.parentLayer == nullptr) {
    return;
  }
  layer& lyr = *ent.parentLayer;
  std::string text;
  try {
    text = lyr.Labels().Item(std::to_string(ent.IDLabel)).word;
  } catch (const std::out_of_range&) {
    return;  // the label has not arrived (or was cleared): nothing to write
  }
  double X = 0;
  double Y = 0;
  ent.Centroide(X, Y);
  double angle = 0;
  int alignment = textalign::kLeftMiddle;
  const std::span<const Point> v = ent.Vertices();
  if (lyr.Tipo == pointlayer) {
    alignment = textalign::kTopLeft;
  } else if (lyr.Tipo != polygonlayer && v.size() >= 2) {
    // Along the first segment, at its middle.
    const ViewTransform& view = Wnd.view();
    const ProjectedXY p1 = view.Project(v[0].X, v[0].Y);
    const ProjectedXY p2 = view.Project(v[1].X, v[1].Y);
    const double dx = p2.x - p1.x;
    const double dy = p2.y - p1.y;
    angle = std::abs(dx) <= 1e-7 ? 90.0 : std::atan(dy / dx) * 180.0 / std::numbers::pi;
    const GeoLonLat mid = view.Unproject((p1.x + p2.x) / 2, (p1.y + p2.y) / 2);
    X = mid.lon;
    Y = mid.lat;
  }
  Wnd.DrawRotatedText(X, Y, angle, text, lyr.lblBold, lyr.lblColor, alignment);
}

void resaltar(Entidad& ent, const BoundingBox& BBox, ViewPainter& Wnd, TipoLayer TipoEnt,
              const Theme& themecolor) {
  if (!BBox.InterseccionCon(ent.bb())) {
    return;
  }
  if (ent.ScreenState() == ScreenCache::Valid) {
    DrawPositions(Wnd, themecolor, TipoEnt, ent.Screen(), true);
    return;
  }
  // Not drawn in this view yet: project without touching the element's cache.
  std::vector<ScreenPoint> positions(ent.Vertices().size());
  DrawVertices(Wnd, themecolor, TipoEnt, ent.Vertices(), positions, true);
}

Theme HighlightClass(layer& lyr, const Entidad& ent) {
  Theme highlight;  // solid 0xC0C000 fill, solid pen, width 1
  if (lyr.HasThematicMap()) {
    const Theme* first = lyr.ThematicMap().Find("1");
    const Theme* own = ClassOf(ent);
    if (first != nullptr && first->DrawWidth == 0) {
      highlight.DrawWidth = 1;
    } else if (own != nullptr) {
      highlight.DrawWidth = own->DrawWidth * 2;
    }
  }
  highlight.DrawColor = kHighlightPen;
  return highlight;
}

void resaltar(layer& lyr, std::int32_t IDEntidad, const BoundingBox& BBox, ViewPainter& Wnd) {
  Entidad* ent = lyr.Entidades.ItemByID(IDEntidad);
  if (ent == nullptr) {
    return;
  }
  resaltar(*ent, BBox, Wnd, lyr.Tipo, HighlightClass(lyr, *ent));
}

}  // namespace orvenda
