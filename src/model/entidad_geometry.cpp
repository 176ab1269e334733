// Entidad: distances, centroids, nearest parts and point-in-polygon over the vertices.
#include <algorithm>
#include <cmath>

#include "model/entidad.h"
#include "model/layer.h"

namespace orvenda {

namespace {

constexpr double kNotApplicable = 1e30;

// The rectangle and right triangle between an edge and Y = 0, as areas and
// centroids; both the trapezoid's centroid and its moment come from them.
struct EdgeParts {
  double rectArea, rectX, rectY;
  double triArea, triX, triY;
};

EdgeParts SplitEdge(double x1, double y1, double x2, double y2) {
  const double midX = (x1 + x2) / 2;
  if (x1 <= x2) {
    const double w = x2 - x1;
    if (y1 <= y2) {
      return {w * y1, midX, y1 / 2, w * (y2 - y1) / 2, x1 + 2 * w / 3, y1 + (y2 - y1) / 3};
    }
    return {w * y2, midX, y2 / 2, w * (y1 - y2) / 2, x1 + w / 3, y2 + (y1 - y2) / 3};
  }
  const double w = x1 - x2;
  if (y1 <= y2) {
    return {-w * y1, midX, y1 / 2, -w * (y2 - y1) / 2, x2 + w / 3, y1 + (y2 - y1) / 3};
  }
  return {-w * y2, midX, y2 / 2, -w * (y1 - y2) / 2, x2 + 2 * w / 3, y2 + (y1 - y2) / 3};
}

}  // namespace

TipoLayer Entidad::Kind() const { return parentLayer != nullptr ? parentLayer->Tipo : 0; }

double Entidad::PointDistance(double x1, double y1, double x2, double y2) {
  return std::sqrt((x1 - x2) * (x1 - x2) + (y1 - y2) * (y1 - y2));
}

double Entidad::SegmentDistance(double px, double py, double ax, double ay, double bx, double by,
                                bool keepSign) {
  const double dx = bx - ax;
  const double dy = by - ay;
  if (dx == 0 && dy == 0) {
    return kNotApplicable;
  }
  double footX = 0;
  double footY = 0;
  double t = 0;
  if (dx == 0) {
    footX = ax;
    footY = py;
    t = (py - ay) / dy;
  } else if (dy == 0) {
    footX = px;
    footY = ay;
    t = (px - ax) / dx;
  } else {
    const double m = dy / dx;
    footX = (m * ax + px / m - ay + py) / (m + 1 / m);
    t = (footX - ax) / dx;
    footY = dy * t + ay;
  }
  const double d = std::sqrt((footY - py) * (footY - py) + (footX - px) * (footX - px));
  const bool onSegment = t >= 0 && t <= 1;
  return (!onSegment && !keepSign) ? -d : d;
}

double Entidad::DistPuntoAEntidad(double X, double Y) const {
  const auto v = Vertices();
  switch (Kind()) {
    case pointlayer:
      return v.empty() ? kNotApplicable : PointDistance(X, Y, v[0].X, v[0].Y);
    case polylinelayer:
    case 3: {
      double best = kNotApplicable;
      for (std::size_t k = 1; k < v.size(); ++k) {
        const double d = SegmentDistance(X, Y, v[k - 1].X, v[k - 1].Y, v[k].X, v[k].Y, false);
        // signbit, not d >= 0: a point on the line beyond the segment's end
        // gets -0, which must not count as touching the segment.
        if (!std::signbit(d) && d < best) {
          best = d;
        }
      }
      return best;
    }
    default:
      return kNotApplicable;
  }
}

Point Entidad::MeanOfVertices() const {
  const auto v = Vertices();
  if (v.empty()) {
    return {};
  }
  Point sum;
  for (const Point& p : v) {
    sum.X += p.X;
    sum.Y += p.Y;
  }
  return {sum.X / static_cast<double>(v.size()), sum.Y / static_cast<double>(v.size())};
}

Entidad::Trapezoid Entidad::EdgeTrapezoid(double x1, double y1, double x2, double y2) {
  const EdgeParts e = SplitEdge(x1, y1, x2, y2);
  const double area = e.rectArea + e.triArea;
  if (area == 0) {
    return {0, 0, 0};
  }
  return {(e.rectArea * e.rectX + e.triArea * e.triX) / area,
          (e.rectArea * e.rectY + e.triArea * e.triY) / area, area};
}

Point Entidad::AreaCentroid() const {
  const auto v = Vertices();
  double area = 0;
  double momentX = 0;
  double momentY = 0;
  for (std::size_t k = 0; k < v.size(); ++k) {
    const Point& a = v[k];
    const Point& b = v[(k + 1) % v.size()];  // the last edge closes the ring
    const Trapezoid t = EdgeTrapezoid(a.X, a.Y, b.X, b.Y);
    if (t.Area != 0) {
      area += t.Area;
      momentX += t.Area * t.X;
      momentY += t.Area * t.Y;
    } else {
      // An edge crossing Y = 0 can have parts of opposite sign that cancel
      // to no area yet still carry a moment; keep it.
      const EdgeParts e = SplitEdge(a.X, a.Y, b.X, b.Y);
      momentX += e.rectArea * e.rectX + e.triArea * e.triX;
      momentY += e.rectArea * e.rectY + e.triArea * e.triY;
    }
  }
  if (area == 0) {
    return MeanOfVertices();  // no area to weigh by: fall back to the vertex mean
  }
  return {momentX / area, momentY / area};
}

void Entidad::Centroide(double& X, double& Y) const {
  Point c;
  switch (Kind()) {
    case pointlayer:
      if (!Vertices().empty()) c = Vertices()[0];
      break;
    case polylinelayer:
    case 3:
      c = MeanOfVertices();
      break;
    case polygonlayer:
      c = AreaCentroid();
      break;
    default:
      break;
  }
  X = c.X;
  Y = c.Y;
}

Entidad::VertexHit Entidad::NearestVertex(double xp, double yp) const {
  VertexHit hit;
  int32_t k = 0;
  for (const Point& p : Vertices()) {
    ++k;
    const double d = PointDistance(xp, yp, p.X, p.Y);
    if (d <= hit.distance) {
      hit = {k, d};
    }
  }
  return hit;
}

double Entidad::GetNearestSegment(double xp, double yp, double& x0, double& y0, double& x1,
                                  double& y1) const {
  const auto v = Vertices();
  // Nearest vertex n: only a strictly nearer vertex replaces it (first wins).
  std::size_t n = v.size();
  double best = kNotApplicable;
  for (std::size_t k = 0; k < v.size(); ++k) {
    const double d = PointDistance(xp, yp, v[k].X, v[k].Y);
    if (d < best) {
      best = d;
      n = k;
    }
  }
  if (n == v.size()) {
    return kNotApplicable;
  }
  const TipoLayer kind = Kind();
  if (kind == pointlayer) {
    return kNotApplicable;
  }
  const std::size_t none = v.size();
  std::size_t previous = none;
  std::size_t next = none;
  if (kind == polylinelayer || kind == 3) {
    previous = n == 0 ? none : n - 1;
    next = n + 1;                     // none past the last vertex
  } else if (kind == polygonlayer) {  // the ring wraps at both ends
    previous = n == 0 ? v.size() - 1 : n - 1;
    next = n + 1 == v.size() ? 0 : n + 1;
  }
  const auto distanceTo = [&](std::size_t other) {
    if (other == none) {
      return kNotApplicable;
    }
    const double d = SegmentDistance(xp, yp, v[n].X, v[n].Y, v[other].X, v[other].Y, false);
    return std::signbit(d) ? kNotApplicable : d;  // -0: on the line, off the segment
  };
  const double dPrev = distanceTo(previous);
  const double dNext = distanceTo(next);
  x0 = v[n].X;
  y0 = v[n].Y;
  if (dPrev >= dNext) {
    if (dNext == kNotApplicable) {
      return kNotApplicable;
    }
    x1 = v[next].X;
    y1 = v[next].Y;
    return dNext;
  }
  x1 = v[previous].X;
  y1 = v[previous].Y;
  return dPrev;
}

std::optional<double> Entidad::RayCrossing(double x1, double y1, double x2, double y2, double px,
                                           double py) {
  const double lo = std::min(y1, y2);
  const double hi = std::max(y1, y2);
  if (!(lo < py && py < hi)) {
    return std::nullopt;
  }
  if (std::abs(y2 - y1) < 1e-8) {
    return px;
  }
  // The crossing is kept at single precision, which decides points lying
  // within float resolution of an edge.
  return static_cast<double>(static_cast<float>(x1 + (x2 - x1) * (py - y1) / (y2 - y1)));
}

bool Entidad::PointInPolygon(double X, double Y) const {
  if (!bb().PointInBoundingBox(X, Y)) {
    return false;
  }
  const auto v = Vertices();
  for (const Point& p : v) {
    if (p.X == X && p.Y == Y) {
      return true;
    }
  }
  int32_t crossings = 0;
  for (std::size_t k = 0; k < v.size(); ++k) {
    const Point& a = v[k];
    const Point& b = v[(k + 1) % v.size()];
    const auto x = RayCrossing(a.X, a.Y, b.X, b.Y, X, Y);
    if (x && *x >= X) {
      ++crossings;
    }
  }
  return crossings % 2 == 1;
}

}  // namespace orvenda
