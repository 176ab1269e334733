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

std::optional<std::vector<MatchedElement>> SqliteStore::MatchElements(
    std::int32_t layerId, const std::vector<std::int32_t>& candidates,
    const std::vector<Condition>& conditions, std::size_t limit) {
  if (!HasLayer(layerId)) return std::nullopt;
  const LayerShape& s = Shape(layerId);
  std::vector<std::pair<std::size_t, ConditionTest>> tests;
  for (const Condition& c : conditions) {
    const auto pos = FieldPosition(s, c.field);
    if (!pos) return std::nullopt;
    tests.emplace_back(*pos, ConditionTest(c, s.fields[*pos].type));
  }
  std::vector<MatchedElement> out;
  auto offer = [&](std::int32_t id, std::vector<AttributeValue> values) {
    for (const auto& [pos, test] : tests)
      if (!test(values[pos].value)) return;
    out.push_back({id, std::move(values)});
  };
  if (!candidates.empty()) {
    std::unordered_set<std::int32_t> seen;
    for (std::int32_t id : candidates) {
      if (out.size() >= limit) break;
      if (!seen.insert(id).second) continue;
      if (auto values = ElementAttributes(layerId, id)) offer(id, std::move(*values));
    }
    return out;
  }
  // The whole layer in one pass over its values, element by element.
  auto& st = Cached(
      "SELECT e.id, a.position, a.value FROM elements e LEFT JOIN attributes a "
      "ON a.layer_id = e.layer_id AND a.element_id = e.id WHERE e.layer_id = ? "
      "ORDER BY e.id, a.position");
  st.Bind(1, std::int64_t{layerId});
  std::optional<std::int32_t> current;
  std::vector<AttributeValue> values;
  auto fresh = [&] {
    values.assign(s.fields.size(), {});
    for (std::size_t i = 0; i < s.fields.size(); ++i) values[i].type = s.fields[i].type;
  };
  while (out.size() < limit && st.Step()) {
    const auto id = static_cast<std::int32_t>(st.Integer(0));
    if (current != id) {
      if (current) offer(*current, std::move(values));
      current = id;
      fresh();
    }
    const Value pos = st.ColumnValue(1);
    if (const auto* p = std::get_if<std::int64_t>(&pos); p && *p >= 0 && *p < std::ssize(values))
      values[static_cast<std::size_t>(*p)].value = st.ColumnValue(2);
  }
  if (current && out.size() < limit) offer(*current, std::move(values));
  st.Reset();
  return out;
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
