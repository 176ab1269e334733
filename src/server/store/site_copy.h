// Copying a whole site from one store to another (copy-db): every table row by row,
// identifiers kept, so that users, layers, elements and maps keep the numbers their
// clients and rights refer to. Both backends read and write the same rows.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "store/store.h"

namespace orvenda::server {

// The tables in an order that puts every referenced row before its references. The
// columns of each, in both backends:
//   Users: id, name, password_hash, guest
//   Maps: code, name, min_x, min_y, max_x, max_y, background, projection
//   Layers: id, name, kind, cell_width, cell_height, first_row, first_column, last_row,
//           last_column, last_element_id
//   Fields: layer_id, position, name, type
//   MapLayers: map_code, layer_id, draw_order and the setup columns
//   Themes: map_code, layer_id, position, lower, upper, the five style columns
//   Access: user_id, layer_id, level
//   Elements: layer_id, id, min_x, min_y, max_x, max_y, points (the packed vertices)
//   ElementCells: layer_id, row, column, element_id
//   Attributes: layer_id, element_id, position, value
//   MapAuthors: map_code, user_id
enum class SiteTable {
  Users,
  Maps,
  Layers,
  Fields,
  MapLayers,
  Themes,
  Access,
  Elements,
  ElementCells,
  Attributes,
  MapAuthors
};

using SiteRow = std::vector<Value>;

class SiteRows {
 public:
  virtual ~SiteRows() = default;
  // True when the store holds no user, layer or map.
  virtual bool SiteEmpty() = 0;
  // Reads between these two see one snapshot of the store, whatever commits meanwhile.
  virtual void BeginReads() = 0;
  virtual void EndReads() = 0;
  // Every row of the table, in key order.
  virtual void ReadRows(SiteTable table, const std::function<void(SiteRow&&)>& row) = 0;
  // Adds rows; the caller holds a transaction of the store around all its writes.
  virtual void WriteRows(SiteTable table, const std::vector<SiteRow>& rows) = 0;
  // After the last write: counters that hand out new identifiers continue past the
  // copied ones.
  virtual void FinishWrites() = 0;
};

// A store location as the command line names it: an SQLite file path, or "pg:" and a
// libpq connection string.
struct OpenedStore {
  std::unique_ptr<Store> store;
  SiteRows* rows = nullptr;  // the same object, seen as rows
};
OpenedStore OpenStoreAt(const std::string& location);

// Copies every row of `from` into the empty `to` in one transaction of `to`; returns
// the number of rows copied. Throws StoreError (BadValue) when `to` is not empty.
std::int64_t CopySite(OpenedStore& from, OpenedStore& to);

}  // namespace orvenda::server

namespace orvenda::server {
// "table (column, ...)" with SQLite's names; PostgreSQL's differ only where noted in
// its schema (cell_row, cell_col; the three value columns).
const char* SiteTableColumns(SiteTable table);

// The same, taken apart: the table's name, its column list and how many columns.
struct SiteTableParts {
  std::string name, columns;
  int count = 0;
};
SiteTableParts PartsOfSiteTable(SiteTable table);
}  // namespace orvenda::server
