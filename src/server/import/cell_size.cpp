#include "import/cell_size.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "store/grid.h"

namespace orvenda::server {
namespace {

constexpr double kMetresPerDegree = 111320.0;
constexpr double kViewAspect = 2.0;

constexpr std::int64_t kMaxCellRows = 20'000'000;

// The number of (cell, element) rows the boxes would make.
std::int64_t CellRows(const std::vector<Box>& boxes, double size) {
  std::int64_t total = 0;
  const auto f = static_cast<float>(size);
  for (const Box& b : boxes) total += CellCountOfBox(b, f, f);
  return total;
}

}  // namespace

std::vector<double> CellSizeLadder() {
  std::vector<double> sizes;
  for (double decade : {0.001, 0.01, 0.1, 1.0})
    for (double m : {1.0, 2.0, 2.5, 5.0}) sizes.push_back(decade * m);
  // Above 10 degrees, divisors of 180 so that rows and columns tile the world.
  for (double d : {10.0, 15.0, 20.0, 30.0, 45.0, 90.0}) sizes.push_back(d);
  return sizes;
}

std::size_t CellsPerView(double w, double h, double size, const Box& extent) {
  // A span of s cells touches at most ceil(s) + 1 indices.
  auto span = [size](double len) { return static_cast<double>(std::ceil(len / size) + 1); };
  const double cols = std::min(span(w), span(extent.maxX - extent.minX));
  const double rows = std::min(span(h), span(extent.maxY - extent.minY));
  return static_cast<std::size_t>(cols * rows);
}

std::size_t MaxElementsPerCell(const std::vector<Box>& boxes, float size) {
  std::unordered_map<std::int64_t, std::size_t> counts;
  std::size_t best = 0;
  for (const Box& b : boxes)
    for (const CellKey& c : CellsOfBox(b, size, size)) {
      const std::int64_t key = (std::int64_t{c.row} << 32) ^ static_cast<std::uint32_t>(c.column);
      best = std::max(best, ++counts[key]);
    }
  return best;
}

CellSizeChoice ChooseCellSize(const std::vector<Box>& boxes, const CellSizeGoal& goal) {
  Box extent{180, 90, -180, -90};
  for (const Box& b : boxes) {
    extent.minX = std::min(extent.minX, b.minX);
    extent.minY = std::min(extent.minY, b.minY);
    extent.maxX = std::max(extent.maxX, b.maxX);
    extent.maxY = std::max(extent.maxY, b.maxY);
  }
  if (boxes.empty()) extent = {-180, -90, 180, 90};
  const auto sizes = CellSizeLadder();
  std::size_t i = 0;
  while (i + 1 < sizes.size() &&
         CellsPerView(goal.viewWidth, goal.viewHeight, sizes[i], extent) > goal.maxCellsPerView)
    ++i;
  auto evaluate = [&](std::size_t k) {
    CellSizeChoice e;
    e.size = static_cast<float>(sizes[k]);
    e.maxElementsInCell = MaxElementsPerCell(boxes, e.size);
    e.cellsPerView = CellsPerView(goal.viewWidth, goal.viewHeight, sizes[k], extent);
    return e;
  };
  const std::size_t viewSize = i;
  CellSizeChoice c = evaluate(i);
  // Too dense: smaller cells, unless big elements would then fill the index with tens
  // of millions of rows.
  while (c.maxElementsInCell > goal.maxElementsPerCell && i > 0 &&
         CellRows(boxes, sizes[i - 1]) <= kMaxCellRows)
    c = evaluate(--i);
  c.goalsMet = i == viewSize && c.maxElementsInCell <= goal.maxElementsPerCell;
  return c;
}

CellSizeGoal GoalForZoom(float zoomMax, std::int16_t projection, double maxAbsLat) {
  CellSizeGoal g;
  if (zoomMax <= 0 || zoomMax >= 1e37f) return g;               // no upper limit: the whole world
  const double height = static_cast<double>(zoomMax) * 1000.0;  // projected units
  if (projection == 0) {
    g.viewHeight = height;
    g.viewWidth = height * kViewAspect;
  } else {
    const double cosLat = std::cos(std::min(maxAbsLat, 85.0) * M_PI / 180.0);
    g.viewHeight = height / kMetresPerDegree;
    g.viewWidth = height * kViewAspect / (kMetresPerDegree * cosLat);
  }
  g.viewHeight = std::min(g.viewHeight, 180.0);
  g.viewWidth = std::min(g.viewWidth, 360.0);
  return g;
}

}  // namespace orvenda::server
