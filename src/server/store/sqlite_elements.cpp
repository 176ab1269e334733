// SqliteStore: elements, their cells and their attribute values.
#include <algorithm>
#include <unordered_map>

#include "store/field_types.h"
#include "store/grid.h"
#include "store/sqlite_store.h"
#include "store/vertices.h"
#include "store/write_rules.h"

namespace orvenda::server {
std::optional<LayerGrid> SqliteStore::WidenGrid(std::int32_t layerId,
                                                const std::vector<CellKey>& cells) {
  if (cells.empty()) return std::nullopt;
  const auto [lo, hi] = CellBounds(cells);
  // An empty layer has last_row < first_row; its first element sets the limits.
  auto& st = Cached(
      "UPDATE layers SET "
      "first_row = CASE WHEN last_row < first_row THEN ?1 ELSE min(first_row, ?1) END, "
      "first_column = CASE WHEN last_row < first_row THEN ?2 ELSE min(first_column, ?2) END, "
      "last_row = CASE WHEN last_row < first_row THEN ?3 ELSE max(last_row, ?3) END, "
      "last_column = CASE WHEN last_row < first_row THEN ?4 ELSE max(last_column, ?4) END "
      "WHERE id = ?5 AND (last_row < first_row OR first_row > ?1 OR first_column > ?2 "
      "OR last_row < ?3 OR last_column < ?4) "
      "RETURNING first_row, first_column, last_row, last_column");
  st.Bind(1, std::int64_t{lo.row}).Bind(2, std::int64_t{lo.column});
  st.Bind(3, std::int64_t{hi.row}).Bind(4, std::int64_t{hi.column});
  st.Bind(5, std::int64_t{layerId});
  std::optional<LayerGrid> grid;
  if (st.Step()) {
    const LayerShape& s = Shape(layerId);
    grid = LayerGrid{static_cast<std::int32_t>(st.Integer(0)),
                     static_cast<std::int32_t>(st.Integer(1)),
                     static_cast<std::int32_t>(st.Integer(2)),
                     static_cast<std::int32_t>(st.Integer(3)),
                     s.cellWidth,
                     s.cellHeight};
  }
  st.Run();  // to its end, or the UPDATE is not finished
  return grid;
}

std::vector<CellKey> SqliteStore::StoreGeometry(std::int32_t layerId, std::int32_t elementId,
                                                const std::vector<Point>& points, bool isNew) {
  const Box box = BoxOf(points);
  std::vector<CellKey> cells = CellsOfElementBox(layerId, box);
  const std::string blob = PackPoints(points);
  auto& el = Cached(
      "INSERT OR REPLACE INTO elements (layer_id, id, min_x, min_y, max_x, max_y, points) "
      "VALUES (?, ?, ?, ?, ?, ?, ?)");
  el.Bind(1, std::int64_t{layerId}).Bind(2, std::int64_t{elementId});
  el.Bind(3, box.minX).Bind(4, box.minY).Bind(5, box.maxX).Bind(6, box.maxY);
  el.BindBlob(7, blob.data(), blob.size()).Run();
  if (!isNew) {
    auto& del = Cached("DELETE FROM element_cells WHERE layer_id = ? AND element_id = ?");
    del.Bind(1, std::int64_t{layerId}).Bind(2, std::int64_t{elementId}).Run();
  }
  auto& ins =
      Cached("INSERT INTO element_cells (layer_id, row, col, element_id) VALUES (?, ?, ?, ?)");
  for (const CellKey& c : cells) {
    ins.Bind(1, std::int64_t{layerId}).Bind(2, std::int64_t{c.row});
    ins.Bind(3, std::int64_t{c.column}).Bind(4, std::int64_t{elementId}).Run();
  }
  return cells;
}

void SqliteStore::WriteValue(std::int32_t layerId, std::int32_t elementId, std::size_t position,
                             const Value& v) {
  auto& st = Cached(
      "INSERT OR REPLACE INTO attributes (layer_id, element_id, position, value) "
      "VALUES (?, ?, ?, ?)");
  st.Bind(1, std::int64_t{layerId}).Bind(2, std::int64_t{elementId});
  st.Bind(3, static_cast<std::int64_t>(position)).BindValue(4, v).Run();
}

ElementWrite SqliteStore::AddElementTyped(std::int32_t layerId, const std::vector<Point>& points,
                                          const std::vector<Value>& values) {
  CheckPoints(points);
  ElementWrite w;
  InSavepoint([&] {
    Shape(layerId);
    auto& next = Cached(
        "UPDATE layers SET last_element_id = last_element_id + 1 WHERE id = ? "
        "RETURNING last_element_id");
    next.Bind(1, std::int64_t{layerId});
    if (!next.Step())
      throw StoreError(StoreFault::UnknownLayer, "unknown layer " + std::to_string(layerId));
    const std::int64_t id = next.Integer(0);
    next.Reset();
    if (id > 0x7FFFFFFF)
      throw StoreError(StoreFault::StorageFailure, "layer is out of element identifiers");
    w.id = static_cast<std::int32_t>(id);
    WriteValues(layerId, w.id, values);
    w.cells = StoreGeometry(layerId, w.id, points, true);
    NoteGrid(w, WidenGrid(layerId, w.cells));
  });
  return w;
}

std::vector<CellKey> SqliteStore::CellsOfElement(std::int32_t layerId, std::int32_t elementId) {
  auto& st = Cached(
      "SELECT row, col FROM element_cells WHERE layer_id = ? AND element_id = ? "
      "ORDER BY row, col");
  st.Bind(1, std::int64_t{layerId}).Bind(2, std::int64_t{elementId});
  std::vector<CellKey> cells;
  while (st.Step())
    cells.push_back(
        {static_cast<std::int32_t>(st.Integer(0)), static_cast<std::int32_t>(st.Integer(1))});
  st.Reset();
  return cells;
}

std::optional<std::vector<CellKey>> SqliteStore::RemoveElement(std::int32_t layerId,
                                                               std::int32_t elementId) {
  if (!ElementExtent(layerId, elementId)) return std::nullopt;
  std::vector<CellKey> cells = CellsOfElement(layerId, elementId);
  InSavepoint([&] {
    for (const char* sql : {"DELETE FROM elements WHERE layer_id = ? AND id = ?",
                            "DELETE FROM element_cells WHERE layer_id = ? AND element_id = ?",
                            "DELETE FROM attributes WHERE layer_id = ? AND element_id = ?"}) {
      auto& st = Cached(sql);
      st.Bind(1, std::int64_t{layerId}).Bind(2, std::int64_t{elementId}).Run();
    }
  });
  return cells;
}

std::vector<CellElement> SqliteStore::CellElements(std::int32_t layerId, CellKey cell,
                                                   const ElementIds& leaveOut) {
  auto& st = Cached(
      "SELECT e.id, e.points FROM element_cells c "
      "JOIN elements e ON e.layer_id = c.layer_id AND e.id = c.element_id "
      "WHERE c.layer_id = ? AND c.row = ? AND c.col = ? "
      "AND c.element_id NOT IN (SELECT value FROM json_each(?))");
  st.Bind(1, std::int64_t{layerId}).Bind(2, std::int64_t{cell.row});
  st.Bind(3, std::int64_t{cell.column}).Bind(4, JsonIdList(leaveOut));
  std::vector<CellElement> out;
  while (st.Step())
    out.push_back({static_cast<std::int32_t>(st.Integer(0)), UnpackPoints(st.Blob(1))});
  st.Reset();
  // Sorted here: an ORDER BY would tempt SQLite to walk the by-element index of the
  // whole layer instead of the cell's own rows.
  std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.id < b.id; });
  return out;
}

