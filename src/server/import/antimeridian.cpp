#include "import/antimeridian.h"

#include <algorithm>
#include <cmath>

namespace orvenda::server {
namespace {

// The points with every step of more than 180 degrees taken the short way round,
// so that longitudes run on past ±180.
std::vector<Point> Unwrapped(const std::vector<Point>& points) {
  std::vector<Point> out;
  out.reserve(points.size() + 2);
  double shift = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i > 0) {
      const double step = points[i].x - points[i - 1].x;
      if (step > 180)
        shift -= 360;
      else if (step < -180)
        shift += 360;
    }
    out.push_back({points[i].x + shift, points[i].y});
  }
  return out;
}

// The ring cut to the side of x = limit that `keepBelow` says, closed along the cut.
std::vector<Point> Clipped(const std::vector<Point>& ring, double limit, bool keepBelow) {
  std::vector<Point> out;
  if (ring.empty()) return out;
  auto inside = [&](const Point& p) { return keepBelow ? p.x <= limit : p.x >= limit; };
  Point prev = ring.back();
  for (const Point& cur : ring) {
    if (inside(cur) != inside(prev)) {
      const double t = (limit - prev.x) / (cur.x - prev.x);
      out.push_back({limit, prev.y + t * (cur.y - prev.y)});
    }
    if (inside(cur)) out.push_back(cur);
    prev = cur;
  }
  return out;
}

bool HasArea(const std::vector<Point>& ring) {
  double twice = 0;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const Point& a = ring[i];
    const Point& b = ring[(i + 1) % ring.size()];
    twice += a.x * b.y - b.x * a.y;
  }
  return ring.size() >= 3 && twice != 0;
}

}  // namespace

bool CrossesAntimeridian(const std::vector<Point>& points) {
  for (std::size_t i = 1; i < points.size(); ++i)
    if (std::fabs(points[i].x - points[i - 1].x) > 180) return true;
  return false;
}

std::vector<std::vector<Point>> SplitRingAtAntimeridian(const std::vector<Point>& ring) {
  if (!CrossesAntimeridian(ring)) return {ring};
  std::vector<Point> open = Unwrapped(ring);
  // The closing vertex may have come back whole turns away from the first.
  const double turn = std::round((open.back().x - open.front().x) / 360) * 360;
  open.pop_back();
  if (turn != 0) {
    // Once round the world: around a pole. Close it along the pole nearer to
    // the ring's vertices.
    double sum = 0;
    for (const Point& p : open) sum += p.y;
    const double pole = sum < 0 ? -90 : 90;
    const Point end{open.front().x + turn, open.front().y};
    open.push_back(end);
    open.push_back({end.x, pole});
    open.push_back({open.front().x, pole});
  }
  double minX = open.front().x, maxX = open.front().x;
  for (const Point& p : open) {
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
  }
  // Every copy of the ring shifted by whole turns that reaches into -180..180,
  // from the one whose west end is inside westwards.
  std::vector<std::vector<Point>> parts;
  const double first = std::floor((minX + 180) / 360) * 360;
  for (double offset = first; maxX - offset > -180; offset += 360) {
    std::vector<Point> copy = open;
    for (Point& p : copy) p.x -= offset;
    std::vector<Point> part = Clipped(Clipped(copy, -180, false), 180, true);
    if (!HasArea(part)) continue;
    part.push_back(part.front());
    parts.push_back(std::move(part));
  }
  return parts;
}

std::vector<std::vector<Point>> SplitLineAtAntimeridian(const std::vector<Point>& line) {
  std::vector<std::vector<Point>> parts(1);
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (i > 0 && std::fabs(line[i].x - line[i - 1].x) > 180) {
      const Point& a = line[i - 1];
      const double edge = a.x < 0 ? -180 : 180;
      const double bx = line[i].x + (edge > 0 ? 360 : -360);
      const double t = (edge - a.x) / (bx - a.x);
      const double y = a.y + t * (line[i].y - a.y);
      parts.back().push_back({edge, y});
      parts.push_back({{-edge, y}});
    }
    parts.back().push_back(line[i]);
  }
  return parts;
}

}  // namespace orvenda::server
