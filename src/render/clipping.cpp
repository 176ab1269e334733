#include "render/clipping.h"

namespace orvenda {
namespace {

// One half-plane of the box: which side is kept and where it crosses an edge.
struct Edge {
  int axis;      // 0: x, 1: y
  double limit;  // coordinate of the box side
  bool keepAbove;
};

double Coord(const SurfacePoint& p, int axis) { return axis == 0 ? p.x : p.y; }

bool Inside(const SurfacePoint& p, const Edge& e) {
  return e.keepAbove ? Coord(p, e.axis) >= e.limit : Coord(p, e.axis) <= e.limit;
}

SurfacePoint Crossing(const SurfacePoint& a, const SurfacePoint& b, const Edge& e) {
  const double t = (e.limit - Coord(a, e.axis)) / (Coord(b, e.axis) - Coord(a, e.axis));
  if (e.axis == 0) {
    return {static_cast<float>(e.limit), static_cast<float>(a.y + t * (b.y - a.y))};
  }
  return {static_cast<float>(a.x + t * (b.x - a.x)), static_cast<float>(e.limit)};
}

void ClipAgainst(const std::vector<SurfacePoint>& in, const Edge& e,
                 std::vector<SurfacePoint>& out) {
  out.clear();
  if (in.empty()) {
    return;
  }
  SurfacePoint prev = in.back();
  bool prevIn = Inside(prev, e);
  for (const SurfacePoint& cur : in) {
    const bool curIn = Inside(cur, e);
    if (curIn != prevIn) {
      out.push_back(Crossing(prev, cur, e));
    }
    if (curIn) {
      out.push_back(cur);
    }
    prev = cur;
    prevIn = curIn;
  }
}

}  // namespace

ClipBox ViewClipBox(double w, double h, double margin) {
  return {-margin, -margin, w + margin, h + margin};
}

void ClipRing(std::span<const SurfacePoint> ring, const ClipBox& box,
              std::vector<SurfacePoint>& out) {
  std::vector<SurfacePoint> work(ring.begin(), ring.end());
  const Edge edges[4] = {
      {0, box.minX, true}, {0, box.maxX, false}, {1, box.minY, true}, {1, box.maxY, false}};
  for (const Edge& e : edges) {
    ClipAgainst(work, e, out);
    work.swap(out);
  }
  out.swap(work);
}

bool ClipSegment(SurfacePoint& a, SurfacePoint& b, const ClipBox& box) {
  // Liang-Barsky: the parameter range of the segment that stays inside.
  const double dx = static_cast<double>(b.x) - a.x;
  const double dy = static_cast<double>(b.y) - a.y;
  double t0 = 0;
  double t1 = 1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x - box.minX, box.maxX - a.x, a.y - box.minY, box.maxY - a.y};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) {
        return false;
      }
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      if (t > t1) return false;
      if (t > t0) t0 = t;
    } else {
      if (t < t0) return false;
      if (t < t1) t1 = t;
    }
  }
  const SurfacePoint start = a;
  if (t0 > 0) {
    a = {static_cast<float>(start.x + t0 * dx), static_cast<float>(start.y + t0 * dy)};
  }
  if (t1 < 1) {
    b = {static_cast<float>(start.x + t1 * dx), static_cast<float>(start.y + t1 * dy)};
  }
  return true;
}

}  // namespace orvenda
