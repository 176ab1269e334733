// SqliteStore: saving a whole map setup, and who may save over a map.
#include "store/sqlite_store.h"
#include "store/write_rules.h"

namespace orvenda::server {

std::int32_t SqliteStore::FreshMapCode() {
  // Past the highest code, so that a code once listed names one map; once the highest
  // code is taken, the first free one after a taken one.
  auto top = db_.Prepare("SELECT coalesce(max(code), 0) FROM maps");
  top.Step();
  if (top.Integer(0) < 0x7FFFFFFF) return static_cast<std::int32_t>(top.Integer(0) + 1);
  auto gap = db_.Prepare(
      "SELECT min(code) + 1 FROM maps m WHERE code < 2147483647 "
      "AND NOT EXISTS (SELECT 1 FROM maps n WHERE n.code = m.code + 1)");
  if (!gap.Step() || gap.IsNull(0))
    throw StoreError(StoreFault::BadValue, "every map code is taken");
  return static_cast<std::int32_t>(gap.Integer(0));
}

SavedMap SqliteStore::SaveMap(const MapDefinition& map, SaveMode mode, std::int32_t authorId) {
  SavedMap saved;
  if (!ValidMapName(map.name)) {
    saved.result = SavedMap::InvalidName;
    return saved;
  }
  CheckMapValues(map);
  InSavepoint([&] {
    const bool asNew = mode == SaveMode::AsNew;
    auto other = db_.Prepare("SELECT 1 FROM maps WHERE name = ? AND (? OR code <> ?)");
    other.Bind(1, std::string_view(map.name)).Bind(2, std::int64_t{asNew});
    other.Bind(3, std::int64_t{map.code});
    if (other.Step()) {
      saved.result = SavedMap::InvalidName;
      return;
    }
    if (asNew) {
      MapDefinition fresh = map;
      fresh.code = FreshMapCode();
      CreateMap(fresh);
      saved.code = fresh.code;
      if (authorId != 0) {
        auto author = db_.Prepare("INSERT INTO map_authors (map_code, user_id) VALUES (?, ?)");
        author.Bind(1, std::int64_t{saved.code}).Bind(2, std::int64_t{authorId}).Run();
      }
    } else {
      auto st = db_.Prepare(
          "UPDATE maps SET name = ?, min_x = ?, min_y = ?, max_x = ?, max_y = ?, "
          "background = ?, projection = ? WHERE code = ?");
      st.Bind(1, std::string_view(map.name)).Bind(2, map.extents.minX);
      st.Bind(3, map.extents.minY).Bind(4, map.extents.maxX).Bind(5, map.extents.maxY);
      st.Bind(6, std::int64_t{map.backgroundColor}).Bind(7, std::int64_t{map.projection});
      st.Bind(8, std::int64_t{map.code}).Run();
      if (db_.Changes() == 0)
        throw StoreError(StoreFault::UnknownRecord, "unknown map " + std::to_string(map.code));
      // Themes go with their setups (ON DELETE CASCADE).
      auto del = db_.Prepare("DELETE FROM map_layers WHERE map_code = ?");
      del.Bind(1, std::int64_t{map.code}).Run();
      saved.code = map.code;
    }
    for (std::size_t i = 0; i < map.layers.size(); ++i)
      WriteSetup(saved.code, map.layers[i], static_cast<std::int64_t>(i + 1));
  });
  return saved;
}

bool SqliteStore::MayChangeMap(std::int32_t userId, std::int32_t mapCode) {
  auto& st = Cached(
      "SELECT EXISTS (SELECT 1 FROM map_authors WHERE map_code = ?1 AND user_id = ?2) "
      "OR (EXISTS (SELECT 1 FROM map_layers WHERE map_code = ?1) AND NOT EXISTS ("
      "SELECT 1 FROM map_layers ml LEFT JOIN access a "
      "ON a.layer_id = ml.layer_id AND a.user_id = ?2 "
      "WHERE ml.map_code = ?1 AND coalesce(a.level, 0) < ?3))");
  st.Bind(1, std::int64_t{mapCode}).Bind(2, std::int64_t{userId});
  st.Bind(3, static_cast<std::int64_t>(AccessLevel::Editor));
  const bool may = st.Step() && st.Integer(0) != 0;
  st.Reset();
  return may;
}

}  // namespace orvenda::server
