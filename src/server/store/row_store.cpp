#include "store/row_store.h"

#include <algorithm>
#include <unordered_set>

#include "store/condition.h"
#include "store/field_types.h"
#include "store/grid.h"
#include "store/write_rules.h"

namespace orvenda::server {

std::optional<std::size_t> RowStore::FieldPosition(const LayerShape& s, const std::string& name) {
  return FindField(s.fields, name);
}

std::vector<CellKey> RowStore::CellsOfElementBox(std::int32_t layerId, const Box& box) {
  constexpr std::int64_t kMaxCellsPerElement = 1'000'000;
  const LayerShape& s = Shape(layerId);
  const std::int64_t count = CellCountOfBox(box, s.cellWidth, s.cellHeight);
  if (count > kMaxCellsPerElement)
    throw StoreError(StoreFault::BadValue, "an element would cover " + std::to_string(count) +
                                               " cells of layer " + std::to_string(layerId) +
                                               "; use larger cells");
  return CellsOfBox(box, s.cellWidth, s.cellHeight);
}

std::pair<CellKey, CellKey> RowStore::CellBounds(const std::vector<CellKey>& cells) {
  CellKey lo = cells.front(), hi = cells.front();
  for (const CellKey& c : cells) {
    lo = {std::min(lo.row, c.row), std::min(lo.column, c.column)};
    hi = {std::max(hi.row, c.row), std::max(hi.column, c.column)};
  }
  return {lo, hi};
}

void RowStore::NoteGrid(ElementWrite& w, const std::optional<LayerGrid>& grid) {
  w.gridChanged = grid.has_value();
  if (grid) w.grid = *grid;
}

std::optional<LayerInfo> RowStore::FindLayerInfo(std::int32_t layerId) {
  auto v = QueryLayers("WHERE id = $1", nullptr, layerId);
  if (v.empty()) return std::nullopt;
  return v.front();
}

std::optional<LayerInfo> RowStore::FindLayer(const std::string& name) {
  auto v = QueryLayers("WHERE name = $1", &name, 0);
  if (v.empty()) return std::nullopt;
  return v.front();
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

void RowStore::WriteValues(std::int32_t layerId, std::int32_t elementId,
                           const std::vector<Value>& values) {
  const LayerShape& s = Shape(layerId);
  if (values.size() != s.fields.size())
    throw StoreError(StoreFault::BadValue, "layer " + std::to_string(layerId) + " has " +
                                               std::to_string(s.fields.size()) + " fields, " +
                                               std::to_string(values.size()) + " values given");
  for (std::size_t i = 0; i < values.size(); ++i) {
    const auto v = CoerceFieldValue(s.fields[i].type, values[i]);
    if (!v)
      throw StoreError(StoreFault::BadValue, "value '" + ValueText(values[i]) +
                                                 "' does not fit field '" + s.fields[i].name + "'");
    WriteValue(layerId, elementId, i, *v);
  }
}

std::vector<std::int32_t> RowStore::SetFieldValues(
    std::int32_t layerId, const std::vector<std::int32_t>& elementIds,
    const std::vector<std::pair<std::size_t, std::string>>& values) {
  const LayerShape& s = Shape(layerId);
  std::vector<std::pair<std::size_t, Value>> typed;
  for (const auto& [pos, text] : values) {
    if (pos >= s.fields.size())
      throw StoreError(StoreFault::UnknownField,
                       "layer " + std::to_string(layerId) + " has no field " + std::to_string(pos));
    auto v = ParseFieldValue(s.fields[pos].type, text);
    if (!v)
      throw StoreError(StoreFault::BadValue,
                       "value '" + text + "' does not fit field '" + s.fields[pos].name + "'");
    typed.emplace_back(pos, std::move(*v));
  }
  std::vector<std::int32_t> changed;
  if (typed.empty()) return changed;
  InSavepoint([&] {
    std::unordered_set<std::int32_t> seen;
    for (std::int32_t id : elementIds) {
      if (!seen.insert(id).second || !ElementExtent(layerId, id)) continue;
      for (const auto& [pos, v] : typed) WriteValue(layerId, id, pos, v);
      changed.push_back(id);
    }
  });
  return changed;
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
