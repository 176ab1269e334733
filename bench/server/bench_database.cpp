#include "bench_database.h"

#include <random>

#include "store/password.h"

namespace orvenda::server::bench {
namespace {

constexpr double kX0 = -101.0, kY0 = 25.0, kSize = 2.0;
constexpr float kCell = 0.05f;

std::vector<Point> Walk(std::mt19937& r, int vertices, double step, bool close) {
  std::uniform_real_distribution<double> at(0.0, kSize), turn(-step, step);
  std::vector<Point> pts{{kX0 + at(r), kY0 + at(r)}};
  for (int i = 1; i < vertices; ++i)
    pts.push_back({pts.back().x + turn(r), pts.back().y + turn(r)});
  if (close) pts.push_back(pts.front());
  return pts;
}

}  // namespace

void GenerateDatabase(const std::filesystem::path& path) {
  auto s = OpenStore(path);
  std::mt19937 r(42);
  s->Transaction([&] {
    const auto user = s->AddUser("bench", HashPassword("bench"), false);
    const auto points =
        s->CreateLayer({"Puntos", LayerKind::Point, kCell, kCell, {{"NOMBRE", 200}, {"VALOR", 3}}});
    const auto lines = s->CreateLayer(
        {"Calles", LayerKind::Polyline, kCell, kCell, {{"NOMBRE", 200}, {"DIR", 2}}});
    const auto areas =
        s->CreateLayer({"Manzanas", LayerKind::Polygon, kCell, kCell, {{"CLAVE", 200}}});
    for (int i = 0; i < 10000; ++i) {
      s->AddElementTyped(points, Walk(r, 1, 0, false),
                         {"P" + std::to_string(i % 500), std::int64_t{i}});
    }
    for (int i = 0; i < 5000; ++i) {
      s->AddElementTyped(lines, Walk(r, 3 + i % 4, 0.01, false),
                         {"Calle " + std::to_string(i % 300), std::int64_t{i % 360}});
    }
    for (int i = 0; i < 3000; ++i) {
      s->AddElementTyped(areas, Walk(r, 4, 0.01, true), {"M" + std::to_string(i)});
    }
    s->CreateMap({1, "Generado", {kX0, kY0, kX0 + kSize, kY0 + kSize}, 0xFFFFFF, 0, {}});
    for (const auto id : {areas, lines, points}) {
      LayerRecord setup;
      setup.id = id;
      setup.labelField = "NOMBRE";
      if (id == areas) setup.labelField = "CLAVE";
      s->AddLayerToMap(1, setup);
      s->SetAccess(user, id, AccessLevel::Viewer);
    }
  });
}

std::vector<MapJob> CollectJobs(Store& store, const std::string& user, std::size_t maxCells) {
  std::vector<MapJob> jobs;
  const auto account = store.FindUser(user);
  if (!account) return jobs;
  for (const MapSummary& m : store.MapsForUser(account->id)) {
    const auto def = store.FindMapDefinition(m.code);
    if (!def) continue;
    MapJob job;
    job.code = m.code;
    for (const LayerRecord& l : def->layers) {
      job.layers.push_back(l.id);
      if (store.AccessLevelOf(account->id, l.id) == AccessLevel::NoAccess) continue;
      const LayerGrid& g = l.grid;
      for (std::int32_t i = g.firstRow; i <= g.lastRow && job.cells.size() < maxCells; ++i) {
        for (std::int32_t j = g.firstColumn; j <= g.lastColumn && job.cells.size() < maxCells;
             ++j) {
          job.cells.push_back({l.id, CellKey{i, j}});
        }
      }
    }
    jobs.push_back(std::move(job));
  }
  return jobs;
}

}  // namespace orvenda::server::bench
