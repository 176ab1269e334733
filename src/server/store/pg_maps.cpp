// PgStore: maps, layer setups, layers, and saving a whole map setup.

#include "store/field_types.h"
#include "store/pg_store.h"
#include "store/row_readers.h"
#include "store/write_rules.h"

namespace orvenda::server {
namespace {

std::int64_t I(std::int32_t v) { return v; }

void AddStyle(PgParams& p, const DrawingStyle& s) {
  p.Add(std::int64_t{s.lineColor}).Add(std::int64_t{s.lineStyle}).Add(std::int64_t{s.lineWidth});
  p.Add(std::int64_t{s.fillColor}).Add(std::int64_t{s.fillStyle});
}

}  // namespace

std::vector<ThemeClass> PgStore::ThemesOf(std::int32_t mapCode, std::int32_t layerId) {
  PgResult r = db_.Run(
      "SELECT lower, upper, line_color, line_style, line_width, fill_color, fill_style "
      "FROM themes WHERE map_code = $1 AND layer_id = $2 ORDER BY position",
      PgParams().Add(I(mapCode)).Add(I(layerId)));
  std::vector<ThemeClass> out;
  for (int i = 0; i < r.Rows(); ++i) out.push_back(ReadTheme(PgRow(r, i)));
  return out;
}

std::optional<MapDefinition> PgStore::FindMapDefinition(std::int32_t mapCode) {
  FlushCounters();
  PgResult m = db_.Run(
      "SELECT name, min_x, min_y, max_x, max_y, background, projection FROM maps "
      "WHERE code = $1",
      PgParams().Add(I(mapCode)));
  if (m.Rows() == 0) return std::nullopt;
  MapDefinition def;
  def.code = mapCode;
  def.name = m.Text(0, 0);
  def.extents = {m.Real(0, 1), m.Real(0, 2), m.Real(0, 3), m.Real(0, 4)};
  def.backgroundColor = static_cast<std::int32_t>(m.Integer(0, 5));
  def.projection = static_cast<std::int16_t>(m.Integer(0, 6));
  PgResult l = db_.Run(std::string("SELECT ") + kLayerHeadColumns + ", " + kSetupColumns +
                           " FROM map_layers ml JOIN layers l ON l.id = ml.layer_id "
                           "WHERE ml.map_code = $1 ORDER BY ml.draw_order",
                       PgParams().Add(I(mapCode)));
  for (int i = 0; i < l.Rows(); ++i) {
    LayerRecord r;
    ReadLayerHead(PgRow(l, i), r);
    ReadSetup(PgRow(l, i), 9, r);
    def.layers.push_back(std::move(r));
  }
  for (LayerRecord& r : def.layers) {
    r.fields = Shape(r.id).fields;
    r.themes = ThemesOf(mapCode, r.id);
  }
  return def;
}

std::vector<MapSummary> PgStore::ListMaps() {
  PgResult r = db_.Run("SELECT code, name FROM maps ORDER BY code");
  std::vector<MapSummary> out;
  for (int i = 0; i < r.Rows(); ++i)
    out.push_back({static_cast<std::int32_t>(r.Integer(i, 0)), r.Text(i, 1)});
  return out;
}

void PgStore::CreateMap(const MapDefinition& map) {
  if (map.name.empty()) throw StoreError(StoreFault::BadValue, "a map name cannot be empty");
  if (db_.Run("SELECT 1 FROM maps WHERE code = $1", PgParams().Add(I(map.code))).Rows())
    throw StoreError(StoreFault::BadValue, "map " + std::to_string(map.code) + " already exists");
  db_.Run(
      "INSERT INTO maps (code, name, min_x, min_y, max_x, max_y, background, projection) "
      "VALUES ($1, $2, $3, $4, $5, $6, $7, $8)",
      PgParams()
          .Add(I(map.code))
          .Add(std::string_view(map.name))
          .Add(map.extents.minX)
          .Add(map.extents.minY)
          .Add(map.extents.maxX)
          .Add(map.extents.maxY)
          .Add(std::int64_t{map.backgroundColor})
          .Add(std::int64_t{map.projection}));
}

void PgStore::WriteSetup(std::int32_t mapCode, const LayerRecord& given, std::int64_t order) {
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
  // The old setup goes with its classes; the new one replaces both.
  db_.Run("DELETE FROM map_layers WHERE map_code = $1 AND layer_id = $2",
          PgParams().Add(I(mapCode)).Add(I(s.id)));
  PgParams p;
  p.Add(I(mapCode)).Add(I(s.id)).Add(order).Add(std::int64_t{s.userVisibility});
  p.Add(double{s.zoomMin}).Add(double{s.zoomMax});
  AddStyle(p, s.style);
  p.Add(std::string_view(s.labelField)).Add(double{s.labelZoomMin}).Add(double{s.labelZoomMax});
  p.Add(std::int64_t{s.userLabelVisibility}).Add(std::int64_t{s.labelBold ? 1 : 0});
  p.Add(std::int64_t{s.labelColor}).Add(std::string_view(s.thematicField));
  p.Add(std::int64_t{s.thematicType});
  db_.Run(std::string("INSERT INTO map_layers (map_code, layer_id, draw_order, ") + kSetupColumns +
              ") VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14, $15, $16, "
              "$17, $18, $19)",
          p);
  for (std::size_t i = 0; i < s.themes.size(); ++i) {
    PgParams t;
    t.Add(I(mapCode)).Add(I(s.id)).Add(static_cast<std::int64_t>(i + 1));
    t.Add(std::string_view(s.themes[i].lower)).Add(std::string_view(s.themes[i].upper));
    AddStyle(t, s.themes[i].style);
    db_.Run(
        "INSERT INTO themes (map_code, layer_id, position, lower, upper, line_color, "
        "line_style, line_width, fill_color, fill_style) "
        "VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10)",
        t);
  }
}

void PgStore::AddLayerToMap(std::int32_t mapCode, const LayerRecord& setup) {
  InSavepoint([&] {
    PgResult order = db_.Run(
        "SELECT (SELECT count(*) FROM maps WHERE code = $1), "
        "(SELECT count(*) FROM map_layers WHERE map_code = $1 AND layer_id = $2), "
        "(SELECT coalesce(max(draw_order), 0) + 1 FROM map_layers WHERE map_code = $1)",
        PgParams().Add(I(mapCode)).Add(I(setup.id)));
    if (order.Integer(0, 0) == 0)
      throw StoreError(StoreFault::UnknownRecord, "unknown map " + std::to_string(mapCode));
    if (order.Integer(0, 1) != 0)
      throw StoreError(StoreFault::BadValue, "layer " + std::to_string(setup.id) +
                                                 " is already in map " + std::to_string(mapCode));
    WriteSetup(mapCode, setup, order.Integer(0, 2));
  });
}

void PgStore::UpdateLayerSetup(std::int32_t mapCode, const LayerRecord& setup) {
  InSavepoint([&] {
    PgResult order =
        db_.Run("SELECT draw_order FROM map_layers WHERE map_code = $1 AND layer_id = $2",
                PgParams().Add(I(mapCode)).Add(I(setup.id)));
    if (order.Rows() == 0)
      throw StoreError(StoreFault::UnknownLayer, "layer " + std::to_string(setup.id) +
                                                     " is not in map " + std::to_string(mapCode));
    WriteSetup(mapCode, setup, order.Integer(0, 0));
  });
}

std::int32_t PgStore::CreateLayer(const NewLayer& layer) {
  CheckNewLayer(layer);
  const auto kind = static_cast<int>(layer.kind);
  std::int32_t id = 0;
  InSavepoint([&] {
    if (FindLayer(layer.name))
      throw StoreError(StoreFault::BadValue, "layer '" + layer.name + "' already exists");
    PgResult r = db_.Run(
        "INSERT INTO layers (name, kind, cell_width, cell_height) VALUES ($1, $2, $3, $4) "
        "RETURNING id",
        PgParams()
            .Add(std::string_view(layer.name))
            .Add(std::int64_t{kind})
            .Add(double{layer.cellWidth})
            .Add(double{layer.cellHeight}));
    id = static_cast<std::int32_t>(r.Integer(0, 0));
    for (std::size_t i = 0; i < layer.fields.size(); ++i)
      db_.Run("INSERT INTO fields (layer_id, position, name, type) VALUES ($1, $2, $3, $4)",
              PgParams()
                  .Add(I(id))
                  .Add(static_cast<std::int64_t>(i))
                  .Add(std::string_view(layer.fields[i].name))
                  .Add(std::int64_t{layer.fields[i].type}));
  });
  return id;
}

std::vector<LayerInfo> PgStore::QueryLayers(const char* where, const std::string* name,
                                            std::int64_t id) {
  FlushCounters();
  PgParams p;
  if (name)
    p.Add(std::string_view(*name));
  else if (id)
    p.Add(id);
  PgResult r = db_.Run(std::string("SELECT ") + kLayerHeadColumns + ", " + kElementCountColumn +
                           " FROM layers " + where + " ORDER BY id",
                       p);
  std::vector<LayerInfo> out;
  for (int i = 0; i < r.Rows(); ++i) {
    LayerInfo info;
    ReadLayerHead(PgRow(r, i), info);
    info.elementCount = r.Integer(i, 9);
    out.push_back(std::move(info));
  }
  for (LayerInfo& info : out) info.fields = Shape(info.id).fields;
  return out;
}

std::int32_t PgStore::FreshMapCode() {
  // Past the highest code, so that a code once listed names one map; once the highest
  // code is taken, the first free one after a taken one.
  PgResult top = db_.Run("SELECT coalesce(max(code), 0) FROM maps");
  if (top.Integer(0, 0) < 0x7FFFFFFF) return static_cast<std::int32_t>(top.Integer(0, 0) + 1);
  PgResult gap = db_.Run(
      "SELECT min(code) + 1 FROM maps m WHERE code < 2147483647 "
      "AND NOT EXISTS (SELECT 1 FROM maps n WHERE n.code = m.code + 1)");
  if (gap.Rows() == 0 || gap.IsNull(0, 0))
    throw StoreError(StoreFault::BadValue, "every map code is taken");
  return static_cast<std::int32_t>(gap.Integer(0, 0));
}

SavedMap PgStore::SaveMap(const MapDefinition& map, SaveMode mode, std::int32_t authorId) {
  SavedMap saved;
  if (!ValidMapName(map.name)) {
    saved.result = SavedMap::InvalidName;
    return saved;
  }
  CheckMapValues(map);
  InSavepoint([&] {
    const bool asNew = mode == SaveMode::AsNew;
    if (db_.Run(
               "SELECT 1 FROM maps WHERE name = $1 AND ($2::integer <> 0 OR code <> $3)",
               PgParams().Add(std::string_view(map.name)).Add(std::int64_t{asNew}).Add(I(map.code)))
            .Rows()) {
      saved.result = SavedMap::InvalidName;
      return;
    }
    if (asNew) {
      MapDefinition fresh = map;
      fresh.code = FreshMapCode();
      CreateMap(fresh);
      saved.code = fresh.code;
      if (authorId != 0)
        db_.Run("INSERT INTO map_authors (map_code, user_id) VALUES ($1, $2)",
                PgParams().Add(I(saved.code)).Add(I(authorId)));
    } else {
      PgResult r = db_.Run(
          "UPDATE maps SET name = $1, min_x = $2, min_y = $3, max_x = $4, max_y = $5, "
          "background = $6, projection = $7 WHERE code = $8",
          PgParams()
              .Add(std::string_view(map.name))
              .Add(map.extents.minX)
              .Add(map.extents.minY)
              .Add(map.extents.maxX)
              .Add(map.extents.maxY)
              .Add(std::int64_t{map.backgroundColor})
              .Add(std::int64_t{map.projection})
              .Add(I(map.code)));
      if (r.Changed() == 0)
        throw StoreError(StoreFault::UnknownRecord, "unknown map " + std::to_string(map.code));
      // Themes go with their setups (ON DELETE CASCADE).
      db_.Run("DELETE FROM map_layers WHERE map_code = $1", PgParams().Add(I(map.code)));
      saved.code = map.code;
    }
    for (std::size_t i = 0; i < map.layers.size(); ++i)
      WriteSetup(saved.code, map.layers[i], static_cast<std::int64_t>(i + 1));
  });
  return saved;
}

bool PgStore::MayChangeMap(std::int32_t userId, std::int32_t mapCode) {
  PgResult r = db_.Run(
      "SELECT EXISTS (SELECT 1 FROM map_authors WHERE map_code = $1 AND user_id = $2) "
      "OR (EXISTS (SELECT 1 FROM map_layers WHERE map_code = $1) AND NOT EXISTS ("
      "SELECT 1 FROM map_layers ml LEFT JOIN access a "
      "ON a.layer_id = ml.layer_id AND a.user_id = $2 "
      "WHERE ml.map_code = $1 AND coalesce(a.level, 0) < $3))",
      PgParams()
          .Add(I(mapCode))
          .Add(I(userId))
          .Add(static_cast<std::int64_t>(AccessLevel::Editor)));
  return r.Rows() && r.Integer(0, 0) != 0;
}

}  // namespace orvenda::server
