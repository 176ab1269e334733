// Drawing throughput of the Qt surface on a 1024 x 768 picture: street-like lines
// drawn segment by segment against the same lines batched as polylines, filled
// polygons (solid and hatched), dots and turned labels, each with and without
// antialiasing. Prints primitives per second.

#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "viewer/qpaintersurface.h"

namespace {

using orvenda::QPainterSurface;
using orvenda::SurfacePoint;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

std::vector<std::vector<SurfacePoint>> RandomLines(int count, int vertices, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> x(0, kWidth), y(0, kHeight), step(-12, 12);
  std::vector<std::vector<SurfacePoint>> lines(static_cast<std::size_t>(count));
  for (auto& line : lines) {
    SurfacePoint p{x(random), y(random)};
    for (int i = 0; i < vertices; ++i) {
      line.push_back(p);
      p = {p.x + step(random), p.y + step(random)};
    }
  }
  return lines;
}

template <typename Draw>
void Report(const char* what, int primitives, Draw draw) {
  const auto start = Clock::now();
  draw();
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("  %-44s %10.0f per second (%d in %.3f s)\n", what, primitives / seconds, primitives,
              seconds);
}

void Run(bool antialias) {
  std::printf("antialiasing %s\n", antialias ? "on" : "off");
  QPainterSurface s(kWidth, kHeight);
  s.SetAntialiasing(antialias);
  const auto lines = RandomLines(5000, 21, 7);
  const int segments = 5000 * 20;

  Report("segments, one Line call each", segments, [&] {
    for (const auto& line : lines) {
      for (std::size_t i = 1; i < line.size(); ++i) s.Line(line[i - 1], line[i], 0x404040);
    }
  });
  Report("segments, batched as Polyline", segments, [&] {
    for (const auto& line : lines) s.Polyline(line, 0x404040);
  });
  s.SetDrawStyle(orvenda::drawstyle::kDash);
  Report("segments, dashed Polyline", segments, [&] {
    for (const auto& line : lines) s.Polyline(line, 0x404040);
  });
  s.SetDrawStyle(orvenda::drawstyle::kSolid);

  const auto rings = RandomLines(5000, 12, 11);
  std::vector<std::vector<orvenda::PixelPoint>> polygons;
  for (const auto& ring : rings) {
    std::vector<orvenda::PixelPoint> pixels;
    for (const auto& p : ring) pixels.push_back(orvenda::ToPixel(s, p));
    polygons.push_back(pixels);
  }
  for (const int fill : {orvenda::fillstyle::kSolid, orvenda::fillstyle::kDiagonalCross}) {
    s.SetFillStyle(fill);
    s.SetFillColor(0xC0C000);
    Report(fill == 0 ? "polygons of 12 vertices, solid" : "polygons of 12 vertices, hatched", 5000,
           [&] {
             for (const auto& polygon : polygons) s.Polygon(polygon);
           });
  }
  Report("dots", 100000, [&] {
    for (int i = 0; i < 100000; ++i) {
      s.Dot({static_cast<float>(i % kWidth), static_cast<float>(i % kHeight)}, 0xFF);
    }
  });
  orvenda::FontSpec label;
  label.heightPoints = 7;
  s.SetFont(label);
  Report("labels of 7 points, flat", 20000, [&] {
    for (int i = 0; i < 20000; ++i) {
      s.Print({static_cast<float>(i % kWidth), static_cast<float>((i * 7) % kHeight)},
              "Avenida Central");
    }
  });
  Report("labels of 7 points, at 360 angles", 20000, [&] {
    for (int i = 0; i < 20000; ++i) {
      label.escapement = (i * 37) % 360 * 10;
      s.SetFont(label);
      s.Print({static_cast<float>(i % kWidth), static_cast<float>((i * 7) % kHeight)},
              "Avenida Central");
    }
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  std::printf("Qt surface, %d x %d picture\n", kWidth, kHeight);
  Run(false);
  Run(true);
  return 0;
}
