// SqliteStore: maps, layer setups and layers.

#include "store/field_types.h"
#include "store/row_readers.h"
#include "store/sqlite_store.h"
#include "store/write_rules.h"

namespace orvenda::server {
namespace {

void BindStyle(SqliteStatement& st, int first, const DrawingStyle& s) {
  st.Bind(first, std::int64_t{s.lineColor}).Bind(first + 1, std::int64_t{s.lineStyle});
  st.Bind(first + 2, std::int64_t{s.lineWidth}).Bind(first + 3, std::int64_t{s.fillColor});
  st.Bind(first + 4, std::int64_t{s.fillStyle});
}

}  // namespace

std::vector<ThemeClass> SqliteStore::ThemesOf(std::int32_t mapCode, std::int32_t layerId) {
  auto& st = Cached(
      "SELECT lower, upper, line_color, line_style, line_width, fill_color, fill_style "
      "FROM themes WHERE map_code = ? AND layer_id = ? ORDER BY position");
  st.Bind(1, std::int64_t{mapCode}).Bind(2, std::int64_t{layerId});
  std::vector<ThemeClass> out;
  while (st.Step()) out.push_back(ReadTheme(st));
  st.Reset();
  return out;
}

std::optional<MapDefinition> SqliteStore::FindMapDefinition(std::int32_t mapCode) {
  auto m = db_.Prepare(
      "SELECT name, min_x, min_y, max_x, max_y, background, projection FROM maps "
      "WHERE code = ?");
  m.Bind(1, std::int64_t{mapCode});
  if (!m.Step()) return std::nullopt;
  MapDefinition def;
  def.code = mapCode;
  def.name = m.Text(0);
  def.extents = {m.Real(1), m.Real(2), m.Real(3), m.Real(4)};
  def.backgroundColor = static_cast<std::int32_t>(m.Integer(5));
  def.projection = static_cast<std::int16_t>(m.Integer(6));
  auto l = db_.Prepare(std::string("SELECT ") + kLayerHeadColumns + ", " + kSetupColumns +
                       " FROM map_layers ml JOIN layers l ON l.id = ml.layer_id "
                       "WHERE ml.map_code = ? ORDER BY ml.draw_order");
  l.Bind(1, std::int64_t{mapCode});
  while (l.Step()) {
    LayerRecord r;
    ReadLayerHead(l, r);
    ReadSetup(l, 9, r);
    def.layers.push_back(std::move(r));
  }
  for (LayerRecord& r : def.layers) {
    r.fields = Shape(r.id).fields;
    r.themes = ThemesOf(mapCode, r.id);
  }
  return def;
}

std::vector<MapSummary> SqliteStore::ListMaps() {
  auto st = db_.Prepare("SELECT code, name FROM maps ORDER BY code");
  std::vector<MapSummary> out;
  while (st.Step()) out.push_back({static_cast<std::int32_t>(st.Integer(0)), st.Text(1)});
  return out;
}

void SqliteStore::CreateMap(const MapDefinition& map) {
  if (map.name.empty()) throw StoreError(StoreFault::BadValue, "a map name cannot be empty");
  auto check = db_.Prepare("SELECT 1 FROM maps WHERE code = ?");
  check.Bind(1, std::int64_t{map.code});
  if (check.Step())
    throw StoreError(StoreFault::BadValue, "map " + std::to_string(map.code) + " already exists");
  auto st = db_.Prepare(
      "INSERT INTO maps (code, name, min_x, min_y, max_x, max_y, background, projection) "
      "VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
  st.Bind(1, std::int64_t{map.code}).Bind(2, std::string_view(map.name));
  st.Bind(3, map.extents.minX).Bind(4, map.extents.minY);
  st.Bind(5, map.extents.maxX).Bind(6, map.extents.maxY);
  st.Bind(7, std::int64_t{map.backgroundColor}).Bind(8, std::int64_t{map.projection}).Run();
}

void SqliteStore::WriteSetup(std::int32_t mapCode, const LayerRecord& given, std::int64_t order) {
  const LayerShape& sh = Shape(given.id);
  // The fields keep the layer's own spelling, whatever case a client sent them in.
  LayerRecord s = given;
  for (std::string* f : {&s.labelField, &s.thematicField}) {
    if (f->empty()) continue;
    const auto position = FieldPosition(sh, *f);
    if (!position)
      throw StoreError(StoreFault::UnknownField,
                       "layer " + std::to_string(s.id) + " has no field '" + *f + "'");
    *f = sh.fields[*position].name;
  }
  auto st = db_.Prepare(std::string("INSERT OR REPLACE INTO map_layers (map_code, layer_id, "
                                    "draw_order, ") +
                        kSetupColumns +
                        ") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
  st.Bind(1, std::int64_t{mapCode}).Bind(2, std::int64_t{s.id}).Bind(3, order);
  st.Bind(4, std::int64_t{s.userVisibility}).Bind(5, double{s.zoomMin});
  st.Bind(6, double{s.zoomMax});
  BindStyle(st, 7, s.style);
  st.Bind(12, std::string_view(s.labelField)).Bind(13, double{s.labelZoomMin});
  st.Bind(14, double{s.labelZoomMax}).Bind(15, std::int64_t{s.userLabelVisibility});
  st.Bind(16, std::int64_t{s.labelBold ? 1 : 0}).Bind(17, std::int64_t{s.labelColor});
  st.Bind(18, std::string_view(s.thematicField)).Bind(19, std::int64_t{s.thematicType});
  st.Run();
  auto del = db_.Prepare("DELETE FROM themes WHERE map_code = ? AND layer_id = ?");
  del.Bind(1, std::int64_t{mapCode}).Bind(2, std::int64_t{s.id}).Run();
  auto th = db_.Prepare(
      "INSERT INTO themes (map_code, layer_id, position, lower, upper, line_color, "
      "line_style, line_width, fill_color, fill_style) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
  for (std::size_t i = 0; i < s.themes.size(); ++i) {
    th.Bind(1, std::int64_t{mapCode}).Bind(2, std::int64_t{s.id});
    th.Bind(3, static_cast<std::int64_t>(i + 1));
    th.Bind(4, std::string_view(s.themes[i].lower)).Bind(5, std::string_view(s.themes[i].upper));
    BindStyle(th, 6, s.themes[i].style);
    th.Run();
  }
}

void SqliteStore::AddLayerToMap(std::int32_t mapCode, const LayerRecord& setup) {
  InSavepoint([&] {
    auto order = db_.Prepare(
        "SELECT (SELECT count(*) FROM maps WHERE code = ?1), "
        "(SELECT count(*) FROM map_layers WHERE map_code = ?1 AND layer_id = ?2), "
        "(SELECT coalesce(max(draw_order), 0) + 1 FROM map_layers WHERE map_code = ?1)");
    order.Bind(1, std::int64_t{mapCode}).Bind(2, std::int64_t{setup.id});
    order.Step();
    if (order.Integer(0) == 0)
      throw StoreError(StoreFault::UnknownRecord, "unknown map " + std::to_string(mapCode));
    if (order.Integer(1) != 0)
      throw StoreError(StoreFault::BadValue, "layer " + std::to_string(setup.id) +
                                                 " is already in map " + std::to_string(mapCode));
    WriteSetup(mapCode, setup, order.Integer(2));
  });
}

void SqliteStore::UpdateLayerSetup(std::int32_t mapCode, const LayerRecord& setup) {
  InSavepoint([&] {
    auto order =
        db_.Prepare("SELECT draw_order FROM map_layers WHERE map_code = ? AND layer_id = ?");
    order.Bind(1, std::int64_t{mapCode}).Bind(2, std::int64_t{setup.id});
    if (!order.Step())
      throw StoreError(StoreFault::UnknownLayer, "layer " + std::to_string(setup.id) +
                                                     " is not in map " + std::to_string(mapCode));
    WriteSetup(mapCode, setup, order.Integer(0));
  });
}

std::int32_t SqliteStore::CreateLayer(const NewLayer& layer) {
  CheckNewLayer(layer);
  const auto kind = static_cast<int>(layer.kind);
  std::int32_t id = 0;
  InSavepoint([&] {
    if (FindLayer(layer.name))
      throw StoreError(StoreFault::BadValue, "layer '" + layer.name + "' already exists");
    auto st =
        db_.Prepare("INSERT INTO layers (name, kind, cell_width, cell_height) VALUES (?, ?, ?, ?)");
    st.Bind(1, std::string_view(layer.name)).Bind(2, std::int64_t{kind});
    st.Bind(3, double{layer.cellWidth}).Bind(4, double{layer.cellHeight}).Run();
    id = static_cast<std::int32_t>(db_.LastInsertId());
    auto f = db_.Prepare("INSERT INTO fields (layer_id, position, name, type) VALUES (?, ?, ?, ?)");
    for (std::size_t i = 0; i < layer.fields.size(); ++i) {
      f.Bind(1, std::int64_t{id}).Bind(2, static_cast<std::int64_t>(i));
      f.Bind(3, std::string_view(layer.fields[i].name));
      f.Bind(4, std::int64_t{layer.fields[i].type}).Run();
    }
  });
  return id;
}

std::vector<LayerInfo> SqliteStore::QueryLayers(const char* where, const std::string* name,
                                                std::int64_t id) {
  auto st = db_.Prepare(std::string("SELECT ") + kLayerHeadColumns + ", " + kElementCountColumn +
                        " FROM layers " + where + " ORDER BY id");
  if (name)
    st.Bind(1, std::string_view(*name));
  else if (id)
    st.Bind(1, id);
  std::vector<LayerInfo> out;
  while (st.Step()) {
    LayerInfo info;
    ReadLayerHead(st, info);
    info.elementCount = st.Integer(9);
    out.push_back(std::move(info));
  }
  for (LayerInfo& info : out) info.fields = Shape(info.id).fields;
  return out;
}

}  // namespace orvenda::server
