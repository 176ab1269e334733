#include "store/schema.h"

#include <string>
#include <vector>

namespace orvenda::server {
namespace {

// Version 1: users, maps with their layer setups, layers, elements, cells, values.
// Attribute values sit one row per (element, field position) and keep the SQLite
// storage class of their field's type, so one query serves every layer without
// building SQL from field names.
constexpr const char* kVersion1 = R"sql(
CREATE TABLE users (
  id INTEGER PRIMARY KEY,
  name TEXT NOT NULL UNIQUE,
  password_hash TEXT NOT NULL,
  guest INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE maps (
  code INTEGER PRIMARY KEY,
  name TEXT NOT NULL,
  min_x REAL NOT NULL, min_y REAL NOT NULL, max_x REAL NOT NULL, max_y REAL NOT NULL,
  background INTEGER NOT NULL,
  projection INTEGER NOT NULL
);
CREATE TABLE layers (
  id INTEGER PRIMARY KEY,
  name TEXT NOT NULL UNIQUE,
  kind INTEGER NOT NULL,
  cell_width REAL NOT NULL, cell_height REAL NOT NULL,
  first_row INTEGER NOT NULL DEFAULT 0, first_column INTEGER NOT NULL DEFAULT 0,
  last_row INTEGER NOT NULL DEFAULT -1, last_column INTEGER NOT NULL DEFAULT -1
);
CREATE TABLE fields (
  layer_id INTEGER NOT NULL REFERENCES layers(id) ON DELETE CASCADE,
  position INTEGER NOT NULL,
  name TEXT NOT NULL,
  type INTEGER NOT NULL,
  PRIMARY KEY (layer_id, position),
  UNIQUE (layer_id, name)
);
CREATE TABLE map_layers (
  map_code INTEGER NOT NULL REFERENCES maps(code) ON DELETE CASCADE,
  layer_id INTEGER NOT NULL REFERENCES layers(id) ON DELETE CASCADE,
  draw_order INTEGER NOT NULL,
  user_visibility INTEGER NOT NULL, zoom_min REAL NOT NULL, zoom_max REAL NOT NULL,
  line_color INTEGER NOT NULL, line_style INTEGER NOT NULL, line_width INTEGER NOT NULL,
  fill_color INTEGER NOT NULL, fill_style INTEGER NOT NULL,
  label_field TEXT NOT NULL, label_zoom_min REAL NOT NULL, label_zoom_max REAL NOT NULL,
  user_label_visibility INTEGER NOT NULL, label_bold INTEGER NOT NULL,
  label_color INTEGER NOT NULL,
  thematic_field TEXT NOT NULL, thematic_type INTEGER NOT NULL,
  PRIMARY KEY (map_code, layer_id)
);
CREATE TABLE themes (
  map_code INTEGER NOT NULL, layer_id INTEGER NOT NULL, position INTEGER NOT NULL,
  lower TEXT NOT NULL, upper TEXT NOT NULL,
  line_color INTEGER NOT NULL, line_style INTEGER NOT NULL, line_width INTEGER NOT NULL,
  fill_color INTEGER NOT NULL, fill_style INTEGER NOT NULL,
  PRIMARY KEY (map_code, layer_id, position),
  FOREIGN KEY (map_code, layer_id) REFERENCES map_layers(map_code, layer_id)
    ON DELETE CASCADE
);
CREATE TABLE access (
  user_id INTEGER NOT NULL REFERENCES users(id) ON DELETE CASCADE,
  layer_id INTEGER NOT NULL REFERENCES layers(id) ON DELETE CASCADE,
  level INTEGER NOT NULL,
  PRIMARY KEY (user_id, layer_id)
);
CREATE TABLE elements (
  layer_id INTEGER NOT NULL REFERENCES layers(id) ON DELETE CASCADE,
  id INTEGER NOT NULL,
  min_x REAL NOT NULL, min_y REAL NOT NULL, max_x REAL NOT NULL, max_y REAL NOT NULL,
  points BLOB NOT NULL,
  PRIMARY KEY (layer_id, id)
) WITHOUT ROWID;
CREATE TABLE element_cells (
  layer_id INTEGER NOT NULL,
  row INTEGER NOT NULL,
  col INTEGER NOT NULL,
  element_id INTEGER NOT NULL,
  PRIMARY KEY (layer_id, row, col, element_id)
) WITHOUT ROWID;
CREATE TABLE attributes (
  layer_id INTEGER NOT NULL,
  element_id INTEGER NOT NULL,
  position INTEGER NOT NULL,
  value,
  PRIMARY KEY (layer_id, element_id, position)
) WITHOUT ROWID;
)sql";

// Version 2: field values by value, for the value lists of the layer setup and for
// finding elements by condition without scanning a whole layer; and a counter of
// element identifiers per layer, so that the identifier of an erased element is never
// given again (a client may still hold it).
constexpr const char* kVersion2 = R"sql(
CREATE INDEX attributes_by_value ON attributes (layer_id, position, value);
ALTER TABLE layers ADD COLUMN last_element_id INTEGER NOT NULL DEFAULT 0;
UPDATE layers SET last_element_id =
  (SELECT coalesce(max(id), 0) FROM elements WHERE elements.layer_id = layers.id);
)sql";

// Version 3: the cells of one element, for moving and erasing it.
constexpr const char* kVersion3 = R"sql(
CREATE INDEX element_cells_by_element ON element_cells (layer_id, element_id);
)sql";

