#include "import/generalise.h"

#include <cpl_error.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace orvenda::server {
namespace {

double SegmentDistance(const OGRRawPoint& p, const OGRRawPoint& a, const OGRRawPoint& b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double length2 = dx * dx + dy * dy;
  double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0;
  t = t < 0 ? 0 : (t > 1 ? 1 : t);
  const double ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
  return std::sqrt(ex * ex + ey * ey);
}

// Douglas-Peucker on one line or ring (its closing vertex included): which vertices stay.
std::vector<bool> Kept(const OGRSimpleCurve& line, double tolerance,
                       std::vector<OGRRawPoint>& points) {
  const int n = line.getNumPoints();
  points.resize(static_cast<std::size_t>(n));
  line.getPoints(points.data());
  std::vector<bool> keep(points.size(), false);
  if (n > 0) keep.front() = keep.back() = true;
  std::vector<std::pair<int, int>> spans;
  if (n > 2) spans.emplace_back(0, n - 1);
  while (!spans.empty()) {
    const auto [first, last] = spans.back();
    spans.pop_back();
    double farthest = -1;
    int at = first;
    for (int k = first + 1; k < last; ++k) {
      const double d = SegmentDistance(points[static_cast<std::size_t>(k)],
                                       points[static_cast<std::size_t>(first)],
                                       points[static_cast<std::size_t>(last)]);
      if (d > farthest) farthest = d, at = k;
    }
    if (farthest <= tolerance) continue;
    keep[static_cast<std::size_t>(at)] = true;
    if (at - first > 1) spans.emplace_back(first, at);
    if (last - at > 1) spans.emplace_back(at, last);
  }
  return keep;
}

// GEOS's Douglas-Peucker (through OGR) mends every simplified area with a zero-width
// buffer, which takes minutes on a coast of a million vertices; here an area is checked
// once afterwards and only a part that fails is mended (GEOS's MakeValid, on the few
// vertices left) or, failing that, simplified again preserving topology.
std::unique_ptr<OGRLinearRing> SimplifiedRing(const OGRLinearRing& ring, double tolerance) {
  std::vector<OGRRawPoint> points;
  const std::vector<bool> keep = Kept(ring, tolerance, points);
  auto out = std::make_unique<OGRLinearRing>();
  for (std::size_t k = 0; k < points.size(); ++k)
    if (keep[k]) out->addPoint(points[k].x, points[k].y);
  return out;
}

// The polygon with each ring simplified; null when its outer ring collapses. A hole that
// collapses is dropped: it is smaller than the tolerance.
std::unique_ptr<OGRPolygon> SimplifiedPolygon(const OGRPolygon& polygon, double tolerance) {
  auto out = std::make_unique<OGRPolygon>();
  bool outer = true;
  for (const OGRLinearRing* ring : polygon) {
    auto s = SimplifiedRing(*ring, tolerance);
    if (s->getNumPoints() < 4) {
      if (outer) return nullptr;
      continue;
    }
    out->addRingDirectly(s.release());
    outer = false;
  }
  return out->IsEmpty() ? nullptr : std::move(out);
}

}  // namespace

std::unique_ptr<OGRGeometry> Generalised(const OGRGeometry& g, double tolerance) {
  if (OGR_GT_IsSubClassOf(g.getGeometryType(), wkbGeometryCollection)) {
    auto parts = std::make_unique<OGRGeometryCollection>();
    for (const OGRGeometry* part : *g.toGeometryCollection())
      if (auto s = Generalised(*part, tolerance)) parts->addGeometryDirectly(s.release());
    return parts;
  }
  // GEOS's findings about invalid parts are the reason to fall back, not news.
  CPLPushErrorHandler(CPLQuietErrorHandler);
  std::unique_ptr<OGRGeometry> s;
  if (wkbFlatten(g.getGeometryType()) == wkbPolygon) {
    s = SimplifiedPolygon(*g.toPolygon(), tolerance);
    // The structure method, not the line-work one: that one builds its areas in time
    // that grows with the square of the rings a crossing coast breaks into.
    const char* const structure[] = {"METHOD=STRUCTURE", nullptr};
    if (s && !s->IsValid()) s.reset(s->MakeValid(structure));  // null where GEOS cannot
  } else {
    s.reset(g.Simplify(tolerance));
  }
  if (!s || s->IsEmpty() || !s->IsValid()) s.reset(g.SimplifyPreserveTopology(tolerance));
  CPLPopErrorHandler();
  return s;
}

std::size_t DouglasPeuckerVertices(const OGRGeometry& g, double tolerance) {
  const auto type = wkbFlatten(g.getGeometryType());
  if (OGR_GT_IsSubClassOf(type, wkbGeometryCollection)) {
    std::size_t n = 0;
    for (const OGRGeometry* part : *g.toGeometryCollection())
      n += DouglasPeuckerVertices(*part, tolerance);
    return n;
  }
  std::vector<OGRRawPoint> points;
  const auto count = [&](const OGRSimpleCurve& line) {
    const std::vector<bool> keep = Kept(line, tolerance, points);
    return static_cast<std::size_t>(std::count(keep.begin(), keep.end(), true));
  };
  if (type == wkbPolygon) {
    std::size_t n = 0;
    for (const OGRLinearRing* ring : *g.toPolygon()) n += count(*ring);
    return n;
  }
  if (type == wkbLineString) return count(*g.toLineString());
  return 1;
}

}  // namespace orvenda::server
