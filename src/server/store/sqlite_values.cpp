// SqliteStore: the values of one field over a whole layer (layer setup dialog).
#include "store/field_types.h"
#include "store/sqlite_store.h"

namespace orvenda::server {

// Values keep the storage class of their field's type, so ORDER BY sorts numeric
// fields by number and text fields by text; NULLs are left out.
std::optional<std::vector<std::string>> SqliteStore::distinctValues(std::int32_t layerId,
                                                                    const std::string& field,
                                                                    std::size_t limit) {
  if (!hasLayer(layerId)) return std::nullopt;
  const auto pos = fieldPosition(shape(layerId), field);
  if (!pos) return std::nullopt;
  auto& st = cached(
      "SELECT DISTINCT value FROM attributes WHERE layer_id = ? AND position = ? "
      "AND value IS NOT NULL ORDER BY value LIMIT ?");
  st.bind(1, std::int64_t{layerId}).bind(2, static_cast<std::int64_t>(*pos));
  st.bind(3, static_cast<std::int64_t>(std::min<std::size_t>(limit, 1u << 30)));
  std::vector<std::string> out;
  while (st.step()) out.push_back(valueText(st.value(0)));
  st.reset();
  return out;
}

std::optional<ValueRange> SqliteStore::valueRange(std::int32_t layerId, const std::string& field) {
  if (!hasLayer(layerId)) return std::nullopt;
  const auto pos = fieldPosition(shape(layerId), field);
  if (!pos) return std::nullopt;
  auto& st = cached(
      "SELECT min(value), max(value), count(value) FROM attributes "
      "WHERE layer_id = ? AND position = ?");
  st.bind(1, std::int64_t{layerId}).bind(2, static_cast<std::int64_t>(*pos));
  std::optional<ValueRange> out;
  if (st.step() && st.integer(2) > 0)
    out = ValueRange{valueText(st.value(0)), valueText(st.value(1))};
  st.reset();
  return out;
}

}  // namespace orvenda::server