std::optional<CellFieldValues> SqliteStore::FindCellFieldValues(std::int32_t layerId, CellKey cell,
                                                                const std::string& field) {
  if (!HasLayer(layerId)) return std::nullopt;
  const auto pos = FieldPosition(Shape(layerId), field);
  if (!pos) return std::nullopt;
  auto& st = Cached(
      "SELECT c.element_id, a.value FROM element_cells c "
      "LEFT JOIN attributes a ON a.layer_id = c.layer_id AND a.element_id = c.element_id "
      "AND a.position = ? WHERE c.layer_id = ? AND c.row = ? AND c.col = ?");
  st.Bind(1, static_cast<std::int64_t>(*pos)).Bind(2, std::int64_t{layerId});
  st.Bind(3, std::int64_t{cell.row}).Bind(4, std::int64_t{cell.column});
  std::vector<std::pair<std::int32_t, Value>> rows;
  while (st.Step()) rows.emplace_back(static_cast<std::int32_t>(st.Integer(0)), st.ColumnValue(1));
  st.Reset();
  std::sort(rows.begin(), rows.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  CellFieldValues out;
  std::unordered_map<std::string, std::int32_t> positions;
  for (auto& [id, value] : rows) {
    std::string text = ValueText(value);
    auto [it, added] = positions.emplace(text, static_cast<std::int32_t>(out.values.size() + 1));
    if (added) out.values.push_back(std::move(text));
    out.refs.push_back({id, it->second});
  }
  return out;
}

std::optional<std::vector<AttributeValue>> SqliteStore::ElementAttributes(std::int32_t layerId,
                                                                          std::int32_t elementId) {
  if (!ElementExtent(layerId, elementId)) return std::nullopt;
  const LayerShape& s = Shape(layerId);
  std::vector<AttributeValue> out(s.fields.size());
  for (std::size_t i = 0; i < s.fields.size(); ++i) out[i].type = s.fields[i].type;
  auto& st = Cached("SELECT position, value FROM attributes WHERE layer_id = ? AND element_id = ?");
  st.Bind(1, std::int64_t{layerId}).Bind(2, std::int64_t{elementId});
  while (st.Step()) {
    const auto p = static_cast<std::size_t>(st.Integer(0));
    if (p < out.size()) out[p].value = st.ColumnValue(1);
  }
  st.Reset();
  return out;
}

std::optional<Box> SqliteStore::ElementExtent(std::int32_t layerId, std::int32_t elementId) {
  auto& st =
      Cached("SELECT min_x, min_y, max_x, max_y FROM elements WHERE layer_id = ? AND id = ?");
  st.Bind(1, std::int64_t{layerId}).Bind(2, std::int64_t{elementId});
  std::optional<Box> box;
  if (st.Step()) box = Box{st.Real(0), st.Real(1), st.Real(2), st.Real(3)};
  st.Reset();
  return box;
}

}  // namespace orvenda::server
