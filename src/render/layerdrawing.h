#pragma once
// A layer's visibility at the current zoom and its redraws, kept in the render
// library as free functions over the layer (the model does not depend on
// drawing). The viewer calls, with BBox = its ViewExtents:
//
//   full redraw:  for each layer in order  Redraw(lyr, BBox, painter);
//                 then for each layer      DrawLabels(lyr, BBox, painter);
//                 then for each layer      DrawDirections(lyr, BBox, painter);
//   repaint of an unchanged view: RedrawWOCalc instead of Redraw for the
//                 layers whose data did not change, then the same two passes.
//
// Redraw is incremental when elements arrived since the last redraw (the view
// is then unchanged): the old ones repaint from their screen cache and only
// the new ones are projected. Otherwise every element is projected again.

#include "model/boundingbox.h"
#include "model/layer.h"
#include "render/viewpainter.h"
#include "render/viewtransform.h"

namespace orvenda {

// User visibility codes.
namespace uservisibility {
inline constexpr int kHidden = 0;
inline constexpr int kByZoom = 1;
inline constexpr int kAlways = 2;
}  // namespace uservisibility

// The scale at which a zoom limit applies: 99999 for a limit of 0, 0 for the
// limit 1E+37, otherwise ViewHeight / limit / 1000.
double ZoomThreshold(float limit, const ViewTransform& view);

bool CalculateVisibility(const layer& lyr, const ViewTransform& view);
bool CalculateLabelVisibility(const layer& lyr, const ViewTransform& view);
bool CalculateDirectionVisibility(const layer& lyr, const ViewTransform& view);

void Redraw(layer& lyr, const BoundingBox& BBox, ViewPainter& Wnd);
void RedrawWOCalc(layer& lyr, const BoundingBox& BBox, ViewPainter& Wnd);
void DrawLabels(layer& lyr, const BoundingBox& BBox, ViewPainter& Wnd);
void DrawDirections(layer& lyr, const BoundingBox& BBox, ViewPainter& Wnd);

}  // namespace orvenda
