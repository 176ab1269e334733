// Speed and memory of the map model: loading elements, point and polygon
// selection, and the cell bookkeeping of a loading pass. Prints its figures.
#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <random>
#include <vector>

#include "model/layer.h"

namespace {

using orvenda::layer;
using orvenda::Point;
// Thread CPU time rather than wall time: the figures stay meaningful on a
// machine shared with other work (page faults are still counted).
struct Clock {
  using time_point = std::chrono::nanoseconds;
  static time_point now() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec);
  }
};

double ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  long size = 0;
  long resident = 0;
  statm >> size >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

double NanosSince(Clock::time_point start) {
  return static_cast<double>((Clock::now() - start).count());
}

// Keeps results alive so the optimiser cannot drop the work.
volatile int64_t sink = 0;

void PrepareLayer(layer& lay, orvenda::TipoLayer kind) {
  lay.Tipo = kind;
  lay.ThematicMap().Add(0, 1, 0xFF0000, 0xC0C000, 0, orvenda::kAnyValueClass, "");
}

double AddPoints(layer& points, std::mt19937& rng, int32_t n) {
  std::uniform_real_distribution<double> lon(-10, 10), lat(35, 45);
  points.Entidades.Reserve(static_cast<std::size_t>(n));
  const auto start = Clock::now();
  for (int32_t id = 1; id <= n; ++id) {
    const Point p{lon(rng), lat(rng)};
    points.Entidades.Add(id, {&p, 1}, &points);
  }
  return NanosSince(start) / n;
}

void BenchPoints(layer& points, std::mt19937& rng, int32_t n) {
  double cold = 0;
  double bytes = 0;
  {
    layer scratch;
    scratch.Tipo = orvenda::pointlayer;
    const double before = ResidentBytes();
    cold = AddPoints(scratch, rng, n);
    // A drawn point keeps one screen position.
    for (orvenda::Entidad& e : scratch.Entidades) e.SizeScreen()[0] = {1, 1};
    bytes = ResidentBytes() - before;
  }
  // The same load again into memory the allocator kept: no page faults.
  const double warm = AddPoints(points, rng, n);
  for (orvenda::Entidad& e : points.Entidades) e.SizeScreen()[0] = {1, 1};
  std::printf("add point element, fresh memory: %8.1f ns/element (%d elements)\n", cold, n);
  std::printf("add point element, reused memory:%8.1f ns/element\n", warm);
  std::printf(
      "point elements, resident:        %8.1f bytes/element = bytes/vertex "
      "(with screen cache)\n",
      bytes / n);
  std::printf("  of which the element record:   %8zu bytes (the rest: order, ID index, new IDs)\n",
              sizeof(orvenda::Entidad));
}

void BenchPolylines(layer& lines, std::mt19937& rng, int32_t n, int32_t vertices) {
  std::uniform_real_distribution<double> lon(-10, 10), lat(35, 45), step(-0.001, 0.001);
  std::vector<Point> buffer(static_cast<std::size_t>(vertices));
  lines.Entidades.Reserve(static_cast<std::size_t>(n));
  const double before = ResidentBytes();
  const auto start = Clock::now();
  for (int32_t id = 1; id <= n; ++id) {
    Point p{lon(rng), lat(rng)};
    for (Point& v : buffer) {
      p = {p.X + step(rng), p.Y + step(rng)};
      v = p;
    }
    lines.Entidades.Add(id, buffer, &lines);
  }
  const double ns = NanosSince(start);
  for (orvenda::Entidad& e : lines.Entidades) e.SizeScreen()[0] = {1, 1};
  const double bytes = ResidentBytes() - before;
  const double total = static_cast<double>(n) * vertices;
  std::printf("add polyline of %d vertices:  %8.1f ns/element (%d elements)\n", vertices, ns / n,
              n);
  std::printf("polylines, resident:          %8.1f bytes/vertex (with screen cache)\n",
              bytes / total);
}

void BenchSelectByPoint(layer& points, std::mt19937& rng, int32_t drawn) {
  points.DrawnEntities.clear();
  for (int32_t id = 1; id <= drawn; ++id) points.DrawnEntities.push_back(id);
  std::uniform_real_distribution<double> lon(-10, 10), lat(35, 45);
  const int calls = 200;
  const auto start = Clock::now();
  for (int k = 0; k < calls; ++k) sink = sink + points.SelectByPoint(lon(rng), lat(rng));
  const double ns = NanosSince(start) / calls;
  std::printf("SelectByPoint, %d drawn:  %8.0f ns/call (%.2f ns/candidate)\n", drawn, ns,
              ns / drawn);
}

void BenchSelectInPolygon(layer& points) {
  const std::vector<Point> polygon = {{-2, 38}, {3, 37}, {4, 41}, {0, 43}, {-3, 41}};
  const int calls = 10;
  std::size_t found = 0;
  const auto start = Clock::now();
  for (int k = 0; k < calls; ++k) found = points.SelectElementsInPolygon(polygon, false).size();
  const double ns = NanosSince(start) / calls;
  const auto n = points.Entidades.count();
  std::printf(
      "SelectElementsInPolygon, %d elements: %.2f ms/call (%.1f ns/element, %zu "
      "found)\n",
      n, ns / 1e6, ns / n, found);
}

void BenchCells() {
  layer lay;
  lay.GridDeltaX = 0.05f;
  lay.GridDeltaY = 0.05f;
  lay.minCol = 0;
  lay.maxCol = 3600;
  lay.minRow = 0;
  lay.maxRow = 7200;
  for (int32_t i = 0; i < 100; ++i) {
    for (int32_t j = 0; j < 100; ++j) lay.CeldaSolicitada(2500 + i, 3600 + j);
  }
  // A view of 30 x 20 cells, half of them registered.
  const int calls = 20000;
  int64_t cells = 0;
  int64_t known = 0;
  const auto start = Clock::now();
  for (int k = 0; k < calls; ++k) {
    const double x = 4.5 + 0.0001 * (k % 7);
    const auto box = lay.CellsInBox(x, 35.25, x + 1.5, 36.25);
    cells += box.count();
    for (int32_t c = 0; c < box.count(); ++c) {
      known += lay.IsCellRequested(box.rows[static_cast<std::size_t>(c)],
                                   box.columns[static_cast<std::size_t>(c)]);
    }
  }
  const double ns = NanosSince(start);
  sink = sink + known;
  std::printf(
      "CellsInBox + IsCellRequested, 10000 registered: %.0f ns/view, %.1f ns/cell "
      "(%lld cells per view, %lld known)\n",
      ns / calls, ns / static_cast<double>(cells), static_cast<long long>(cells / calls),
      static_cast<long long>(known / calls));
}

}  // namespace

int main() {
  // Keep freed memory in the process, so the second load measures the
  // allocator and the model rather than the kernel's page faults.
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  std::mt19937 rng(1);
  layer points;
  PrepareLayer(points, orvenda::pointlayer);
  BenchPoints(points, rng, 1'000'000);
  layer lines;
  PrepareLayer(lines, orvenda::polylinelayer);
  BenchPolylines(lines, rng, 100'000, 50);
  std::printf("resident, whole process:         %8.1f bytes/vertex over 6,000,000 vertices\n",
              ResidentBytes() / 6e6);
  BenchSelectByPoint(points, rng, 100'000);
  BenchSelectInPolygon(points);
  BenchCells();
  return 0;
}
