#include "viewer/tools/geometryedit.h"

#include <algorithm>
#include <cmath>

#include "model/gridrule.h"
#include "model/layer.h"

namespace orvenda {

std::optional<HeldElement> TakeOut(layer& lay, std::int32_t id) {
  const Entidad* ent = lay.Entidades.ItemByID(id);
  if (!ent) return std::nullopt;
  HeldElement held{id,           ent->Points(), std::string(ent->ThemeValue()), ent->ThemeCode,
                   ent->IDLabel, ent->Direction};
  lay.RemoveEntity(id);
  return held;
}

void PutBack(layer& lay, const HeldElement& held, std::span<const Point> points) {
  // Adding an ID the layer holds replaces that element.
  Entidad& ent = lay.Entidades.Add(held.ID, points, &lay);
  ent.SetThemeValue(held.ThemeValue);
  ent.ThemeCode = held.ThemeCode;
  ent.IDLabel = held.IDLabel;
  ent.Direction = held.Direction;
}

namespace {
double Distance(const Point& a, const Point& b) { return std::hypot(a.X - b.X, a.Y - b.Y); }
}  // namespace

JoinedVertices JoinVertices(std::span<const Point> edited, std::int32_t current,
                            std::span<const Point> other) {
  JoinedVertices out{{edited.begin(), edited.end()}, current};
  if (edited.empty() || other.empty()) return out;
  const Point& e1 = edited.front();
  const Point& ee = edited.back();
  const Point& p1 = other.front();
  const Point& pp = other.back();
  const double d1 = Distance(e1, p1), d2 = Distance(e1, pp);
  const double d3 = Distance(ee, p1), d4 = Distance(ee, pp);
  const auto e = static_cast<std::int32_t>(edited.size());
  bool atEnd = std::min(d1, d2) >= std::min(d3, d4);
  if (current == 1) {
    atEnd = false;
  } else if (current == e) {
    atEnd = true;
  }
  // The end of the other element that meets the edited one.
  const bool lastMeets = atEnd ? d3 >= d4 : d1 >= d2;
  std::vector<Point> p(other.begin(), other.end());
  // At the end the meeting vertex comes first, at the start it comes last.
  if (lastMeets == atEnd) std::reverse(p.begin(), p.end());
  if (atEnd) {
    out.points.insert(out.points.end(), p.begin(), p.end());
  } else {
    out.points.insert(out.points.begin(), p.begin(), p.end());
    out.current += static_cast<std::int32_t>(p.size());
  }
  std::vector<Point> kept;
  std::int32_t index = 0;
  const std::int32_t at = out.current;
  for (const Point& v : out.points) {
    ++index;
    if (!kept.empty() && kept.back() == v) {
      if (index <= at) --out.current;
      continue;
    }
    kept.push_back(v);
  }
  out.points = std::move(kept);
  out.current = std::clamp(out.current, 1, static_cast<std::int32_t>(out.points.size()));
  return out;
}

bool DeleteVertex(TipoLayer kind, std::vector<Point>& vertices, std::int32_t& current) {
  // Kinds 2 and 3 are both lines.
  const std::size_t least = kind == polygonlayer ? 4 : kind == pointlayer ? SIZE_MAX : 3;
  const auto n = static_cast<std::int32_t>(vertices.size());
  if (vertices.size() < least || current < 1 || current > n) return false;
  vertices.erase(vertices.begin() + (current - 1));
  current = std::min(current, n - 1);
  return true;
}

std::vector<CellIJ> CellsOfVertices(std::span<const Point> points, float cellWidth,
                                    float cellHeight) {
  std::vector<CellIJ> cells;
  if (!IsValidCellSize(cellWidth) || !IsValidCellSize(cellHeight)) return cells;
  for (const Point& p : points) {
    const GridCell c = GridCellOfPoint(p.X, p.Y, cellWidth, cellHeight);
    const CellIJ cell{c.row, c.column};
    if (std::find(cells.begin(), cells.end(), cell) == cells.end()) cells.push_back(cell);
  }
  return cells;
}

}  // namespace orvenda
