#include "store/vertices.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace orvenda::server {
namespace {

constexpr std::uint32_t kWkbPoint = 1, kWkbLine = 2, kWkbPolygon = 3, kWkbMultiPoint = 4;
constexpr std::uint32_t kEwkbSrid = 0x20000000;

void PutBytes(std::string& hex, const void* data, std::size_t size) {
  static const char* kHex = "0123456789ABCDEF";
  const auto* p = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) {
    hex += kHex[p[i] >> 4];
    hex += kHex[p[i] & 15];
  }
}

void PutHeader(std::string& hex, std::uint32_t type, bool withSrid) {
  const std::uint8_t order = std::endian::native == std::endian::little ? 1 : 0;
  PutBytes(hex, &order, 1);
  const std::uint32_t t = type | (withSrid ? kEwkbSrid : 0);
  PutBytes(hex, &t, 4);
  if (withSrid) {
    const std::uint32_t srid = 4326;
    PutBytes(hex, &srid, 4);
  }
}

void PutCount(std::string& hex, std::size_t n) {
  const auto count = static_cast<std::uint32_t>(n);
  PutBytes(hex, &count, 4);
}

void PutPoints(std::string& hex, const std::vector<Point>& points) {
  for (const Point& p : points) {
    PutBytes(hex, &p.x, 8);
    PutBytes(hex, &p.y, 8);
  }
}

}  // namespace

std::string PackPoints(const std::vector<Point>& points) {
  std::string blob(points.size() * 2 * sizeof(double), '\0');
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double xy[2] = {points[i].x, points[i].y};
    std::memcpy(blob.data() + i * sizeof xy, xy, sizeof xy);
  }
  return blob;
}

std::vector<Point> UnpackPoints(std::string_view blob) {
  std::vector<Point> points(blob.size() / (2 * sizeof(double)));
  for (std::size_t i = 0; i < points.size(); ++i) {
    double xy[2];
    std::memcpy(xy, blob.data() + i * sizeof xy, sizeof xy);
    points[i] = {xy[0], xy[1]};
  }
  return points;
}

std::string GeometryHex(LayerKind kind, const std::vector<Point>& points) {
  std::string hex;
  if (points.size() == 1) {
    PutHeader(hex, kWkbPoint, true);
    PutPoints(hex, points);
  } else if (kind == LayerKind::Point) {
    PutHeader(hex, kWkbMultiPoint, true);
    PutCount(hex, points.size());
    for (const Point& p : points) {
      PutHeader(hex, kWkbPoint, false);
      PutPoints(hex, {p});
    }
  } else if (kind == LayerKind::Polygon && points.size() >= 4 &&
             points.front().x == points.back().x && points.front().y == points.back().y) {
    PutHeader(hex, kWkbPolygon, true);
    PutCount(hex, 1);
    PutCount(hex, points.size());
    PutPoints(hex, points);
  } else {
    PutHeader(hex, kWkbLine, true);
    PutCount(hex, points.size());
    PutPoints(hex, points);
  }
  return hex;
}

}  // namespace orvenda::server
