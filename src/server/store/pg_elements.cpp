// PgStore: elements, their cells and attribute values, and the queries over them
// (requests 13, 14, 221, 230), by the same rules as the SQLite backend.
#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "store/address_search.h"
#include "store/condition.h"
#include "store/field_types.h"
#include "store/grid.h"
#include "store/pg_store.h"
#include "store/vertices.h"
#include "store/write_rules.h"

namespace orvenda::server {
namespace {

std::int64_t I(std::int32_t v) { return v; }

// An attribute value from its three columns, the first of them at `first`.
Value AttributeAt(const PgResult& r, int row, int first) {
  if (!r.IsNull(row, first)) return r.Integer(row, first);
  if (!r.IsNull(row, first + 1)) return r.Real(row, first + 1);
  if (!r.IsNull(row, first + 2)) return r.Text(row, first + 2);
  return std::monostate{};
}

// The three columns of a value: the one of its kind holds it, the others are NULL.
void AddAttribute(PgParams& p, const Value& v) {
  const auto* i = std::get_if<std::int64_t>(&v);
  const auto* d = std::get_if<double>(&v);
  const auto* s = std::get_if<std::string>(&v);
  i ? p.Add(*i) : p.AddNull();
  d ? p.Add(*d) : p.AddNull();
  s ? p.Add(std::string_view(*s)) : p.AddNull();
}

constexpr const char* kUpsertAttribute =
    "INSERT INTO attributes (layer_id, element_id, position, int_value, real_value, text_value) "
    "VALUES ($1, $2, $3, $4, $5, $6) ON CONFLICT (layer_id, element_id, position) DO UPDATE "
    "SET int_value = excluded.int_value, real_value = excluded.real_value, "
    "text_value = excluded.text_value";

// An integer[] literal.
std::string IntArray(const std::vector<std::int32_t>& v) {
  std::string out = "{";
  for (std::size_t i = 0; i < v.size(); ++i) out += (i ? "," : "") + std::to_string(v[i]);
  return out + "}";
}

}  // namespace

std::optional<LayerGrid> PgStore::WidenGrid(std::int32_t layerId,
                                            const std::vector<CellKey>& cells) {
  if (cells.empty()) return std::nullopt;
  const auto [lo, hi] = CellBounds(cells);
  // An empty layer has lastRow < firstRow; its first element sets the limits.
  LayerCounters& c = Counters(layerId);
  LayerGrid& g = c.grid;
  if (g.lastRow >= g.firstRow && g.firstRow <= lo.row && g.firstColumn <= lo.column &&
      g.lastRow >= hi.row && g.lastColumn >= hi.column)
    return std::nullopt;
  if (g.lastRow < g.firstRow) {
    g.firstRow = lo.row;
    g.firstColumn = lo.column;
    g.lastRow = hi.row;
    g.lastColumn = hi.column;
  } else {
    g.firstRow = std::min(g.firstRow, lo.row);
    g.firstColumn = std::min(g.firstColumn, lo.column);
    g.lastRow = std::max(g.lastRow, hi.row);
    g.lastColumn = std::max(g.lastColumn, hi.column);
  }
  c.dirty = true;
  return g;
}

std::vector<CellKey> PgStore::StoreGeometry(std::int32_t layerId, std::int32_t elementId,
                                            const std::vector<Point>& points, bool isNew) {
  const LayerShape& s = Shape(layerId);
  const Box box = BoxOf(points);
  std::vector<CellKey> cells = CellsOfElementBox(layerId, box);
  db_.Run(
      "INSERT INTO elements (layer_id, id, min_x, min_y, max_x, max_y, points, geom) "
      "VALUES ($1, $2, $3, $4, $5, $6, $7, $8::geometry) ON CONFLICT (layer_id, id) DO UPDATE "
      "SET min_x = excluded.min_x, min_y = excluded.min_y, max_x = excluded.max_x, "
      "max_y = excluded.max_y, points = excluded.points, geom = excluded.geom",
      PgParams()
          .Add(I(layerId))
          .Add(I(elementId))
          .Add(box.minX)
          .Add(box.minY)
          .Add(box.maxX)
          .Add(box.maxY)
          .AddBytes(PackPoints(points))
          .Add(GeometryHex(s.kind, points)));
  if (!isNew)
    db_.Run("DELETE FROM element_cells WHERE layer_id = $1 AND element_id = $2",
            PgParams().Add(I(layerId)).Add(I(elementId)));
  std::vector<std::int32_t> rows, columns;
  for (const CellKey& c : cells) {
    rows.push_back(c.row);
    columns.push_back(c.column);
  }
  db_.Run(
      "INSERT INTO element_cells (layer_id, cell_row, cell_col, element_id) "
      "SELECT $1, r, c, $4 FROM unnest($2::integer[], $3::integer[]) AS t(r, c)",
      PgParams().Add(I(layerId)).Add(IntArray(rows)).Add(IntArray(columns)).Add(I(elementId)));
  return cells;
}

void PgStore::WriteValue(std::int32_t layerId, std::int32_t elementId, std::size_t position,
                         const Value& v) {
  PgParams p;
  p.Add(I(layerId)).Add(I(elementId)).Add(static_cast<std::int64_t>(position));
  AddAttribute(p, v);
  db_.Run(kUpsertAttribute, p);
}

ElementWrite PgStore::AddElementTyped(std::int32_t layerId, const std::vector<Point>& points,
                                      const std::vector<Value>& values) {
  CheckPoints(points);
  ElementWrite w;
  InSavepoint([&] {
    LayerCounters& c = Counters(layerId);
    if (c.lastId >= 0x7FFFFFFF)
      throw StoreError(StoreFault::StorageFailure, "layer is out of element identifiers");
    w.id = static_cast<std::int32_t>(++c.lastId);
    c.dirty = true;
    WriteValues(layerId, w.id, values);
    w.cells = StoreGeometry(layerId, w.id, points, true);
    NoteGrid(w, WidenGrid(layerId, w.cells));
  });
  return w;
}

std::vector<CellKey> PgStore::CellsOfElement(std::int32_t layerId, std::int32_t elementId) {
  PgResult r = db_.Run(
      "SELECT cell_row, cell_col FROM element_cells WHERE layer_id = $1 AND element_id = $2 "
      "ORDER BY cell_row, cell_col",
      PgParams().Add(I(layerId)).Add(I(elementId)));
  std::vector<CellKey> cells;
  for (int i = 0; i < r.Rows(); ++i)
    cells.push_back(
        {static_cast<std::int32_t>(r.Integer(i, 0)), static_cast<std::int32_t>(r.Integer(i, 1))});
  return cells;
}

std::optional<std::vector<CellKey>> PgStore::RemoveElement(std::int32_t layerId,
                                                           std::int32_t elementId) {
  if (!ElementExtent(layerId, elementId)) return std::nullopt;
  std::vector<CellKey> cells = CellsOfElement(layerId, elementId);
  InSavepoint([&] {
    for (const char* sql : {"DELETE FROM elements WHERE layer_id = $1 AND id = $2",
                            "DELETE FROM element_cells WHERE layer_id = $1 AND element_id = $2",
                            "DELETE FROM attributes WHERE layer_id = $1 AND element_id = $2"})
      db_.Run(sql, PgParams().Add(I(layerId)).Add(I(elementId)));
  });
  return cells;
}

std::vector<CellElement> PgStore::CellElements(std::int32_t layerId, CellKey cell,
                                               const ElementIds& leaveOut) {
  PgResult r = db_.Run(
      "SELECT e.id, e.points FROM element_cells c "
      "JOIN elements e ON e.layer_id = c.layer_id AND e.id = c.element_id "
      "WHERE c.layer_id = $1 AND c.cell_row = $2 AND c.cell_col = $3 "
      "AND NOT $4::jsonb @> to_jsonb(e.id) ORDER BY e.id",
      PgParams().Add(I(layerId)).Add(I(cell.row)).Add(I(cell.column)).Add(JsonIdList(leaveOut)));
  std::vector<CellElement> out;
  for (int i = 0; i < r.Rows(); ++i)
    out.push_back({static_cast<std::int32_t>(r.Integer(i, 0)), UnpackPoints(r.Bytes(i, 1))});
  return out;
}

std::optional<CellFieldValues> PgStore::FindCellFieldValues(std::int32_t layerId, CellKey cell,
                                                            const std::string& field) {
  if (!HasLayer(layerId)) return std::nullopt;
  const auto pos = FieldPosition(Shape(layerId), field);
  if (!pos) return std::nullopt;
  PgResult r = db_.Run(
      "SELECT c.element_id, a.int_value, a.real_value, a.text_value FROM element_cells c "
      "LEFT JOIN attributes a ON a.layer_id = c.layer_id AND a.element_id = c.element_id "
      "AND a.position = $1 WHERE c.layer_id = $2 AND c.cell_row = $3 AND c.cell_col = $4 "
      "ORDER BY c.element_id",
      PgParams()
          .Add(static_cast<std::int64_t>(*pos))
          .Add(I(layerId))
          .Add(I(cell.row))
          .Add(I(cell.column)));
  CellFieldValues out;
  std::unordered_map<std::string, std::int32_t> positions;
  for (int i = 0; i < r.Rows(); ++i) {
    std::string text = ValueText(AttributeAt(r, i, 1));
    auto [it, added] = positions.emplace(text, static_cast<std::int32_t>(out.values.size() + 1));
    if (added) out.values.push_back(std::move(text));
    out.refs.push_back({static_cast<std::int32_t>(r.Integer(i, 0)), it->second});
  }
  return out;
}

std::optional<std::vector<AttributeValue>> PgStore::ElementAttributes(std::int32_t layerId,
                                                                      std::int32_t elementId) {
  if (!ElementExtent(layerId, elementId)) return std::nullopt;
  const LayerShape& s = Shape(layerId);
  std::vector<AttributeValue> out(s.fields.size());
  for (std::size_t i = 0; i < s.fields.size(); ++i) out[i].type = s.fields[i].type;
  PgResult r = db_.Run(
      "SELECT position, int_value, real_value, text_value FROM attributes "
      "WHERE layer_id = $1 AND element_id = $2",
      PgParams().Add(I(layerId)).Add(I(elementId)));
  for (int i = 0; i < r.Rows(); ++i) {
    const auto p = static_cast<std::size_t>(r.Integer(i, 0));
    if (p < out.size()) out[p].value = AttributeAt(r, i, 1);
  }
  return out;
}

std::optional<Box> PgStore::ElementExtent(std::int32_t layerId, std::int32_t elementId) {
  PgResult r =
      db_.Run("SELECT min_x, min_y, max_x, max_y FROM elements WHERE layer_id = $1 AND id = $2",
              PgParams().Add(I(layerId)).Add(I(elementId)));
  if (r.Rows() == 0) return std::nullopt;
  return Box{r.Real(0, 0), r.Real(0, 1), r.Real(0, 2), r.Real(0, 3)};
}

// Numbers sort before texts and texts by their bytes, as SQLite orders the values of
// a column; NULLs are left out.
std::optional<std::vector<std::string>> PgStore::DistinctValues(std::int32_t layerId,
                                                                const std::string& field,
                                                                std::size_t limit) {
  if (!HasLayer(layerId)) return std::nullopt;
  const auto pos = FieldPosition(Shape(layerId), field);
  if (!pos) return std::nullopt;
  PgResult r = db_.Run(
      "SELECT int_value, real_value, text_value FROM (SELECT DISTINCT int_value, real_value, "
      "text_value FROM attributes WHERE layer_id = $1 AND position = $2 AND "
      "num_nonnulls(int_value, real_value, text_value) > 0) v "
      "ORDER BY text_value IS NOT NULL, coalesce(int_value::float8, real_value), int_value, "
      "text_value COLLATE \"C\" LIMIT $3",
      PgParams()
          .Add(I(layerId))
          .Add(static_cast<std::int64_t>(*pos))
          .Add(static_cast<std::int64_t>(std::min<std::size_t>(limit, 1u << 30))));
  std::vector<std::string> out;
  for (int i = 0; i < r.Rows(); ++i) out.push_back(ValueText(AttributeAt(r, i, 0)));
  return out;
}

std::optional<ValueRange> PgStore::FindValueRange(std::int32_t layerId, const std::string& field) {
  if (!HasLayer(layerId)) return std::nullopt;
  const auto pos = FieldPosition(Shape(layerId), field);
  if (!pos) return std::nullopt;
  PgResult r = db_.Run(
      "SELECT min(int_value), max(int_value), min(real_value), max(real_value), "
      "min(text_value COLLATE \"C\"), max(text_value COLLATE \"C\") "
      "FROM attributes WHERE layer_id = $1 AND position = $2",
      PgParams().Add(I(layerId)).Add(static_cast<std::int64_t>(*pos)));
  // As SQLite's min and max over one column: numbers below texts.
  std::optional<Value> lowest, highest;
  auto number = [&](int column) -> std::optional<Value> {
    if (r.IsNull(0, column)) return std::nullopt;
    return column < 2 ? Value{r.Integer(0, column)} : Value{r.Real(0, column)};
  };
  auto asDouble = [](const Value& v) {
    if (const auto* i = std::get_if<std::int64_t>(&v)) return static_cast<double>(*i);
    return std::get<double>(v);
  };
  for (auto [lo, hi] : {std::pair{0, 1}, std::pair{2, 3}}) {
    if (auto v = number(lo); v && (!lowest || asDouble(*v) < asDouble(*lowest))) lowest = v;
    if (auto v = number(hi); v && (!highest || asDouble(*v) > asDouble(*highest))) highest = v;
  }
  if (!r.IsNull(0, 4)) {
    if (!lowest) lowest = Value{r.Text(0, 4)};
    highest = Value{r.Text(0, 5)};
  }
  if (!lowest) return std::nullopt;
  return ValueRange{ValueText(*lowest), ValueText(*highest)};
}

std::optional<std::vector<FoundElement>> PgStore::FindElements(std::int32_t layerId,
                                                               const Condition& c,
                                                               std::size_t limit) {
  if (!HasLayer(layerId)) return std::nullopt;
  const LayerShape& s = Shape(layerId);
  const auto pos = FieldPosition(s, c.field);
  if (!pos) return std::nullopt;
  const ConditionTest test(c, s.fields[*pos].type);
  // Elements without a stored value count as NULL: take them from the elements table.
  PgResult r = db_.Run(
      "SELECT e.id, a.int_value, a.real_value, a.text_value FROM elements e "
      "LEFT JOIN attributes a ON a.layer_id = e.layer_id AND a.element_id = e.id "
      "AND a.position = $1 WHERE e.layer_id = $2 ORDER BY e.id",
      PgParams().Add(static_cast<std::int64_t>(*pos)).Add(I(layerId)));
  std::vector<FoundElement> out;
  for (int i = 0; i < r.Rows() && out.size() < limit; ++i) {
    Value v = AttributeAt(r, i, 1);
    if (test(v)) out.push_back({static_cast<std::int32_t>(r.Integer(i, 0)), std::move(v)});
  }
  return out;
}

void PgStore::LayerValueRows(
    std::int32_t layerId,
    const std::function<bool(std::int32_t, std::optional<std::int64_t>, Value)>& row) {
  // The whole layer in one pass over its values, element by element.
  PgResult r = db_.Run(
      "SELECT e.id, a.position, a.int_value, a.real_value, a.text_value FROM elements e "
      "LEFT JOIN attributes a ON a.layer_id = e.layer_id AND a.element_id = e.id "
      "WHERE e.layer_id = $1 ORDER BY e.id, a.position",
      PgParams().Add(I(layerId)));
  for (int i = 0; i < r.Rows(); ++i) {
    std::optional<std::int64_t> position;
    if (!r.IsNull(i, 1)) position = r.Integer(i, 1);
    if (!row(static_cast<std::int32_t>(r.Integer(i, 0)), position, AttributeAt(r, i, 2))) break;
  }
}

// Addresses: the rules are AddressSearch's (address_search.cpp).
std::vector<AddressCandidate> PgStore::FindAddress(std::int32_t layerId, const std::string& street,
                                                   std::int64_t number, std::size_t limit) {
  if (!HasLayer(layerId)) return {};
  const LayerShape& s = Shape(layerId);
  const auto first = FieldPosition(s, "NUMINI"), second = FieldPosition(s, "NUMFIN");
  const auto name = StreetNameField(s.fields);
  AddressSearch search(street, number);
  if (!first || !second || !name || search.Hopeless()) return {};
  PgResult r = db_.Run(
      "SELECT e.id, n.int_value, n.real_value, n.text_value, f.int_value, f.real_value, "
      "f.text_value, l.int_value, l.real_value, l.text_value, e.min_x, e.min_y, e.max_x, e.max_y "
      "FROM elements e JOIN attributes n ON n.layer_id = e.layer_id AND n.element_id = e.id "
      "AND n.position = $2 "
      "LEFT JOIN attributes f ON f.layer_id = e.layer_id AND f.element_id = e.id "
      "AND f.position = $3 "
      "LEFT JOIN attributes l ON l.layer_id = e.layer_id AND l.element_id = e.id "
      "AND l.position = $4 WHERE e.layer_id = $1 ORDER BY e.id",
      PgParams()
          .Add(I(layerId))
          .Add(static_cast<std::int64_t>(*name))
          .Add(static_cast<std::int64_t>(*first))
          .Add(static_cast<std::int64_t>(*second)));
  for (int i = 0; i < r.Rows(); ++i)
    search.Offer(static_cast<std::int32_t>(r.Integer(i, 0)), AttributeAt(r, i, 1),
                 AttributeAt(r, i, 4), AttributeAt(r, i, 7),
                 {r.Real(i, 10), r.Real(i, 11), r.Real(i, 12), r.Real(i, 13)});
  return search.Candidates(limit, [&](std::int32_t id) {
    PgResult g = db_.Run("SELECT points FROM elements WHERE layer_id = $1 AND id = $2",
                         PgParams().Add(I(layerId)).Add(I(id)));
    return g.Rows() ? UnpackPoints(g.Bytes(0, 0)) : std::vector<Point>{};
  });
}

}  // namespace orvenda::server
