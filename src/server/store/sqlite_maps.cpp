// SqliteStore: maps, layer setups and layers.
#include <set>

#include "model/gridrule.h"
#include "store/field_types.h"
#include "store/sqlite_store.h"

namespace orvenda::server {
namespace {

constexpr const char* kSetupColumns =
    "user_visibility, zoom_min, zoom_max, line_color, line_style, line_width, fill_color, "
    "fill_style, label_field, label_zoom_min, label_zoom_max, user_label_visibility, "
    "label_bold, label_color, thematic_field, thematic_type";

DrawingStyle readStyle(SqliteStatement& st, int first) {
  return {static_cast<std::int32_t>(st.integer(first)),
          static_cast<std::int16_t>(st.integer(first + 1)),
          static_cast<std::int16_t>(st.integer(first + 2)),
          static_cast<std::int32_t>(st.integer(first + 3)),
          static_cast<std::int16_t>(st.integer(first + 4))};
}

void bindStyle(SqliteStatement& st, int first, const DrawingStyle& s) {
  st.bind(first, std::int64_t{s.lineColor}).bind(first + 1, std::int64_t{s.lineStyle});
  st.bind(first + 2, std::int64_t{s.lineWidth}).bind(first + 3, std::int64_t{s.fillColor});
  st.bind(first + 4, std::int64_t{s.fillStyle});
}

// Reads the setup columns (kSetupColumns order) starting at `first`.
void readSetup(SqliteStatement& st, int first, LayerRecord& r) {
  r.userVisibility = static_cast<std::int16_t>(st.integer(first));
  r.zoomMin = static_cast<float>(st.real(first + 1));
  r.zoomMax = static_cast<float>(st.real(first + 2));
  r.style = readStyle(st, first + 3);
  r.labelField = st.text(first + 8);
  r.labelZoomMin = static_cast<float>(st.real(first + 9));
  r.labelZoomMax = static_cast<float>(st.real(first + 10));
  r.userLabelVisibility = static_cast<std::int16_t>(st.integer(first + 11));
  r.labelBold = st.integer(first + 12) != 0;
  r.labelColor = static_cast<std::int32_t>(st.integer(first + 13));
  r.thematicField = st.text(first + 14);
  r.thematicType = static_cast<std::int16_t>(st.integer(first + 15));
}

LayerGrid readGrid(SqliteStatement& st, int first) {
  LayerGrid g;
  g.cellWidth = static_cast<float>(st.real(first));
  g.cellHeight = static_cast<float>(st.real(first + 1));
  g.firstRow = static_cast<std::int32_t>(st.integer(first + 2));
  g.firstColumn = static_cast<std::int32_t>(st.integer(first + 3));
  g.lastRow = static_cast<std::int32_t>(st.integer(first + 4));
  g.lastColumn = static_cast<std::int32_t>(st.integer(first + 5));
  return g;
}

}  // namespace

std::vector<ThemeClass> SqliteStore::themesOf(std::int32_t mapCode, std::int32_t layerId) {
  auto& st = cached(
      "SELECT lower, upper, line_color, line_style, line_width, fill_color, fill_style "
      "FROM themes WHERE map_code = ? AND layer_id = ? ORDER BY position");
  st.bind(1, std::int64_t{mapCode}).bind(2, std::int64_t{layerId});
  std::vector<ThemeClass> out;
  while (st.step()) out.push_back({st.text(0), st.text(1), readStyle(st, 2)});
  st.reset();
  return out;
}

std::optional<MapDefinition> SqliteStore::mapDefinition(std::int32_t mapCode) {
  auto m = db_.prepare(
      "SELECT name, min_x, min_y, max_x, max_y, background, projection FROM maps "
      "WHERE code = ?");
  m.bind(1, std::int64_t{mapCode});
  if (!m.step()) return std::nullopt;
  MapDefinition def;
  def.code = mapCode;
  def.name = m.text(0);
  def.extents = {m.real(1), m.real(2), m.real(3), m.real(4)};
  def.backgroundColor = static_cast<std::int32_t>(m.integer(5));
  def.projection = static_cast<std::int16_t>(m.integer(6));
  auto l = db_.prepare(std::string("SELECT l.id, l.name, l.kind, l.cell_width, l.cell_height, "
                                   "l.first_row, l.first_column, l.last_row, l.last_column, ") +
                       kSetupColumns +
                       " FROM map_layers ml JOIN layers l ON l.id = ml.layer_id "
                       "WHERE ml.map_code = ? ORDER BY ml.draw_order");
  l.bind(1, std::int64_t{mapCode});
  while (l.step()) {
    LayerRecord r;
    r.id = static_cast<std::int32_t>(l.integer(0));
    r.name = l.text(1);
    r.kind = static_cast<LayerKind>(l.integer(2));
    r.grid = readGrid(l, 3);
    readSetup(l, 9, r);
    def.layers.push_back(std::move(r));
  }
  for (LayerRecord& r : def.layers) {
    r.fields = shape(r.id).fields;
    r.themes = themesOf(mapCode, r.id);
  }
  return def;
}

std::vector<MapSummary> SqliteStore::listMaps() {
  auto st = db_.prepare("SELECT code, name FROM maps ORDER BY code");
  std::vector<MapSummary> out;
  while (st.step()) out.push_back({static_cast<std::int32_t>(st.integer(0)), st.text(1)});
  return out;
}

void SqliteStore::createMap(const MapDefinition& map) {
  if (map.name.empty()) throw StoreError(StoreFault::BadValue, "a map name cannot be empty");
  auto check = db_.prepare("SELECT 1 FROM maps WHERE code = ?");
  check.bind(1, std::int64_t{map.code});
  if (check.step())
    throw StoreError(StoreFault::BadValue, "map " + std::to_string(map.code) + " already exists");
  auto st = db_.prepare(
      "INSERT INTO maps (code, name, min_x, min_y, max_x, max_y, background, projection) "
      "VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
  st.bind(1, std::int64_t{map.code}).bind(2, std::string_view(map.name));
  st.bind(3, map.extents.minX).bind(4, map.extents.minY);
  st.bind(5, map.extents.maxX).bind(6, map.extents.maxY);
  st.bind(7, std::int64_t{map.backgroundColor}).bind(8, std::int64_t{map.projection}).run();
}

void SqliteStore::writeSetup(std::int32_t mapCode, const LayerRecord& s, std::int64_t order) {
  const LayerShape& sh = shape(s.id);
  for (const std::string* f : {&s.labelField, &s.thematicField})
    if (!f->empty() && !fieldPosition(sh, *f))
      throw StoreError(StoreFault::UnknownField,
                       "layer " + std::to_string(s.id) + " has no field '" + *f + "'");
  auto st = db_.prepare(std::string("INSERT OR REPLACE INTO map_layers (map_code, layer_id, "
                                    "draw_order, ") +
                        kSetupColumns +
                        ") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
  st.bind(1, std::int64_t{mapCode}).bind(2, std::int64_t{s.id}).bind(3, order);
  st.bind(4, std::int64_t{s.userVisibility}).bind(5, double{s.zoomMin});
  st.bind(6, double{s.zoomMax});
  bindStyle(st, 7, s.style);
  st.bind(12, std::string_view(s.labelField)).bind(13, double{s.labelZoomMin});
  st.bind(14, double{s.labelZoomMax}).bind(15, std::int64_t{s.userLabelVisibility});
  st.bind(16, std::int64_t{s.labelBold ? 1 : 0}).bind(17, std::int64_t{s.labelColor});
  st.bind(18, std::string_view(s.thematicField)).bind(19, std::int64_t{s.thematicType});
  st.run();
  auto del = db_.prepare("DELETE FROM themes WHERE map_code = ? AND layer_id = ?");
  del.bind(1, std::int64_t{mapCode}).bind(2, std::int64_t{s.id}).run();
  auto th = db_.prepare(
      "INSERT INTO themes (map_code, layer_id, position, lower, upper, line_color, "
      "line_style, line_width, fill_color, fill_style) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
  for (std::size_t i = 0; i < s.themes.size(); ++i) {
    th.bind(1, std::int64_t{mapCode}).bind(2, std::int64_t{s.id});
    th.bind(3, static_cast<std::int64_t>(i + 1));
    th.bind(4, std::string_view(s.themes[i].lower)).bind(5, std::string_view(s.themes[i].upper));
    bindStyle(th, 6, s.themes[i].style);
    th.run();
  }
}

void SqliteStore::addLayerToMap(std::int32_t mapCode, const LayerRecord& setup) {
  inSavepoint([&] {
    auto order = db_.prepare(
        "SELECT (SELECT count(*) FROM maps WHERE code = ?1), "
        "(SELECT count(*) FROM map_layers WHERE map_code = ?1 AND layer_id = ?2), "
        "(SELECT coalesce(max(draw_order), 0) + 1 FROM map_layers WHERE map_code = ?1)");
    order.bind(1, std::int64_t{mapCode}).bind(2, std::int64_t{setup.id});
    order.step();
    if (order.integer(0) == 0)
      throw StoreError(StoreFault::UnknownRecord, "unknown map " + std::to_string(mapCode));
    if (order.integer(1) != 0)
      throw StoreError(StoreFault::BadValue, "layer " + std::to_string(setup.id) +
                                                 " is already in map " + std::to_string(mapCode));
    writeSetup(mapCode, setup, order.integer(2));
  });
}

void SqliteStore::updateLayerSetup(std::int32_t mapCode, const LayerRecord& setup) {
  inSavepoint([&] {
    auto order =
        db_.prepare("SELECT draw_order FROM map_layers WHERE map_code = ? AND layer_id = ?");
    order.bind(1, std::int64_t{mapCode}).bind(2, std::int64_t{setup.id});
    if (!order.step())
      throw StoreError(StoreFault::UnknownLayer, "layer " + std::to_string(setup.id) +
                                                     " is not in map " + std::to_string(mapCode));
    writeSetup(mapCode, setup, order.integer(0));
  });
}

std::int32_t SqliteStore::createLayer(const NewLayer& layer) {
  if (layer.name.empty()) throw StoreError(StoreFault::BadValue, "a layer name cannot be empty");
  const auto kind = static_cast<int>(layer.kind);
  if (kind != 1 && kind != 2 && kind != 4 && kind != 5)
    throw StoreError(StoreFault::BadValue, "layer kind must be 1, 2, 4 or 5");
  if (!IsValidCellSize(layer.cellWidth) || !IsValidCellSize(layer.cellHeight) ||
      layer.cellWidth > 360 || layer.cellHeight > 180)
    throw StoreError(StoreFault::BadValue,
                     "cell size must be above 0 and at most 360 x 180 degrees");
  std::set<std::string> names;
  for (const FieldDef& f : layer.fields) {
    if (f.name.empty() || !isKnownFieldType(f.type))
      throw StoreError(StoreFault::BadValue,
                       "field '" + f.name + "' has an unknown type " + std::to_string(f.type));
    std::string up = f.name;
    for (char& c : up) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (!names.insert(up).second)
      throw StoreError(StoreFault::BadValue, "field '" + f.name + "' given twice");
  }
  std::int32_t id = 0;
  inSavepoint([&] {
    if (findLayer(layer.name))
      throw StoreError(StoreFault::BadValue, "layer '" + layer.name + "' already exists");
    auto st =
        db_.prepare("INSERT INTO layers (name, kind, cell_width, cell_height) VALUES (?, ?, ?, ?)");
    st.bind(1, std::string_view(layer.name)).bind(2, std::int64_t{kind});
    st.bind(3, double{layer.cellWidth}).bind(4, double{layer.cellHeight}).run();
    id = static_cast<std::int32_t>(db_.lastInsertId());
    auto f = db_.prepare("INSERT INTO fields (layer_id, position, name, type) VALUES (?, ?, ?, ?)");
    for (std::size_t i = 0; i < layer.fields.size(); ++i) {
      f.bind(1, std::int64_t{id}).bind(2, static_cast<std::int64_t>(i));
      f.bind(3, std::string_view(layer.fields[i].name));
      f.bind(4, std::int64_t{layer.fields[i].type}).run();
    }
  });
  return id;
}

std::vector<LayerInfo> SqliteStore::queryLayers(const char* where, const std::string* name,
                                                std::int64_t id) {
  auto st = db_.prepare(
      std::string(
          "SELECT id, name, kind, cell_width, cell_height, first_row, first_column, last_row, "
          "last_column, (SELECT count(*) FROM elements e WHERE e.layer_id = layers.id) "
          "FROM layers ") +
      where + " ORDER BY id");
  if (name)
    st.bind(1, std::string_view(*name));
  else if (id)
    st.bind(1, id);
  std::vector<LayerInfo> out;
  while (st.step()) {
    LayerInfo info;
    info.id = static_cast<std::int32_t>(st.integer(0));
    info.name = st.text(1);
    info.kind = static_cast<LayerKind>(st.integer(2));
    info.grid = readGrid(st, 3);
    info.elementCount = st.integer(9);
    out.push_back(std::move(info));
  }
  for (LayerInfo& info : out) info.fields = shape(info.id).fields;
  return out;
}

std::optional<LayerInfo> SqliteStore::layerInfo(std::int32_t layerId) {
  auto v = queryLayers("WHERE id = ?", nullptr, layerId);
  if (v.empty()) return std::nullopt;
  return v.front();
}

std::optional<LayerInfo> SqliteStore::findLayer(const std::string& name) {
  auto v = queryLayers("WHERE name = ?", &name, 0);
  if (v.empty()) return std::nullopt;
  return v.front();
}

std::vector<LayerInfo> SqliteStore::listLayers() { return queryLayers("", nullptr, 0); }

}  // namespace orvenda::server
