// Full redraws of real maps at 1920 x 1080 with antialiasing on (off with
// BENCH_RENDER_ALIASED=1, the viewer's own mode), through the layer redraw and
// the Qt surface. Each file given (GeoPackage or anything OGR reads; the first
// layer) is loaded straight into a layer of the model, the view fitted to its
// extents, and a redraw (clear + project + draw every element) timed 5 times
// after one warm-up. Prints min and median in ms, the cheap repaint from stored
// positions, and resident memory per vertex held.
//
// Usage: bench_render <file>...   (compare_peers.sh builds the files)

#include <gdal.h>
#include <malloc.h>
#include <ogr_api.h>
#include <unistd.h>

#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "import/bridge_holes.h"
#include "model/layer.h"
#include "render/layerdrawing.h"
#include "render/viewpainter.h"
#include "render/viewtransform.h"
#include "viewer/qpaintersurface.h"

namespace {

using namespace orvenda;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kRuns = 5;

double ResidentBytes() {
  // Memory the reader freed (GDAL's and SQLite's caches) goes back first, so
  // that what is left is what the model holds.
  malloc_trim(0);
  std::ifstream statm("/proc/self/statm");
  long pages = 0;
  long resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

void AppendRing(OGRGeometryH ring, std::vector<Point>& out) {
  const int n = OGR_G_GetPointCount(ring);
  for (int i = 0; i < n; ++i) out.push_back({OGR_G_GetX(ring, i), OGR_G_GetY(ring, i)});
}

// One element per polygon, its holes bridged into its outer ring.
void PolygonParts(OGRGeometryH g, std::vector<std::vector<Point>>& parts) {
  const auto type = wkbFlatten(OGR_G_GetGeometryType(g));
  if (type == wkbMultiPolygon || type == wkbGeometryCollection) {
    for (int i = 0; i < OGR_G_GetGeometryCount(g); ++i) {
      PolygonParts(OGR_G_GetGeometryRef(g, i), parts);
    }
    return;
  }
  if (type != wkbPolygon || OGR_G_GetGeometryCount(g) == 0) return;
  std::vector<Point>& out = parts.emplace_back();
  AppendRing(OGR_G_GetGeometryRef(g, 0), out);
  std::vector<std::vector<Point>> holes(static_cast<std::size_t>(OGR_G_GetGeometryCount(g) - 1));
  for (std::size_t r = 0; r < holes.size(); ++r) {
    AppendRing(OGR_G_GetGeometryRef(g, static_cast<int>(r + 1)), holes[r]);
  }
  orvenda::server::BridgeHoles(out, holes);
}

// Loads the first layer of the file; answers the vertex count and counts the
// features (a multipolygon gives one element per polygon).
long Load(const std::string& path, layer& lyr, long* features) {
  GDALDatasetH ds = GDALOpenEx(path.c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr);
  if (ds == nullptr) {
    std::fprintf(stderr, "cannot open %s\n", path.c_str());
    return -1;
  }
  OGRLayerH src = GDALDatasetGetLayer(ds, 0);
  lyr.Entidades.Reserve(static_cast<std::size_t>(OGR_L_GetFeatureCount(src, 1)));
  long vertices = 0;
  std::int32_t id = 0;
  std::vector<std::vector<Point>> parts;
  OGRFeatureH f = nullptr;
  while ((f = OGR_L_GetNextFeature(src)) != nullptr) {
    OGRGeometryH g = OGR_F_GetGeometryRef(f);
    parts.clear();
    if (g != nullptr && wkbFlatten(OGR_G_GetGeometryType(g)) == wkbPoint) {
      lyr.Tipo = pointlayer;
      parts.push_back({{OGR_G_GetX(g, 0), OGR_G_GetY(g, 0)}});
    } else if (g != nullptr) {
      lyr.Tipo = polygonlayer;
      PolygonParts(g, parts);
    }
    if (!parts.empty()) ++(*features);
    for (const auto& points : parts) {
      lyr.Entidades.Add(++id, points, &lyr);
      vertices += static_cast<long>(points.size());
    }
    OGR_F_Destroy(f);
  }
  GDALClose(ds);
  return vertices;
}

void Style(layer& lyr) {
  lyr.AccessLevel = ALViewer;
  lyr.Loaded = true;
  lyr.ZoomMax = 1e37F;
  if (lyr.Tipo == pointlayer) {
    lyr.ThematicMap().Add(0, 1, RgbColour(180, 0, 0), 0, fillstyle::kTransparent, kAnyValueClass,
                          "");
  } else {
    // BENCH_RENDER_NO_OUTLINE=1 draws fills alone, to see what the outline costs.
    const bool outline = std::getenv("BENCH_RENDER_NO_OUTLINE") == nullptr;
    lyr.ThematicMap().Add(outline ? 0 : 5, 1, RgbColour(60, 60, 60), RgbColour(235, 225, 200),
                          fillstyle::kSolid, kAnyValueClass, "");
  }
}

double CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Timing {
  double minMs, medianMs, minCpuMs;
};

// Wall time, and the process's CPU time, which other programs on a busy
// machine do not inflate.
template <typename Draw>
Timing Time(QPainterSurface& surface, Draw draw) {
  std::vector<double> ms;
  std::vector<double> cpu;
  for (int run = 0; run <= kRuns; ++run) {
    const auto start = Clock::now();
    const double cpuStart = CpuMs();
    surface.Cls();
    draw();
    const double t = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (run > 0) {  // run 0 warms caches up
      ms.push_back(t);
      cpu.push_back(CpuMs() - cpuStart);
    }
  }
  std::sort(ms.begin(), ms.end());
  return {ms.front(), ms[ms.size() / 2], *std::min_element(cpu.begin(), cpu.end())};
}

void Bench(const std::string& path) {
  // The reader's own start-up (driver, SQLite, projection database) is not the
  // model's: open the file once before measuring.
  if (GDALDatasetH warm = GDALOpenEx(path.c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr)) {
    GDALClose(warm);
  }
  const double before = ResidentBytes();
  layer lyr;
  const auto loadStart = Clock::now();
  long features = 0;
  const long vertices = Load(path, lyr, &features);
  if (vertices < 0) return;
  const double loadMs = std::chrono::duration<double, std::milli>(Clock::now() - loadStart).count();
  const double held = ResidentBytes() - before;
  Style(lyr);
  lyr.Entidades.GetNewIDs();  // loaded, not arriving: every redraw is a full one

  ViewTransform view;
  view.ViewWidth = kWidth;
  view.ViewHeight = kHeight;
  view.ApplyExtents(lyr.bb.MinX, lyr.bb.MinY, lyr.bb.MaxX, lyr.bb.MaxY);
  QPainterSurface surface(kWidth, kHeight);
  // BENCH_RENDER_ALIASED=1 times hard-edged drawing, the viewer's own mode.
  surface.SetAntialiasing(std::getenv("BENCH_RENDER_ALIASED") == nullptr);
  surface.SetBackColor(RgbColour(255, 255, 255));
  ViewPainter painter(surface, view);
  const auto full = Time(surface, [&] { Redraw(lyr, view.ViewExtents, painter); });
  const auto repaint = Time(surface, [&] { RedrawWOCalc(lyr, view.ViewExtents, painter); });
  const std::string name = path.substr(path.find_last_of('/') + 1);
  std::printf(
      "%-14s %7ld features %7d elements %9ld vertices | redraw min %7.1f median %7.1f cpu %7.1f ms"
      " | repaint min %7.1f cpu %7.1f ms | load %6.0f ms | %5.1f bytes/vertex\n",
      name.c_str(), features, lyr.Entidades.count(), vertices, full.minMs, full.medianMs,
      full.minCpuMs, repaint.minMs, repaint.minCpuMs, loadMs, held / static_cast<double>(vertices));
  std::fflush(stdout);
  if (std::getenv("BENCH_RENDER_SAVE") != nullptr) {
    surface.image().save(QString::fromStdString("/tmp/bench_render_" + name + ".png"));
  }
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  GDALAllRegister();
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <file>...\n", argv[0]);
    return 2;
  }
  for (int i = 1; i < argc; ++i) Bench(argv[i]);
  return 0;
}
