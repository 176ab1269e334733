#include "store/sqlite_maintenance.h"

#include <sqlite3.h>

#include <algorithm>

#include "store/grid.h"
#include "store/sqlite_db.h"

namespace orvenda::server {
namespace {

// Pages copied per step: small enough that a server writing meanwhile waits little.
constexpr int kPagesPerStep = 256;

std::string ElementName(std::int64_t layerId, std::int64_t elementId) {
  return "element " + std::to_string(elementId) + " of layer " + std::to_string(layerId);
}

}  // namespace

void BackupSqlite(const std::filesystem::path& from, const std::filesystem::path& to,
                  const std::function<void(int done, int total)>& progress) {
  if (std::filesystem::exists(to))
    throw StoreError(StoreFault::BadValue, to.string() + " exists already");
  SqliteDb source(from, SqliteDb::Mode::Existing);
  int rc = SQLITE_OK;
  std::string why;
  {
    SqliteDb target(to);
    sqlite3_backup* copy = sqlite3_backup_init(target.Handle(), "main", source.Handle(), "main");
    if (!copy) throw StoreError(StoreFault::StorageFailure, sqlite3_errmsg(target.Handle()));
    do {
      rc = sqlite3_backup_step(copy, kPagesPerStep);
      const int total = sqlite3_backup_pagecount(copy);
      if (progress) progress(total - sqlite3_backup_remaining(copy), total);
      // The server holds a write lock for one transaction at a time: let it finish.
      if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) sqlite3_sleep(20);
    } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
    sqlite3_backup_finish(copy);
    why = sqlite3_errmsg(target.Handle());
  }
  if (rc != SQLITE_DONE) {
    std::filesystem::remove(to);
    throw StoreError(StoreFault::StorageFailure, "backup to " + to.string() + " failed: " + why);
  }
}

std::vector<std::string> CheckSqlite(const std::filesystem::path& path, std::size_t limit) {
  SqliteDb db(path, SqliteDb::Mode::Existing);
  std::vector<std::string> found;
  const auto add = [&](std::string text) {
    if (found.size() < limit) found.push_back(std::move(text));
  };
  for (auto q = db.Prepare("PRAGMA integrity_check"); q.Step();) {
    if (q.Text(0) != "ok") add("integrity: " + q.Text(0));
  }
  for (auto q = db.Prepare("PRAGMA foreign_key_check"); q.Step();) {
    add("foreign key: a row of " + q.Text(0) + " refers to a missing row of " + q.Text(2));
  }
  // Cells and values whose element is gone.
  for (const char* table : {"element_cells", "attributes"}) {
    auto q = db.Prepare(std::string("SELECT DISTINCT t.layer_id, t.element_id FROM ") + table +
                        " t WHERE NOT EXISTS (SELECT 1 FROM elements e "
                        "WHERE e.layer_id = t.layer_id AND e.id = t.element_id)");
    while (q.Step())
      add(std::string(table) + " of a missing " + ElementName(q.Integer(0), q.Integer(1)));
  }
  // Identifiers are never given twice: none may lie above its layer's counter.
  for (auto q = db.Prepare("SELECT l.id, l.last_element_id, max(e.id) FROM layers l "
                           "JOIN elements e ON e.layer_id = l.id GROUP BY l.id "
                           "HAVING max(e.id) > l.last_element_id");
       q.Step();) {
    add("layer " + std::to_string(q.Integer(0)) + " counts elements to " +
        std::to_string(q.Integer(1)) + " but holds " + std::to_string(q.Integer(2)));
  }
  // Each element is listed in exactly the cells its box covers, or a view would miss it.
  auto elements = db.Prepare(
      "SELECT e.layer_id, e.id, e.min_x, e.min_y, e.max_x, e.max_y, l.cell_width, "
      "l.cell_height FROM elements e JOIN layers l ON l.id = e.layer_id ORDER BY 1, 2");
  auto cells = db.Prepare(
      "SELECT row, col FROM element_cells WHERE layer_id = ? AND element_id = ? ORDER BY 1, 2");
  while (elements.Step() && found.size() < limit) {
    const Box box{elements.Real(2), elements.Real(3), elements.Real(4), elements.Real(5)};
    std::vector<CellKey> want;
    try {
      want = CellsOfBox(box, static_cast<float>(elements.Real(6)),
                        static_cast<float>(elements.Real(7)));
    } catch (const std::range_error&) {
      add("layer " + std::to_string(elements.Integer(0)) + " has cells of no size");
      continue;
    }
    std::sort(want.begin(), want.end());
    std::vector<CellKey> have;
    cells.Reset();
    cells.Bind(1, elements.Integer(0)).Bind(2, elements.Integer(1));
    while (cells.Step())
      have.push_back({static_cast<std::int32_t>(cells.Integer(0)),
                      static_cast<std::int32_t>(cells.Integer(1))});
    if (have != want) {
      add(ElementName(elements.Integer(0), elements.Integer(1)) + " is listed in " +
          std::to_string(have.size()) + " cells, not the " + std::to_string(want.size()) +
          " its box covers");
    }
  }
  return found;
}

}  // namespace orvenda::server
