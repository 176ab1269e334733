// SqliteStore: the values of one field over a whole layer (layer setup dialog), and
// the same values set on several elements at once (request 221).
#include <unordered_set>

#include "store/field_types.h"
#include "store/sqlite_store.h"

namespace orvenda::server {

// Values keep the storage class of their field's type, so ORDER BY sorts numeric
// fields by number and text fields by text; NULLs are left out.
std::optional<std::vector<std::string>> SqliteStore::DistinctValues(std::int32_t layerId,
                                                                    const std::string& field,
                                                                    std::size_t limit) {
  if (!HasLayer(layerId)) return std::nullopt;
  const auto pos = FieldPosition(Shape(layerId), field);
  if (!pos) return std::nullopt;
  auto& st = Cached(
      "SELECT DISTINCT value FROM attributes WHERE layer_id = ? AND position = ? "
      "AND value IS NOT NULL ORDER BY value LIMIT ?");
  st.Bind(1, std::int64_t{layerId}).Bind(2, static_cast<std::int64_t>(*pos));
  st.Bind(3, static_cast<std::int64_t>(std::min<std::size_t>(limit, 1u << 30)));
  std::vector<std::string> out;
  while (st.Step()) out.push_back(ValueText(st.ColumnValue(0)));
  st.Reset();
  return out;
}

std::optional<ValueRange> SqliteStore::FindValueRange(std::int32_t layerId,
                                                      const std::string& field) {
  if (!HasLayer(layerId)) return std::nullopt;
  const auto pos = FieldPosition(Shape(layerId), field);
  if (!pos) return std::nullopt;
  auto& st = Cached(
      "SELECT min(value), max(value), count(value) FROM attributes "
      "WHERE layer_id = ? AND position = ?");
  st.Bind(1, std::int64_t{layerId}).Bind(2, static_cast<std::int64_t>(*pos));
  std::optional<ValueRange> out;
  if (st.Step() && st.Integer(2) > 0)
    out = ValueRange{ValueText(st.ColumnValue(0)), ValueText(st.ColumnValue(1))};
  st.Reset();
  return out;
}

}  // namespace orvenda::server
