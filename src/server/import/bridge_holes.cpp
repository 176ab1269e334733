#include "import/bridge_holes.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace orvenda::server {
namespace {

double TwiceSignedArea(const std::vector<Point>& ring) {
  double twice = 0;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const Point& a = ring[i];
    const Point& b = ring[(i + 1) % ring.size()];
    twice += a.X * b.Y - b.X * a.Y;
  }
  return twice;
}

// The ring's vertices as a k-d tree, held in one index array: the middle of each
// range splits it, by x at even depths and by y at odd ones. A lake deep inside a
// continent then finds its nearest coast vertex in about log n steps, where a sweep
// by x alone would visit every vertex as far west and east as the coast is away,
// for each vertex of each lake.
class VertexTree {
 public:
  explicit VertexTree(const std::vector<Point>& ring) : ring_(ring), index_(ring.size()) {
    std::iota(index_.begin(), index_.end(), std::size_t{0});
    Build(0, index_.size(), false);
  }

  // Moves `best` to the ring vertex nearest to `p` if one is nearer than `bestD`
  // (squared); true when it did.
  bool Nearer(const Point& p, std::size_t& best, double& bestD) const {
    const double before = bestD;
    Search(0, index_.size(), false, p, 0, 0, best, bestD);
    return bestD < before;
  }

 private:
  static double Along(const Point& p, bool byY) { return byY ? p.Y : p.X; }

  void Build(std::size_t lo, std::size_t hi, bool byY) {
    if (hi - lo < 2) return;
    const std::size_t mid = lo + (hi - lo) / 2;
    std::nth_element(
        index_.begin() + static_cast<std::ptrdiff_t>(lo),
        index_.begin() + static_cast<std::ptrdiff_t>(mid),
        index_.begin() + static_cast<std::ptrdiff_t>(hi),
        [&](std::size_t a, std::size_t b) { return Along(ring_[a], byY) < Along(ring_[b], byY); });
    Build(lo, mid, !byY);
    Build(mid + 1, hi, !byY);
  }

  // `gapX`, `gapY`: how far p lies outside the range's region along each axis; the
  // region can hold a nearer vertex only if it is itself nearer.
  void Search(std::size_t lo, std::size_t hi, bool byY, const Point& p, double gapX, double gapY,
              std::size_t& best, double& bestD) const {
    if (lo >= hi || gapX * gapX + gapY * gapY >= bestD) return;
    const std::size_t mid = lo + (hi - lo) / 2;
    const Point& v = ring_[index_[mid]];
    const double d = (v.X - p.X) * (v.X - p.X) + (v.Y - p.Y) * (v.Y - p.Y);
    if (d < bestD) {
      bestD = d;
      best = index_[mid];
    }
    const double side = Along(p, byY) - Along(v, byY);
    const bool below = side < 0;
    Search(below ? lo : mid + 1, below ? mid : hi, !byY, p, gapX, gapY, best, bestD);
    Search(below ? mid + 1 : lo, below ? hi : mid, !byY, p, byY ? gapX : side, byY ? side : gapY,
           best, bestD);
  }

  const std::vector<Point>& ring_;
  std::vector<std::size_t> index_;
};

struct Bridge {
  std::size_t at;    // ring vertex
  std::size_t hole;  // index in the holes
  std::size_t from;  // hole vertex
};

std::size_t NearestIn(const std::vector<Point>& points, const Point& p) {
  std::size_t best = 0;
  double bestD = std::numeric_limits<double>::infinity();
  for (std::size_t k = 0; k < points.size(); ++k) {
    const double d =
        (points[k].X - p.X) * (points[k].X - p.X) + (points[k].Y - p.Y) * (points[k].Y - p.Y);
    if (d < bestD) {
      bestD = d;
      best = k;
    }
  }
  return best;
}

// The hole from its vertex `from` once round and back to it.
void AppendHole(const std::vector<Point>& hole, std::size_t from, bool backwards,
                std::vector<Point>& out) {
  const bool closed = hole.size() > 1 && hole.front() == hole.back();
  const std::size_t n = hole.size() - (closed ? 1 : 0);
  from %= n;  // the closing vertex is the first
  for (std::size_t k = 0; k <= n; ++k)
    out.push_back(hole[(backwards ? from + n - k : from + k) % n]);
}

}  // namespace

void BridgeHoles(std::vector<Point>& ring, const std::vector<std::vector<Point>>& holes) {
  if (holes.empty() || ring.empty()) return;
  const VertexTree tree(ring);
  std::vector<Bridge> bridges;
  std::size_t added = 0;
  for (std::size_t h = 0; h < holes.size(); ++h) {
    if (holes[h].empty()) continue;
    Bridge b{0, h, 0};
    double bestD = std::numeric_limits<double>::infinity();
    tree.Nearer(holes[h][0], b.at, bestD);
    // Each step shortens the bridge, down to a ring vertex and a hole vertex that
    // are each other's nearest: a short bridge for the cost of a few searches,
    // where the nearest of all pairs would cost one search per hole vertex.
    for (;;) {
      const std::size_t from = NearestIn(holes[h], ring[b.at]);
      if (!tree.Nearer(holes[h][from], b.at, bestD)) break;
      b.from = from;
    }
    bridges.push_back(b);
    added += holes[h].size() + 2;
  }
  std::sort(bridges.begin(), bridges.end(), [](const Bridge& a, const Bridge& b) {
    return a.at != b.at ? a.at < b.at : a.hole < b.hole;
  });
  const bool ringTurnsLeft = TwiceSignedArea(ring) > 0;
  std::vector<Point> bridged;
  bridged.reserve(ring.size() + added);
  std::size_t next = 0;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    bridged.push_back(ring[i]);
    for (; next < bridges.size() && bridges[next].at == i; ++next) {
      const auto& hole = holes[bridges[next].hole];
      AppendHole(hole, bridges[next].from, (TwiceSignedArea(hole) > 0) == ringTurnsLeft, bridged);
      bridged.push_back(ring[i]);  // back onto the ring
    }
  }
  ring.swap(bridged);
}

}  // namespace orvenda::server
