// SqliteStore: a whole site's rows, for copy-db.
#include <string>

#include "store/sqlite_store.h"

namespace orvenda::server {
namespace {

constexpr int kPointsColumn = 6;  // of Elements

}  // namespace

bool SqliteStore::SiteEmpty() {
  auto st = db_.Prepare(
      "SELECT (SELECT count(*) FROM users) + (SELECT count(*) FROM layers) + "
      "(SELECT count(*) FROM maps)");
  return st.Step() && st.Integer(0) == 0;
}

void SqliteStore::ReadRows(SiteTable table, const std::function<void(SiteRow&&)>& row) {
  const SiteTableParts p = PartsOfSiteTable(table);
  auto st = db_.Prepare("SELECT " + p.columns + " FROM " + p.name + " ORDER BY 1, 2");
  while (st.Step()) {
    SiteRow r;
    for (int i = 0; i < p.count; ++i)
      r.push_back(table == SiteTable::Elements && i == kPointsColumn
                      ? Value{std::string(st.Blob(i))}
                      : st.ColumnValue(i));
    row(std::move(r));
  }
}

void SqliteStore::WriteRows(SiteTable table, const std::vector<SiteRow>& rows) {
  const SiteTableParts p = PartsOfSiteTable(table);
  std::string marks;
  for (int i = 0; i < p.count; ++i) marks += i ? ", ?" : "?";
  auto st = db_.Prepare("INSERT INTO " + p.name + " (" + p.columns + ") VALUES (" + marks + ")");
  for (const SiteRow& r : rows) {
    for (int i = 0; i < p.count; ++i) {
      const auto& v = r.at(static_cast<std::size_t>(i));
      if (table == SiteTable::Elements && i == kPointsColumn) {
        const auto& blob = std::get<std::string>(v);
        st.BindBlob(i + 1, blob.data(), blob.size());
      } else {
        st.BindValue(i + 1, v);
      }
    }
    st.Run();
  }
  shapes_.clear();
}

}  // namespace orvenda::server
