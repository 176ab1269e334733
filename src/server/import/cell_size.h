// Choosing the grid cell size of a layer. The client asks for one cell per request, so
// the cells that the largest view showing the layer covers must stay few, while no
// cell may carry too many elements for one reply.
#pragma once

#include <vector>

#include "store/store.h"

namespace orvenda::server {

struct CellSizeGoal {
  double viewWidth = 360;  // largest view in which the layer is drawn, degrees
  double viewHeight = 180;
  std::size_t maxCellsPerView = 64;
  std::size_t maxElementsPerCell = 5000;
};

struct CellSizeChoice {
  float size = 1;                // square cells, degrees
  std::size_t cellsPerView = 0;  // worst case for the largest view
  std::size_t maxElementsInCell = 0;
  bool goalsMet = true;  // false: too dense for the view goal (or for any size)
};

// Cells a view of w x h degrees may touch with square cells of `size` degrees, bounded
// by the extent of the data (the client clips its requests to the grid limits).
std::size_t CellsPerView(double w, double h, double size, const Box& dataExtent);

// The largest number of element boxes that meet one cell of the given size.
std::size_t MaxElementsPerCell(const std::vector<Box>& boxes, float size);

// The sizes tried, ascending: 0.001, 0.002, 0.0025, 0.005, 0.01 ... 5, 10, 15, 20, 30,
// 45, 90 degrees.
std::vector<double> CellSizeLadder();

// Picks the smallest size of the ladder whose
// largest view stays within maxCellsPerView; if that size overfills a cell, smaller
// sizes are tried until the density goal holds (goalsMet is then false).
CellSizeChoice ChooseCellSize(const std::vector<Box>& boxes, const CellSizeGoal& goal);

// Largest view in degrees for a layer drawn up to `zoomMax` (thousands of projected
// units of view height; 0 or 1e37 and above: no limit) in a map of `projection`, for
// data around latitude `maxAbsLat`. Views are taken as at most twice as wide as high.
CellSizeGoal GoalForZoom(float zoomMax, std::int16_t projection, double maxAbsLat);

}  // namespace orvenda::server
