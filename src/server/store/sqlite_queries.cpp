// SqliteStore: finding elements by condition (request 13), filtering a selection by
// constraints (14) and finding street addresses (230).
#include <unordered_set>

#include "store/address_search.h"
#include "store/condition.h"
#include "store/sqlite_store.h"
#include "store/vertices.h"

namespace orvenda::server {
std::optional<std::vector<FoundElement>> SqliteStore::FindElements(std::int32_t layerId,
                                                                   const Condition& c,
                                                                   std::size_t limit) {
  if (!HasLayer(layerId)) return std::nullopt;
  const LayerShape& s = Shape(layerId);
  const auto pos = FieldPosition(s, c.field);
  if (!pos) return std::nullopt;
  const ConditionTest test(c, s.fields[*pos].type);
  // Elements without a stored value count as NULL: take them from the elements table.
  auto& st = Cached(
      "SELECT e.id, a.value FROM elements e LEFT JOIN attributes a ON a.layer_id = e.layer_id "
      "AND a.element_id = e.id AND a.position = ? WHERE e.layer_id = ? ORDER BY e.id");
  st.Bind(1, static_cast<std::int64_t>(*pos)).Bind(2, std::int64_t{layerId});
  std::vector<FoundElement> out;
  while (out.size() < limit && st.Step()) {
    Value v = st.ColumnValue(1);
    if (test(v)) out.push_back({static_cast<std::int32_t>(st.Integer(0)), std::move(v)});
  }
  st.Reset();
  return out;
}

void SqliteStore::LayerValueRows(
    std::int32_t layerId,
    const std::function<bool(std::int32_t, std::optional<std::int64_t>, Value)>& row) {
  // The whole layer in one pass over its values, element by element.
  auto& st = Cached(
      "SELECT e.id, a.position, a.value FROM elements e LEFT JOIN attributes a "
      "ON a.layer_id = e.layer_id AND a.element_id = e.id WHERE e.layer_id = ? "
      "ORDER BY e.id, a.position");
  st.Bind(1, std::int64_t{layerId});
  while (st.Step()) {
    const Value pos = st.ColumnValue(1);
    const auto* p = std::get_if<std::int64_t>(&pos);
    if (!row(static_cast<std::int32_t>(st.Integer(0)), p ? std::optional(*p) : std::nullopt,
             st.ColumnValue(2)))
      break;
  }
  st.Reset();
}

// Addresses: the rules are AddressSearch's (address_search.cpp).
std::vector<AddressCandidate> SqliteStore::FindAddress(std::int32_t layerId,
                                                       const std::string& street,
                                                       std::int64_t number, std::size_t limit) {
  if (!HasLayer(layerId)) return {};
  const LayerShape& s = Shape(layerId);
  const auto first = FieldPosition(s, "NUMINI"), second = FieldPosition(s, "NUMFIN");
  const auto name = StreetNameField(s.fields);
  AddressSearch search(street, number);
  if (!first || !second || !name || search.Hopeless()) return {};
  auto& st = Cached(
      "SELECT e.id, n.value, f.value, l.value, e.min_x, e.min_y, e.max_x, e.max_y "
      "FROM elements e JOIN attributes n ON n.layer_id = e.layer_id AND n.element_id = e.id "
      "AND n.position = ?2 "
      "LEFT JOIN attributes f ON f.layer_id = e.layer_id AND f.element_id = e.id "
      "AND f.position = ?3 "
      "LEFT JOIN attributes l ON l.layer_id = e.layer_id AND l.element_id = e.id "
      "AND l.position = ?4 WHERE e.layer_id = ?1 ORDER BY e.id");
  st.Bind(1, std::int64_t{layerId}).Bind(2, static_cast<std::int64_t>(*name));
  st.Bind(3, static_cast<std::int64_t>(*first)).Bind(4, static_cast<std::int64_t>(*second));
  while (st.Step())
    search.Offer(static_cast<std::int32_t>(st.Integer(0)), st.ColumnValue(1), st.ColumnValue(2),
                 st.ColumnValue(3), {st.Real(4), st.Real(5), st.Real(6), st.Real(7)});
  st.Reset();
  return search.Candidates(limit, [&](std::int32_t id) {
    auto& geometry = Cached("SELECT points FROM elements WHERE layer_id = ? AND id = ?");
    geometry.Bind(1, std::int64_t{layerId}).Bind(2, std::int64_t{id});
    std::vector<Point> pts;
    if (geometry.Step()) pts = UnpackPoints(geometry.Blob(0));
    geometry.Reset();
    return pts;
  });
}

}  // namespace orvenda::server
