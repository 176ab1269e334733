#include "render/layerdrawing.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

#include "render/entitydrawing.h"

namespace orvenda {
namespace {

constexpr double kNoLowerBound = 99999;
constexpr float kNoUpperLimit = 1e37F;

enum class Bounds { Inclusive, ExclusiveAtMax };

bool ByUserChoice(int choice, float zoomMin, float zoomMax, const ViewTransform& view,
                  Bounds bounds) {
  switch (choice) {
    case uservisibility::kHidden:
      return false;
    case uservisibility::kByZoom: {
      const double tMin = ZoomThreshold(zoomMin, view);
      const double tMax = ZoomThreshold(zoomMax, view);
      const double s = view.FactorEscala;
      const bool aboveMax = bounds == Bounds::Inclusive ? tMax <= s : tMax < s;
      return aboveMax && s <= tMin;
    }
    default:  // kAlways: the layer's setters admit no other choice
      return true;
  }
}

bool ClassShows(const Entidad& ent, TipoLayer kind) {
  const Theme* theme = ClassOf(ent);
  if (theme == nullptr) {
    return false;
  }
  if (kind == polygonlayer) {
    return !(theme->FillStyle == kTransparentFill && theme->DrawStyle == kTransparentDraw);
  }
  return theme->DrawStyle != kTransparentDraw;
}

// The element's class for its value; "0" and no classification without a field.
void Classify(layer& lyr, Entidad& ent) {
  if (lyr.ThematicType == 0) {
    ent.SetThemeValue("0");
  } else {
    lyr.CalculateThemeObject(ent);
  }
}

void RedrawIncremental(layer& lyr, const BoundingBox& BBox, ViewPainter& Wnd,
                       const std::vector<int32_t>& newIDs) {
  // An ID that arrived again replaced its element: it is drawn as new, once.
  const std::unordered_set<int32_t> arrived(newIDs.begin(), newIDs.end());
  std::erase_if(lyr.DrawnEntities, [&](int32_t id) { return arrived.contains(id); });
  for (const int32_t id : lyr.DrawnEntities) {
    if (Entidad* ent = lyr.Entidades.ItemByID(id)) {
      DrawWOCalc(*ent, Wnd, lyr.Tipo);
    }
  }
  std::unordered_set<int32_t> done;
  for (const int32_t id : newIDs) {
    Entidad* ent = lyr.Entidades.ItemByID(id);
    if (ent == nullptr || !done.insert(id).second) {
      continue;
    }
    Classify(lyr, *ent);
    if (Draw(*ent, BBox, Wnd, lyr.Tipo)) {
      lyr.DrawnEntities.push_back(id);
    }
  }
}

void RedrawFull(layer& lyr, const BoundingBox& BBox, ViewPainter& Wnd) {
  lyr.DrawnEntities.clear();
  for (Entidad& ent : lyr.Entidades) {
    if (lyr.ThematicType == 0) {
      ent.SetThemeValue("0");
    } else if (lyr.CalculateThemes) {
      lyr.CalculateThemeObject(ent);
    }
    if (Draw(ent, BBox, Wnd, lyr.Tipo)) {
      lyr.DrawnEntities.push_back(ent.ID);
    }
  }
}

}  // namespace

double ZoomThreshold(float limit, const ViewTransform& view) {
  if (limit == 0) {
    return kNoLowerBound;
  }
  if (limit == kNoUpperLimit) {
    return 0;
  }
  return view.ViewHeight / static_cast<double>(limit) / 1000;
}

bool CalculateVisibility(const layer& lyr, const ViewTransform& view) {
  if (lyr.AccessLevel == ALNoAccess) {
    return false;
  }
  return ByUserChoice(lyr.UserVisibility(), lyr.ZoomMin, lyr.ZoomMax, view, Bounds::Inclusive);
}

bool CalculateLabelVisibility(const layer& lyr, const ViewTransform& view) {
  return ByUserChoice(lyr.UserLabelVisibility(), lyr.lblZoomMin, lyr.lblZoomMax, view,
                      Bounds::ExclusiveAtMax);
}

bool CalculateDirectionVisibility(const layer& lyr, const ViewTransform& view) {
  return ByUserChoice(lyr.UserDirectionVisibility(), lyr.DirectionZoomMin, lyr.DirectionZoomMax,
                      view, Bounds::ExclusiveAtMax);
}

void Redraw(layer& lyr, const BoundingBox& BBox, ViewPainter& Wnd) {
  lyr.Visible = CalculateVisibility(lyr, Wnd.view());
  if (!lyr.Visible) {
    lyr.DrawnEntities.clear();
    return;
  }
  if (lyr.Tipo == ImageLayer) {
    if (lyr.ImageNumber != -1 && Wnd.Images != nullptr) {
      Wnd.Images->DrawImage(lyr.ImageNumber);
    }
    return;
  }
  if (!BBox.InterseccionCon(lyr.bb)) {
    lyr.DrawnEntities.clear();
    return;
  }
  const std::vector<int32_t> newIDs = lyr.Entidades.GetNewIDs();
  if (!newIDs.empty()) {
    RedrawIncremental(lyr, BBox, Wnd, newIDs);
  } else {
    RedrawFull(lyr, BBox, Wnd);
  }
  lyr.CalculateThemes = false;
}

void RedrawWOCalc(layer& lyr, const BoundingBox& BBox, ViewPainter& Wnd) {
  lyr.Visible = CalculateVisibility(lyr, Wnd.view());
  if (!lyr.Visible) {
    return;
  }
  if (lyr.Tipo == ImageLayer) {
    if (lyr.ImageNumber != -1 && Wnd.Images != nullptr) {
      Wnd.Images->RepaintImage(lyr.ImageNumber);
    }
    return;
  }
  if (!BBox.InterseccionCon(lyr.bb)) {
    return;
  }
  for (const int32_t id : lyr.DrawnEntities) {
    if (Entidad* ent = lyr.Entidades.ItemByID(id)) {
      DrawWOCalc(*ent, Wnd, lyr.Tipo);
    }
  }
}

void DrawLabels(layer& lyr, const BoundingBox& BBox, ViewPainter& Wnd) {
  if (!lyr.Loaded || !lyr.Visible) {
    return;
  }
  lyr.lblVisible = CalculateLabelVisibility(lyr, Wnd.view());
  if (!lyr.lblVisible || !BBox.InterseccionCon(lyr.bb) || lyr.Labels().count() == 0) {
    return;
  }
  // One flag per label index: a text shared by many elements is written once,
  // at the first of them.
  std::vector<bool> written(static_cast<std::size_t>(lyr.Labels().count()) + 1, false);
  for (const int32_t id : lyr.DrawnEntities) {
    const Entidad* ent = lyr.Entidades.ItemByID(id);
    if (ent == nullptr || !ClassShows(*ent, lyr.Tipo)) {
      continue;
    }
    if (!lyr.lblAllowDuplicates) {
      const auto index = static_cast<std::size_t>(ent->IDLabel);
      if (ent->IDLabel < 0 || index >= written.size()) {
        continue;  // no such label in the dictionary
      }
      if (written[index]) {
        continue;
      }
      written[index] = true;
    }
    DrawLabel(*ent, Wnd);
  }
}

void DrawDirections(layer& lyr, const BoundingBox& BBox, ViewPainter& Wnd) {
  if (!lyr.Loaded || !lyr.Visible || (lyr.Tipo != 2 && lyr.Tipo != 3)) {
    return;
  }
  lyr.DirectionVisible = CalculateDirectionVisibility(lyr, Wnd.view());
  if (!lyr.DirectionVisible || !BBox.InterseccionCon(lyr.bb)) {
    return;
  }
  for (const int32_t id : lyr.DrawnEntities) {
    if (const Entidad* ent = lyr.Entidades.ItemByID(id)) {
      DrawDirection(*ent, Wnd);
    }
  }
}

}  // namespace orvenda
