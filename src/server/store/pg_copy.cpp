// PgStore: a whole site's rows, for copy-db. Reads go through a cursor a few thousand
// rows at a time; writes through COPY.
#include <string>

#include "store/pg_store.h"
#include "store/vertices.h"

namespace orvenda::server {
namespace {

// SQLite's names, with the columns PostgreSQL names otherwise.
SiteTableParts PartsOf(SiteTable table) {
  SiteTableParts p = PartsOfSiteTable(table);
  if (table == SiteTable::ElementCells) p.columns = "layer_id, cell_row, cell_col, element_id";
  if (table == SiteTable::Attributes)
    p.columns = "layer_id, element_id, position, int_value, real_value, text_value";
  return p;
}

constexpr int kPointsColumn = 6;  // of Elements

}  // namespace

bool PgStore::SiteEmpty() {
  PgResult r = db_.Run(
      "SELECT (SELECT count(*) FROM users) + (SELECT count(*) FROM layers) + "
      "(SELECT count(*) FROM maps)");
  return r.Integer(0, 0) == 0;
}

void PgStore::ReadRows(SiteTable table, const std::function<void(SiteRow&&)>& row) {
  const SiteTableParts p = PartsOf(table);
  FlushCounters();
  const bool own = !db_.InTransaction();
  if (own) db_.Exec("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
  try {
    db_.Exec("DECLARE site_rows NO SCROLL CURSOR FOR SELECT " + p.columns + " FROM " + p.name +
             " ORDER BY 1, 2");
    for (;;) {
      PgResult r = db_.Query("FETCH 5000 FROM site_rows");
      if (r.Rows() == 0) break;
      for (int i = 0; i < r.Rows(); ++i) {
        SiteRow out;
        for (int c = 0; c < r.Columns(); ++c) {
          if (table == SiteTable::Attributes && c == 3) {
            out.push_back(!r.IsNull(i, 3)   ? Value{r.Integer(i, 3)}
                          : !r.IsNull(i, 4) ? Value{r.Real(i, 4)}
                          : !r.IsNull(i, 5) ? Value{r.Text(i, 5)}
                                            : Value{});
            break;
          }
          out.push_back(r.ColumnValue(i, c));
        }
        row(std::move(out));
      }
    }
    db_.Exec("CLOSE site_rows");
    if (own) db_.Exec("COMMIT");
  } catch (...) {
    if (own) {
      try {
        db_.Exec("ROLLBACK");
      } catch (const StoreError&) {
        // The connection is gone; so is its transaction.
      }
    }
    throw;
  }
}

void PgStore::WriteRows(SiteTable table, const std::vector<SiteRow>& rows) {
  const SiteTableParts p = PartsOf(table);
  std::map<std::int64_t, LayerKind> kinds;
  if (table == SiteTable::Elements) {
    PgResult k = db_.Run("SELECT id, kind FROM layers");
    for (int i = 0; i < k.Rows(); ++i)
      kinds[k.Integer(i, 0)] = static_cast<LayerKind>(k.Integer(i, 1));
  }
  std::string text;
  for (const SiteRow& r : rows) {
    for (int i = 0; i < p.count; ++i) {
      if (i) text += '\t';
      const auto& v = r.at(static_cast<std::size_t>(i));
      if (table == SiteTable::Elements && i == kPointsColumn) {
        const auto& blob = std::get<std::string>(v);
        AppendCopyBytes(text, blob);
        text += '\t';
        text += GeometryHex(kinds[std::get<std::int64_t>(r[0])], UnpackPoints(blob));
      } else if (table == SiteTable::Attributes && i == 3) {
        for (int kind = 0; kind < 3; ++kind) {
          if (kind) text += '\t';
          const bool mine = static_cast<int>(v.index()) == kind + 1;
          AppendCopyField(text, mine ? v : Value{});
        }
      } else {
        AppendCopyField(text, v);
      }
    }
    text += '\n';
  }
  const std::string columns = table == SiteTable::Elements ? p.columns + ", geom" : p.columns;
  db_.Copy(p.name + " (" + columns + ")", text);
  shapes_.clear();
}

void PgStore::FinishWrites() {
  for (const char* table : {"users", "layers"})
    db_.Exec(std::string("SELECT setval(pg_get_serial_sequence('") + table +
             "', 'id'), coalesce(max(id), 0) + 1, false) FROM " + table);
}

}  // namespace orvenda::server
