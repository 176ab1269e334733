#include "render/visibledata.h"

#include <stdexcept>

#include "render/layerdrawing.h"

namespace orvenda {

namespace {

bool IsRequested(const layer& lay, CellData what, std::int32_t i, std::int32_t j) {
  switch (what) {
    case CellData::Elements:
      return lay.IsCellRequested(i, j);
    case CellData::Labels:
      return lay.IsLabelCellRequested(i, j);
    case CellData::Directions:
      return lay.IsDirectionCellRequested(i, j);
  }
  return true;
}

}  // namespace

void RequestVisibleData(Layers& layers, const ViewTransform& view, VisibleDataRequests& out) {
  const BoundingBox& v = view.ViewExtents;
  for (layer& lay : layers) {
    if (!CalculateVisibility(lay, view)) continue;
    layer::CellList cells;
    try {
      cells = lay.CellsInBox(v.MinX, v.MinY, v.MaxX, v.MaxY);
    } catch (const std::range_error&) {
      out.GridRefused(lay);
      continue;
    }
    // One list of cells serves the elements, then the labels, then the directions.
    const bool wanted[] = {true, !lay.lblField.empty() && CalculateLabelVisibility(lay, view),
                           !lay.DirectionField.empty() && CalculateDirectionVisibility(lay, view)};
    for (const CellData what : {CellData::Elements, CellData::Labels, CellData::Directions}) {
      if (!wanted[static_cast<int>(what)]) continue;
      for (std::int32_t n = 0; n < cells.count(); ++n) {
        const std::int32_t i = cells.rows[static_cast<std::size_t>(n)];
        const std::int32_t j = cells.columns[static_cast<std::size_t>(n)];
        if (IsRequested(lay, what, i, j)) continue;
        if (!out.Request(lay, what, i, j)) return;
      }
    }
  }
}

}  // namespace orvenda