// Version 4: a layer's cells must have a size, or neither end can compute them. SQLite
// cannot add a CHECK to an existing table, so triggers hold the check; layers stored
// before it stay, and the administration commands refuse to set them up.
constexpr const char* kVersion4 = R"sql(
CREATE TRIGGER layers_cell_size_on_insert BEFORE INSERT ON layers
  WHEN NOT (NEW.cell_width > 0 AND NEW.cell_height > 0)
  BEGIN SELECT RAISE(ABORT, 'layer cell size must be above 0'); END;
CREATE TRIGGER layers_cell_size_on_update BEFORE UPDATE OF cell_width, cell_height ON layers
  WHEN NOT (NEW.cell_width > 0 AND NEW.cell_height > 0)
  BEGIN SELECT RAISE(ABORT, 'layer cell size must be above 0'); END;
)sql";

// Version 5: who made a map by saving it as a new one (request 240); its author may save
// over it later without holding the editor level on each of its layers.
constexpr const char* kVersion5 = R"sql(
CREATE TABLE map_authors (
  map_code INTEGER PRIMARY KEY REFERENCES maps(code) ON DELETE CASCADE,
  user_id INTEGER NOT NULL REFERENCES users(id) ON DELETE CASCADE
);
)sql";

// Version 6: elements in a rowid table. A polygon's vertices make a row of megabytes,
// and while it searches a page of a WITHOUT ROWID table SQLite reads each row it
// compares whole, overflow pages and all, so looking up one element read its large
// neighbours too: two thirds of the time a large map took to open. Found through the
// key's own index, only the rows asked for are read.
constexpr const char* kVersion6 = R"sql(
CREATE TABLE elements_by_rowid (
  layer_id INTEGER NOT NULL REFERENCES layers(id) ON DELETE CASCADE,
  id INTEGER NOT NULL,
  min_x REAL NOT NULL, min_y REAL NOT NULL, max_x REAL NOT NULL, max_y REAL NOT NULL,
  points BLOB NOT NULL,
  PRIMARY KEY (layer_id, id)
);
INSERT INTO elements_by_rowid (layer_id, id, min_x, min_y, max_x, max_y, points)
  SELECT layer_id, id, min_x, min_y, max_x, max_y, points FROM elements;
DROP TABLE elements;
ALTER TABLE elements_by_rowid RENAME TO elements;
)sql";

const std::vector<const char*>& Migrations() {
  static const std::vector<const char*> list = {kVersion1, kVersion2, kVersion3,
                                                kVersion4, kVersion5, kVersion6};
  return list;
}

}  // namespace

int LatestSchemaVersion() { return static_cast<int>(Migrations().size()); }

int SchemaVersion(SqliteDb& db) {
  auto st = db.Prepare("PRAGMA user_version");
  return st.Step() ? static_cast<int>(st.Integer(0)) : 0;
}

void Migrate(SqliteDb& db, int target) {
  if (target <= 0) target = LatestSchemaVersion();
  // BEGIN IMMEDIATE: two processes opening a fresh file do not both migrate it.
  db.Exec("BEGIN IMMEDIATE");
  try {
    const int current = SchemaVersion(db);
    if (current > LatestSchemaVersion())
      throw StoreError(StoreFault::StorageFailure, "database schema version " +
                                                       std::to_string(current) +
                                                       " is newer than this program (" +
                                                       std::to_string(LatestSchemaVersion()) + ")");
    for (int v = current; v < target; ++v) db.Exec(Migrations()[static_cast<std::size_t>(v)]);
    if (target > current) db.Exec("PRAGMA user_version = " + std::to_string(target));
    db.Exec("COMMIT");
  } catch (...) {
    db.Exec("ROLLBACK");
    throw;
  }
}

}  // namespace orvenda::server
