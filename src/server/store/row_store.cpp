#include "store/row_store.h"

#include <unordered_set>

#include "store/condition.h"
#include "store/field_types.h"
#include "store/write_rules.h"

namespace orvenda::server {

std::optional<std::size_t> RowStore::FieldPosition(const LayerShape& s, const std::string& name) {
  return FindField(s.fields, name);
}

void RowStore::NoteGrid(ElementWrite& w, const std::optional<LayerGrid>& grid) {
  w.gridChanged = grid.has_value();
  if (grid) w.grid = *grid;
}

ElementWrite RowStore::AddElement(std::int32_t layerId, const std::vector<Point>& points,
                                  const std::vector<std::string>& texts) {
  const LayerShape& s = Shape(layerId);
  const std::vector<Value> values = ParseValues(layerId, s.fields, texts);
  return AddElementTyped(layerId, points, values);
}

std::optional<ElementWrite> RowStore::SetGeometry(std::int32_t layerId, std::int32_t elementId,
                                                  const std::vector<Point>& points) {
  CheckPoints(points);
  if (!ElementExtent(layerId, elementId)) return std::nullopt;
  ElementWrite w;
  w.id = elementId;
  InSavepoint([&] {
    w.cells = StoreGeometry(layerId, elementId, points, false);
    NoteGrid(w, WidenGrid(layerId, w.cells));
  });
  return w;
}

bool RowStore::SetAttributes(std::int32_t layerId, std::int32_t elementId,
                             const std::vector<std::string>& texts) {
  const LayerShape& s = Shape(layerId);
  if (!ElementExtent(layerId, elementId)) return false;
  const std::vector<Value> values = ParseValues(layerId, s.fields, texts);
  InSavepoint([&] { WriteValues(layerId, elementId, values); });
  return true;
}

std::optional<std::vector<MatchedElement>> RowStore::MatchElements(
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
  std::optional<std::int32_t> current;
  std::vector<AttributeValue> values;
  LayerValueRows(layerId, [&](std::int32_t id, std::optional<std::int64_t> p, Value v) {
    if (current != id) {
      if (current) offer(*current, std::move(values));
      current = id;
      values.assign(s.fields.size(), {});
      for (std::size_t f = 0; f < s.fields.size(); ++f) values[f].type = s.fields[f].type;
    }
    if (p && *p >= 0 && *p < std::ssize(values))
      values[static_cast<std::size_t>(*p)].value = std::move(v);
    return out.size() < limit;
  });
  if (current && out.size() < limit) offer(*current, std::move(values));
  return out;
}

}  // namespace orvenda::server
