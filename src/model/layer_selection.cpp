// Point and polygon selection of class layer.
#include <string>

#include "model/layer.h"

namespace orvenda {

namespace {

constexpr double kLineTolerance = 0.00065;  // degrees, points and polylines
constexpr double kPointManyTolerance = 7.5e-5;

bool HidesOutline(const Theme& t) { return t.DrawStyle == kTransparentDraw; }
bool HidesPolygon(const Theme& t) {
  return t.FillStyle == kTransparentFill && t.DrawStyle == kTransparentDraw;
}

// The caller's list grows only when its last slot is taken (greater than 0).
void AppendID(std::vector<int32_t>& ids, int32_t id) {
  if (ids.empty() || ids.back() > 0) {
    ids.push_back(id);
  } else {
    ids.back() = id;
  }
}

}  // namespace

const Theme& layer::ClassOf(const Entidad& ent) {
  return ThematicMap().Item(std::to_string(ent.ThemeCode));
}

bool layer::PointCandidatesAllowed() const {
  return Selectable && !DrawnEntities.empty() && Tipo >= 1 && Tipo <= 4;
}

bool layer::VisibleByClass(const Entidad& ent) {
  const Theme& theme = ClassOf(ent);
  return Tipo == polygonlayer ? !HidesPolygon(theme) : !HidesOutline(theme);
}

int32_t layer::NearestLineElement(double X, double Y, double& best) {
  best = 1e35;
  int32_t choice = 0;
  for (int32_t id : DrawnEntities) {
    const Entidad* ent = Entidades.ItemByID(id);
    if (ent == nullptr) continue;  // drawn, then removed
    const double d = HidesOutline(ClassOf(*ent)) ? 1e36 : ent->DistPuntoAEntidad(X, Y);
    if (d <= best) {  // a later element wins a tie
      best = d;
      choice = id;
    }
  }
  return choice;
}

int32_t layer::FirstPolygonContaining(double X, double Y) {
  for (int32_t id : DrawnEntities) {
    const Entidad* ent = Entidades.ItemByID(id);
    if (ent != nullptr && !HidesPolygon(ClassOf(*ent)) && ent->PointInPolygon(X, Y)) {
      return id;
    }
  }
  return 0;
}

int32_t layer::SelectByPoint(double X, double Y) {
  if (!PointCandidatesAllowed()) {
    return 0;
  }
  if (Tipo == polygonlayer) {
    return FirstPolygonContaining(X, Y);
  }
  double best = 0;
  const int32_t choice = NearestLineElement(X, Y, best);
  return best < kLineTolerance ? choice : 0;
}

void layer::SelectByPointMany(double X, double Y, std::vector<int32_t>& Entities) {
  if (!PointCandidatesAllowed()) {
    return;
  }
  if (Tipo == pointlayer) {
    // Only points at least as near as every earlier one are taken.
    double best = 1e35;
    for (int32_t id : DrawnEntities) {
      const Entidad* ent = Entidades.ItemByID(id);
      if (ent == nullptr) continue;
      const double d = HidesOutline(ClassOf(*ent)) ? 1e36 : ent->DistPuntoAEntidad(X, Y);
      if (d <= best) {
        best = d;
        if (d < kPointManyTolerance) AppendID(Entities, id);
      }
    }
  } else if (Tipo == polygonlayer) {
    if (const int32_t id = FirstPolygonContaining(X, Y); id != 0) {
      AppendID(Entities, id);
    }
  } else {
    double best = 0;
    const int32_t id = NearestLineElement(X, Y, best);
    if (best < kLineTolerance) AppendID(Entities, id);
  }
}

bool layer::QualifiesInPolygon(const Entidad& ent, const Entidad& polygon, bool whole) const {
  const auto vertices = ent.Vertices();
  if (vertices.empty()) {
    return false;
  }
  for (const Point& p : vertices) {
    const bool inside = polygon.PointInPolygon(p.X, p.Y);
    if (!whole && inside) return true;
    if (whole && !inside) return false;
  }
  return whole;
}

std::vector<int32_t> layer::SelectElementsInPolygon(std::span<const Point> polygon,
                                                    bool WholeElementInside) {
  Entidad area;  // no parent layer: its box does not touch ours
  area.SetPoints(polygon);
  area.CalculateBoundingBox();
  std::vector<int32_t> kept;
  if (bb.InterseccionCon(area.bb)) {
    for (const Entidad& ent : Entidades) {
      if (ent.bb.InterseccionCon(area.bb) && QualifiesInPolygon(ent, area, WholeElementInside) &&
          VisibleByClass(ent)) {
        kept.push_back(ent.ID);
      }
    }
  }
  if (kept.empty()) {
    kept.push_back(0);
  }
  return kept;
}

}  // namespace orvenda
