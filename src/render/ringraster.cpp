#include "render/ringraster.h"

#include <algorithm>

namespace orvenda {
namespace {

// Smallest whole number not below n / d, for d > 0.
inline std::int64_t CeilDiv(std::int64_t n, std::int64_t d) {
  const std::int64_t q = n / d;
  return q + ((n % d) > 0 ? 1 : 0);
}

void SortSmall(std::vector<std::int32_t>& v) {
  // Crossings of one row are few and come back in nearly the same order from
  // row to row; insertion sort beats a general sort there.
  if (v.size() > 32) {
    std::sort(v.begin(), v.end());
    return;
  }
  for (std::size_t i = 1; i < v.size(); ++i) {
    const std::int32_t value = v[i];
    std::size_t j = i;
    for (; j > 0 && v[j - 1] > value; --j) v[j] = v[j - 1];
    v[j] = value;
  }
}

}  // namespace

std::int32_t RingRaster::Edge::CrossingAt(int y) const {
  return static_cast<std::int32_t>(x0 + CeilDiv((y - y0) * dx, dy));
}

void RingRaster::CollectEdges(const PixelBuffer& into, std::span<const PixelPoint> ring) {
  edges_.clear();
  const std::size_t n = ring.size();
  for (std::size_t i = 0; i < n; ++i) {
    PixelPoint a = ring[i];
    PixelPoint b = ring[(i + 1) % n];
    if (a.y == b.y) {
      continue;  // a level edge crosses no row centre
    }
    if (a.y > b.y) {
      std::swap(a, b);
    }
    const int firstRow = std::max(a.y, 0);
    const int endRow = std::min(b.y, into.height);
    if (firstRow >= endRow) {
      continue;
    }
    edges_.push_back({a.x, a.y, static_cast<std::int64_t>(b.x) - a.x,
                      static_cast<std::int64_t>(b.y) - a.y, firstRow, endRow});
  }
  std::sort(edges_.begin(), edges_.end(),
            [](const Edge& l, const Edge& r) { return l.firstRow < r.firstRow; });
}

void RingRaster::FillRow(const PixelBuffer& into, int y, std::uint32_t pixel) {
  crossings_.clear();
  for (const Edge* e : active_) crossings_.push_back(e->CrossingAt(y));
  SortSmall(crossings_);
  std::uint32_t* row = into.Row(y);
  for (std::size_t i = 0; i + 1 < crossings_.size(); i += 2) {
    const std::int32_t from = std::max(crossings_[i], 0);
    const std::int32_t to = std::min(crossings_[i + 1], into.width);
    if (from < to) {
      std::fill(row + from, row + to, pixel);
    }
  }
}

void RingRaster::Fill(const PixelBuffer& into, std::span<const PixelPoint> ring,
                      std::uint32_t pixel) {
  if (ring.size() < 3 || into.width <= 0 || into.height <= 0) {
    return;
  }
  CollectEdges(into, ring);
  active_.clear();
  // Rows from the highest edge down; edges join on their first row and leave
  // after their last one; rows that no edge crosses are skipped.
  std::size_t next = 0;
  int y = 0;
  while (next < edges_.size() || !active_.empty()) {
    if (active_.empty()) y = edges_[next].firstRow;
    while (next < edges_.size() && edges_[next].firstRow == y) active_.push_back(&edges_[next++]);
    FillRow(into, y, pixel);
    ++y;
    std::erase_if(active_, [y](const Edge* e) { return e->endRow <= y; });
  }
}

}  // namespace orvenda
