#include "demo/demo_database.h"

#include <ostream>

#include "demo/city_generator.h"
#include "demo/demo_layers.h"
#include "store/password.h"
#include "store/site_copy.h"
#include "store/sqlite_store.h"

namespace orvenda::server {
namespace {

void RequireCache(const std::filesystem::path& cache) {
  for (const char* f :
       {"node_modules/world-atlas/land-50m.json", "node_modules/world-atlas/countries-50m.json",
        "node_modules/us-atlas/states-10m.json", "node_modules/us-atlas/counties-10m.json",
        "cities.geojson"})
    if (!std::filesystem::exists(cache / f))
      throw StoreError(StoreFault::StorageFailure, "demo data missing: " + (cache / f).string() +
                                                       " (run scripts/fetch-demo-data.sh)");
}

void AddUsers(Store& s) {
  const auto demo = s.AddUser("demo", HashPassword("demo"), false);
  const auto viewer = s.AddUser("viewer", HashPassword("viewer"), false);
  const auto guest = s.AddUser("invitado", HashPassword(""), true);
  for (const LayerInfo& l : s.ListLayers()) {
    s.SetAccess(demo, l.id, AccessLevel::Draw);
    s.SetAccess(viewer, l.id, AccessLevel::Viewer);
    s.SetAccess(guest, l.id, AccessLevel::Viewer);
  }
}

void RemoveDatabase(const std::filesystem::path& p) {
  for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(p.string() + suffix);
}

}  // namespace

void BuildDemoDatabase(const DemoOptions& o, std::ostream& log) {
  RequireCache(o.cache);
  if (!o.pg.empty()) {
    OpenedStore target = OpenStoreAt("pg:" + o.pg);
    if (!target.rows->SiteEmpty())
      throw StoreError(StoreFault::BadValue, "the PostgreSQL database already holds a site");
    DemoBuilder b(*target.store, o.cache, log);
    target.store->Transaction([&] {
      b.WorldMap();
      b.UnitedStatesMap();
      b.CityMap(GenerateCity(CityPlan{}));
      AddUsers(*target.store);
    });
    log << "demo database written to PostgreSQL\n";
    return;
  }
  if (std::filesystem::exists(o.database) && !o.replace)
    throw StoreError(StoreFault::BadValue, o.database.string() + " already exists (use --replace)");
  const std::filesystem::path building = o.database.string() + ".building";
  RemoveDatabase(building);
  try {
    auto store = std::make_unique<SqliteStore>(building);
    store->StartBulkLoad();
    DemoBuilder b(*store, o.cache, log);
    store->Transaction([&] {
      b.WorldMap();
      b.UnitedStatesMap();
      b.CityMap(GenerateCity(CityPlan{}));
      AddUsers(*store);
    });
  } catch (...) {
    RemoveDatabase(building);
    throw;
  }
  RemoveDatabase(o.database);
  std::filesystem::rename(building, o.database);
  log << "demo database written to " << o.database.string() << "\n";
}

}  // namespace orvenda::server
