#include "store/site_copy.h"

#include "store/pg_store.h"
#include "store/sqlite_store.h"

namespace orvenda::server {

const char* SiteTableColumns(SiteTable table) {
  switch (table) {
    case SiteTable::Users:
      return "users (id, name, password_hash, guest)";
    case SiteTable::Maps:
      return "maps (code, name, min_x, min_y, max_x, max_y, background, projection)";
    case SiteTable::Layers:
      return "layers (id, name, kind, cell_width, cell_height, first_row, first_column, "
             "last_row, last_column, last_element_id)";
    case SiteTable::Fields:
      return "fields (layer_id, position, name, type)";
    case SiteTable::MapLayers:
      return "map_layers (map_code, layer_id, draw_order, user_visibility, zoom_min, zoom_max, "
             "line_color, line_style, line_width, fill_color, fill_style, label_field, "
             "label_zoom_min, label_zoom_max, user_label_visibility, label_bold, label_color, "
             "thematic_field, thematic_type)";
    case SiteTable::Themes:
      return "themes (map_code, layer_id, position, lower, upper, line_color, line_style, "
             "line_width, fill_color, fill_style)";
    case SiteTable::Access:
      return "access (user_id, layer_id, level)";
    case SiteTable::Elements:
      return "elements (layer_id, id, min_x, min_y, max_x, max_y, points)";
    case SiteTable::ElementCells:
      return "element_cells (layer_id, row, col, element_id)";
    case SiteTable::Attributes:
      return "attributes (layer_id, element_id, position, value)";
    case SiteTable::MapAuthors:
      break;
  }
  return "map_authors (map_code, user_id)";
}

SiteTableParts PartsOfSiteTable(SiteTable table) {
  const std::string described = SiteTableColumns(table);
  const auto open = described.find(" (");
  SiteTableParts p{described.substr(0, open),
                   described.substr(open + 2, described.size() - open - 3), 1};
  for (char c : p.columns) p.count += c == ',';
  return p;
}

OpenedStore OpenStoreAt(const std::string& location) {
  OpenedStore o;
  if (location.starts_with("pg:")) {
    auto pg = std::make_unique<PgStore>(location.substr(3));
    o.rows = pg.get();
    o.store = std::move(pg);
  } else {
    auto lite = std::make_unique<SqliteStore>(location);
    o.rows = lite.get();
    o.store = std::move(lite);
  }
  return o;
}

std::int64_t CopySite(OpenedStore& from, OpenedStore& to) {
  if (!to.rows->SiteEmpty())
    throw StoreError(StoreFault::BadValue, "the target already holds users, layers or maps");
  constexpr std::size_t kBatch = 5000;
  std::int64_t copied = 0;
  from.rows->BeginReads();
  to.store->Transaction([&] {
    for (int t = 0; t <= static_cast<int>(SiteTable::MapAuthors); ++t) {
      const auto table = static_cast<SiteTable>(t);
      std::vector<SiteRow> batch;
      from.rows->ReadRows(table, [&](SiteRow&& row) {
        batch.push_back(std::move(row));
        if (batch.size() < kBatch) return;
        to.rows->WriteRows(table, batch);
        copied += static_cast<std::int64_t>(batch.size());
        batch.clear();
      });
      if (!batch.empty()) to.rows->WriteRows(table, batch);
      copied += static_cast<std::int64_t>(batch.size());
    }
    to.rows->FinishWrites();
  });
  from.rows->EndReads();
  return copied;
}

}  // namespace orvenda::server
