// Point and polygon selection of class layer.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "model/layer.h"

namespace orvenda {

namespace {

constexpr double kLineTolerance = 0.00065;  // degrees, points and polylines
constexpr double kPointManyTolerance = 7.5e-5;

bool HidesOutline(const Theme& t) { return t.DrawStyle == kTransparentDraw; }
bool HidesPolygon(const Theme& t) {
  return t.FillStyle == kTransparentFill && t.DrawStyle == kTransparentDraw;
}

// An element's class is the one under the decimal text of its ThemeCode; an
// absent class raises std::out_of_range to the caller. Neighbouring elements
// mostly share a class, so the last answer is kept for the length of one
// selection (the classes cannot change meanwhile).
class ClassLookup {
 public:
  explicit ClassLookup(ThematicMap& classes) : classes_(classes) {}
  const Theme& Of(const Entidad& ent) {
    if (last_ == nullptr || ent.ThemeCode != lastCode_) {
      last_ = &classes_.Item(std::to_string(ent.ThemeCode));
      lastCode_ = ent.ThemeCode;
    }
    return *last_;
  }

 private:
  ThematicMap& classes_;
  const Theme* last_ = nullptr;
  int32_t lastCode_ = 0;
};

// The caller's list grows only when its last slot is taken (greater than 0).
void AppendID(std::vector<int32_t>& ids, int32_t id) {
  if (ids.empty() || ids.back() > 0) {
    ids.push_back(id);
  } else {
    ids.back() = id;
  }
}

bool PointCandidatesAllowed(const layer& lay) {
  return lay.Selectable && !lay.DrawnEntities.empty() && lay.Tipo >= 1 && lay.Tipo <= 4;
}

// Distance used to pick points and polylines; 1E36 for elements drawn without
// outline.
double PickDistance(const Entidad& ent, ClassLookup& classes, double X, double Y) {
  return HidesOutline(classes.Of(ent)) ? 1e36 : ent.DistPuntoAEntidad(X, Y);
}

// Nearest drawn element to the point; a later element wins a tie.
int32_t NearestLineElement(layer& lay, double X, double Y, double& best) {
  ClassLookup classes(lay.ThematicMap());
  best = 1e35;
  int32_t choice = 0;
  for (int32_t id : lay.DrawnEntities) {
    const Entidad* ent = lay.Entidades.ItemByID(id);
    if (ent == nullptr) continue;  // drawn, then removed
    const double d = PickDistance(*ent, classes, X, Y);
    if (d <= best) {
      best = d;
      choice = id;
    }
  }
  return choice;
}

int32_t FirstPolygonContaining(layer& lay, double X, double Y) {
  ClassLookup classes(lay.ThematicMap());
  for (int32_t id : lay.DrawnEntities) {
    const Entidad* ent = lay.Entidades.ItemByID(id);
    if (ent != nullptr && !HidesPolygon(classes.Of(*ent)) && ent->PointInPolygon(X, Y)) {
      return id;
    }
  }
  return 0;
}

bool QualifiesInPolygon(const Entidad& ent, const Entidad& polygon, bool whole) {
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

}  // namespace

int32_t layer::SelectByPoint(double X, double Y, double reach) {
  if (!PointCandidatesAllowed(*this)) {
    return 0;
  }
  if (Tipo == polygonlayer) {
    return FirstPolygonContaining(*this, X, Y);
  }
  double best = 0;
  const int32_t choice = NearestLineElement(*this, X, Y, best);
  return best < std::max(kLineTolerance, reach) ? choice : 0;
}

void layer::SelectByPointMany(double X, double Y, std::vector<int32_t>& Entities, double reach) {
  if (!PointCandidatesAllowed(*this)) {
    return;
  }
  if (Tipo == pointlayer) {
    // Only points at least as near as every earlier one are taken.
    ClassLookup classes(ThematicMap());
    double best = 1e35;
    for (int32_t id : DrawnEntities) {
      const Entidad* ent = Entidades.ItemByID(id);
      if (ent == nullptr) continue;
      const double d = PickDistance(*ent, classes, X, Y);
      if (d <= best) {
        best = d;
        if (d < std::max(kPointManyTolerance, reach)) AppendID(Entities, id);
      }
    }
  } else if (Tipo == polygonlayer) {
    if (const int32_t id = FirstPolygonContaining(*this, X, Y); id != 0) {
      AppendID(Entities, id);
    }
  } else {
    double best = 0;
    const int32_t id = NearestLineElement(*this, X, Y, best);
    if (best < std::max(kLineTolerance, reach)) AppendID(Entities, id);
  }
}

std::vector<int32_t> layer::SelectElementsInPolygon(std::span<const Point> polygon,
                                                    bool WholeElementInside) {
  Entidad area;  // no parent layer: its box does not touch ours
  area.SetPoints(polygon);
  area.CalculateBoundingBox();
  const BoundingBox areaBox = area.bb();
  std::vector<int32_t> kept;
  if (bb.InterseccionCon(areaBox)) {
    ClassLookup classes(ThematicMap());
    for (const Entidad& ent : Entidades) {
      if (!ent.bb().InterseccionCon(areaBox) ||
          !QualifiesInPolygon(ent, area, WholeElementInside)) {
        continue;
      }
      const Theme& theme = classes.Of(ent);
      if (Tipo == polygonlayer ? !HidesPolygon(theme) : !HidesOutline(theme)) {
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
