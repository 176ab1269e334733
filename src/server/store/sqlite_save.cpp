// SqliteStore: saving a whole map setup.
#include "store/sqlite_store.h"

namespace orvenda::server {
namespace {

bool validMapName(const std::string& name) {
  if (name.empty() || name.size() > 255) return false;
  for (unsigned char c : name)
    if (c < 0x20 || c == 0x7F) return false;
  return name.find_first_not_of(' ') != std::string::npos;
}

}  // namespace

SavedMap SqliteStore::saveMap(const MapDefinition& map) {
  SavedMap saved;
  if (!validMapName(map.name)) {
    saved.result = SavedMap::InvalidName;
    return saved;
  }
  inSavepoint([&] {
    auto other = db_.prepare("SELECT 1 FROM maps WHERE name = ? AND code <> ?");
    other.bind(1, std::string_view(map.name)).bind(2, std::int64_t{map.code});
    if (other.step()) {
      saved.result = SavedMap::InvalidName;
      return;
    }
    if (map.code == 0) {
      auto next = db_.prepare("SELECT coalesce(max(code), 0) + 1 FROM maps");
      next.step();
      MapDefinition fresh = map;
      fresh.code = static_cast<std::int32_t>(next.integer(0));
      createMap(fresh);
      saved.code = fresh.code;
    } else {
      auto st = db_.prepare(
          "UPDATE maps SET name = ?, min_x = ?, min_y = ?, max_x = ?, max_y = ?, "
          "background = ?, projection = ? WHERE code = ?");
      st.bind(1, std::string_view(map.name)).bind(2, map.extents.minX);
      st.bind(3, map.extents.minY).bind(4, map.extents.maxX).bind(5, map.extents.maxY);
      st.bind(6, std::int64_t{map.backgroundColor}).bind(7, std::int64_t{map.projection});
      st.bind(8, std::int64_t{map.code}).run();
      if (db_.changes() == 0)
        throw StoreError(StoreFault::UnknownRecord, "unknown map " + std::to_string(map.code));
      // Themes go with their setups (ON DELETE CASCADE).
      auto del = db_.prepare("DELETE FROM map_layers WHERE map_code = ?");
      del.bind(1, std::int64_t{map.code}).run();
      saved.code = map.code;
    }
    for (std::size_t i = 0; i < map.layers.size(); ++i)
      writeSetup(saved.code, map.layers[i], static_cast<std::int64_t>(i + 1));
  });
  return saved;
}

}  // namespace orvenda::server
