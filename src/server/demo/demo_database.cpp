#include "demo/demo_database.h"

#include <ostream>

#include "demo/city_generator.h"
#include "demo/demo_layers.h"
#include "store/password.h"
#include "store/sqlite_store.h"

namespace orvenda::server {
namespace {

void requireCache(const std::filesystem::path& cache) {
  for (const char* f :
       {"node_modules/world-atlas/land-50m.json", "node_modules/world-atlas/countries-50m.json",
        "node_modules/us-atlas/states-10m.json", "node_modules/us-atlas/counties-10m.json",
        "cities.geojson"})
    if (!std::filesystem::exists(cache / f))
      throw StoreError(StoreFault::StorageFailure, "demo data missing: " + (cache / f).string() +
                                                       " (run scripts/fetch-demo-data.sh)");
}

void addUsers(Store& s) {
  const auto demo = s.addUser("demo", hashPassword("demo"), false);
  const auto viewer = s.addUser("viewer", hashPassword("viewer"), false);
  const auto guest = s.addUser("invitado", hashPassword(""), true);
  for (const LayerInfo& l : s.listLayers()) {
    s.setAccess(demo, l.id, AccessLevel::Draw);
    s.setAccess(viewer, l.id, AccessLevel::Viewer);
    s.setAccess(guest, l.id, AccessLevel::Viewer);
  }
}

void removeDatabase(const std::filesystem::path& p) {
  for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(p.string() + suffix);
}

}  // namespace

void buildDemoDatabase(const DemoOptions& o, std::ostream& log) {
  requireCache(o.cache);
  if (std::filesystem::exists(o.database) && !o.replace)
    throw StoreError(StoreFault::BadValue, o.database.string() + " already exists (use --replace)");
  const std::filesystem::path building = o.database.string() + ".building";
  removeDatabase(building);
  try {
    auto store = std::make_unique<SqliteStore>(building);
    store->startBulkLoad();
    DemoBuilder b(*store, o.cache, log);
    store->transaction([&] {
      b.worldMap();
      b.unitedStatesMap();
      b.cityMap(generateCity(CityPlan{}));
      addUsers(*store);
    });
  } catch (...) {
    removeDatabase(building);
    throw;
  }
  removeDatabase(o.database);
  std::filesystem::rename(building, o.database);
  log << "demo database written to " << o.database.string() << "\n";
}

}  // namespace orvenda::server
