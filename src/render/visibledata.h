#pragma once
// The loading pass of a view: for each visible layer, in collection order, the
// grid cells covering the view whose elements, labels or street directions the
// layer has not asked for yet. What to do with each request (send it, record it)
// is the caller's; a request counts as asked once the caller enters it in the
// layer's register, so a cell is never asked twice while it stays registered.

#include <cstdint>

#include "model/layers.h"
#include "render/viewtransform.h"

namespace orvenda {

// What a request asks of one cell: its elements (command 2) or the values of the
// label or direction field (command 5).
enum class CellData { Elements, Labels, Directions };

class VisibleDataRequests {
 public:
  virtual ~VisibleDataRequests() = default;
  // Asks for `what` of cell (i, j) of `lay`; false ends the whole pass (the
  // server cannot be reached, and asking for more would only repeat that).
  virtual bool Request(layer& lay, CellData what, std::int32_t i, std::int32_t j) = 0;
  // The layer has no usable grid (a cell size of 0, say): nothing to ask of it.
  virtual void GridRefused(layer& lay) = 0;
};

void RequestVisibleData(Layers& layers, const ViewTransform& view, VisibleDataRequests& out);

}  // namespace orvenda
