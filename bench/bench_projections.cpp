// Prints the cost of one Project and one Unproject of each projection, the work the
// viewer does for every vertex it draws and every surface corner it converts.
#include <array>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "render/calbers.h"
#include "render/clatlon.h"
#include "render/cutm.h"

namespace {

using orvenda::CProjection;
using orvenda::GeoLonLat;
using orvenda::ProjectedXY;

constexpr int kPoints = 200000;
constexpr int kRounds = 10;

template <typename Fn>
double NanosecondsPerCall(Fn&& fn) {
  const auto start = std::chrono::steady_clock::now();
  for (int round = 0; round < kRounds; ++round) {
    fn();
  }
  const std::chrono::duration<double, std::nano> spent = std::chrono::steady_clock::now() - start;
  return spent.count() / (static_cast<double>(kPoints) * kRounds);
}

void Measure(const char* name, const CProjection& p, double lon0, double lat0) {
  std::vector<GeoLonLat> geo(kPoints);
  for (int i = 0; i < kPoints; ++i) {
    geo[i] = {lon0 - 3.0 + 6.0 * (i % 997) / 997.0, lat0 - 10.0 + 20.0 * (i % 1009) / 1009.0};
  }
  std::vector<ProjectedXY> xy(kPoints);
  double checksum = 0.0;
  const double forward = NanosecondsPerCall([&] {
    for (int i = 0; i < kPoints; ++i) {
      xy[i] = p.Project(geo[i].lon, geo[i].lat);
    }
    checksum += xy[kPoints / 2].x;
  });
  const double inverse = NanosecondsPerCall([&] {
    for (int i = 0; i < kPoints; ++i) {
      geo[i] = p.Unproject(xy[i].x, xy[i].y);
    }
    checksum += geo[kPoints / 2].lat;
  });
  std::printf("%-8s Project %7.1f ns   Unproject %7.1f ns   (checksum %.3f)\n", name, forward,
              inverse, checksum);
}

}  // namespace

int main() {
  orvenda::CLatLon latlon;
  orvenda::CUTM utm;
  const std::array<double, 2> zone{19.0, 0.9996};
  utm.Init(orvenda::kWgs84SemiMajor, orvenda::kWgs84SemiMinor, zone);
  orvenda::CAlbers albers;
  const std::array<double, 6> cone{-20.0, -50.0, -69.0, -35.0, 5000000.0, 5000000.0};
  albers.Init(orvenda::kWgs84SemiMajor, orvenda::kWgs84SemiMinor, cone);

  std::printf("%d points x %d rounds per figure\n", kPoints, kRounds);
  Measure("CLatLon", latlon, -69.0, -35.0);
  Measure("CUTM", utm, -69.0, -35.0);
  Measure("CAlbers", albers, -69.0, -35.0);
  return 0;
}
