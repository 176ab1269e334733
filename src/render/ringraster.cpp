#include "render/ringraster.h"

#include <algorithm>

namespace orvenda {
namespace {

// Smallest whole number not below n / d, for d > 0.
inline std::int64_t CeilDiv(std::int64_t n, std::int64_t d) {
  const std::int64_t q = n / d;
  return q + ((n % d) > 0 ? 1 : 0);
}

}  // namespace

std::int32_t RingRaster::Edge::CrossingAt(int y) const {
  // The crossing with the row's centre line 2y + 1 is at x0 + 1 + (2y + 1 - y0) dx / dy
  // half pixels; the first pixel whose centre 2p + 1 is not left of it.
  return static_cast<std::int32_t>(CeilDiv(x0 * dy + (2 * std::int64_t{y} + 1 - y0) * dx, 2 * dy));
}

void RingRaster::CollectEdges(const PixelBuffer& into, std::span<const PixelPoint> ring,
                              VertexPlace place) {
  edges_.clear();
  const std::int64_t shift = place == VertexPlace::kPixelCentre ? 1 : 0;
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
    const std::int64_t ay = 2 * std::int64_t{a.y} + shift;
    const std::int64_t by = 2 * std::int64_t{b.y} + shift;
    // Rows whose centre line 2y + 1 is in [ay, by).
    const int firstRow = static_cast<int>(std::max<std::int64_t>(CeilDiv(ay - 1, 2), 0));
    const int endRow = static_cast<int>(std::min<std::int64_t>(CeilDiv(by - 1, 2), into.height));
    if (firstRow >= endRow) {
      continue;
    }
    edges_.push_back({2 * std::int64_t{a.x} + shift - 1, ay,
                      2 * (static_cast<std::int64_t>(b.x) - a.x), by - ay, firstRow, endRow});
  }
  std::sort(edges_.begin(), edges_.end(),
            [](const Edge& l, const Edge& r) { return l.firstRow < r.firstRow; });
}

void RingRaster::FillRow(const PixelBuffer& into, int y, std::uint32_t pixel, std::size_t joined) {
  for (Active& a : active_) a.x = a.edge->CrossingAt(y);
  const auto byX = [](const Active& a, const Active& b) { return a.x < b.x; };
  // The edges already active cross this row near where they crossed the last one, so
  // insertion sort puts them in order in little more than one pass; those that join
  // are sorted apart and merged in.
  const std::size_t stayed = active_.size() - joined;
  for (std::size_t i = 1; i < stayed; ++i) {
    const Active a = active_[i];
    std::size_t j = i;
    for (; j > 0 && active_[j - 1].x > a.x; --j) active_[j] = active_[j - 1];
    active_[j] = a;
  }
  const auto middle = active_.begin() + static_cast<std::ptrdiff_t>(stayed);
  std::sort(middle, active_.end(), byX);
  std::inplace_merge(active_.begin(), middle, active_.end(), byX);
  std::uint32_t* row = into.Row(y);
  for (std::size_t i = 0; i + 1 < active_.size(); i += 2) {
    const std::int32_t from = std::max(active_[i].x, 0);
    const std::int32_t to = std::min(active_[i + 1].x, into.width);
    if (from < to) {
      std::fill(row + from, row + to, pixel);
    }
  }
}

void RingRaster::Fill(const PixelBuffer& into, std::span<const PixelPoint> ring,
                      std::uint32_t pixel, VertexPlace place) {
  if (ring.size() < 3 || into.width <= 0 || into.height <= 0) {
    return;
  }
  CollectEdges(into, ring, place);
  active_.clear();
  // Rows from the highest edge down; edges join on their first row and leave
  // after their last one; rows that no edge crosses are skipped.
  std::size_t next = 0;
  int y = 0;
  while (next < edges_.size() || !active_.empty()) {
    if (active_.empty()) y = edges_[next].firstRow;
    const std::size_t before = active_.size();
    while (next < edges_.size() && edges_[next].firstRow == y)
      active_.push_back({0, &edges_[next++]});
    FillRow(into, y, pixel, active_.size() - before);
    ++y;
    std::erase_if(active_, [y](const Active& a) { return a.edge->endRow <= y; });
  }
}

}  // namespace orvenda
