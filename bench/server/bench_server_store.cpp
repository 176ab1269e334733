// Prints how fast the store imports and answers the cell requests (2 and 5) that make up
// nearly all of a map server's traffic.
//   bench_server_store            a generated city in a fresh database
//   bench_server_store DEMO.db    also every layer of an existing database (read only)
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>

#include "demo/city_generator.h"
#include "import/importer.h"

using namespace orvenda::server;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// Requests every cell of the layer's grid (at most `cap`, spread evenly) for elements
// and for the values of its first field, and prints the mean time per request.
void MeasureLayer(Store& s, const LayerInfo& l, std::size_t cap) {
  const LayerGrid& g = l.grid;
  const std::int64_t rows = g.lastRow - g.firstRow + 1, cols = g.lastColumn - g.firstColumn + 1;
  if (rows <= 0 || cols <= 0) return;
  const std::int64_t total = rows * cols;
  const std::int64_t step = std::max<std::int64_t>(1, total / static_cast<std::int64_t>(cap));
  std::size_t requests = 0, elements = 0, largest = 0, points = 0;
  auto t0 = Clock::now();
  for (std::int64_t k = 0; k < total; k += step) {
    const CellKey c{static_cast<std::int32_t>(g.firstRow + k / cols),
                    static_cast<std::int32_t>(g.firstColumn + k % cols)};
    const auto els = s.CellElements(l.id, c);
    ++requests;
    elements += els.size();
    largest = std::max(largest, els.size());
    for (const auto& e : els) points += e.points.size();
  }
  const double cellTime = Seconds(t0);
  std::size_t valueRequests = 0;
  t0 = Clock::now();
  if (!l.fields.empty())
    for (std::int64_t k = 0; k < total; k += step, ++valueRequests)
      s.FindCellFieldValues(l.id,
                            {static_cast<std::int32_t>(g.firstRow + k / cols),
                             static_cast<std::int32_t>(g.firstColumn + k % cols)},
                            l.fields[0].name);
  const double valueTime = Seconds(t0);
  std::printf(
      "  %-14s %8lld elements, cell %-6g %6zu cells asked: %8.1f us per cell reply "
      "(mean %zu, largest %zu elements, %zu points), %8.1f us per value reply\n",
      l.name.c_str(), static_cast<long long>(l.elementCount), double{g.cellWidth}, requests,
      1e6 * cellTime / static_cast<double>(requests), elements / requests, largest, points,
      valueRequests ? 1e6 * valueTime / static_cast<double>(valueRequests) : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
  const auto file = std::filesystem::temp_directory_path() /
                    ("bench-store-" + std::to_string(std::random_device{}()) + ".db");
  {
    auto s = OpenStore(file);
    auto t0 = Clock::now();
    const GeneratedCity city = GenerateCity(CityPlan{});
    std::printf("generated city in %.2f s\n", Seconds(t0));
    for (auto [name, data] : {std::pair{"Calles", &city.streets},
                              {"Manzanas", &city.blocks},
                              {"Lugares", &city.places}}) {
      ImportOptions o;
      o.layerName = name;
      o.zoomMax = 8;
      o.mapCode = std::nullopt;
      t0 = Clock::now();
      const ImportReport r = ImportData(*s, *data, o);
      const double t = Seconds(t0);
      std::printf("import %-9s %6zu elements in %.2f s (%.0f elements/s)\n", name, r.elements, t,
                  static_cast<double>(r.elements) / t);
    }
    std::printf("cell replies, generated city:\n");
    for (const LayerInfo& l : s->ListLayers()) MeasureLayer(*s, l, 5000);
  }
  std::printf("database size %.1f MiB\n",
              static_cast<double>(std::filesystem::file_size(file)) / (1 << 20));
  for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(file.string() + suffix);
  if (argc > 1) {
    auto s = OpenStore(argv[1]);
    std::printf("cell replies, %s:\n", argv[1]);
    for (const LayerInfo& l : s->ListLayers()) MeasureLayer(*s, l, 2000);
  }
  return 0;
}
