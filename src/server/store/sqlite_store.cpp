// SqliteStore: opening, statements, transactions, users and rights.
#include "store/sqlite_store.h"

#include "store/field_types.h"
#include "store/schema.h"

namespace orvenda::server {

SqliteStore::SqliteStore(const std::filesystem::path& path, int schemaTarget) : db_(path) {
  db_.Exec("PRAGMA journal_mode = WAL");
  db_.Exec("PRAGMA foreign_keys = ON");
  // In WAL mode a commit has written its pages to the write-ahead log with write()
  // before COMMIT returns; NORMAL only skips the fsync. The operating system keeps those
  // bytes when the process dies, however it dies (SIGKILL included), and the next open
  // replays the log up to the last whole commit and ignores a half-written tail. So an
  // edit whose change was pushed (always after its commit returned) survives a killed
  // server, and the file stays consistent; only a power loss or a kernel crash may lose
  // the last commits.
  db_.Exec("PRAGMA synchronous = NORMAL");
  Migrate(db_, schemaTarget);
}

void SqliteStore::StartBulkLoad() {
  db_.Exec("PRAGMA journal_mode = MEMORY");
  db_.Exec("PRAGMA synchronous = OFF");
  bulk_ = true;
}

SqliteStore::~SqliteStore() {
  statements_.clear();
  if (!bulk_) return;
  try {
    db_.Exec("PRAGMA journal_mode = WAL");
    db_.Exec("PRAGMA synchronous = NORMAL");
  } catch (const StoreError&) {
    // Closing still leaves a complete file; only its journal mode is the default.
  }
}

std::unique_ptr<Store> OpenStore(const std::filesystem::path& path) {
  return std::make_unique<SqliteStore>(path);
}

const char* StoreFaultName(StoreFault kind) {
  switch (kind) {
    case StoreFault::UnknownLayer:
      return "unknown layer";
    case StoreFault::UnknownField:
      return "unknown field";
    case StoreFault::UnknownRecord:
      return "unknown record";
    case StoreFault::BadValue:
      return "bad value";
    case StoreFault::StorageFailure:
      break;
  }
  return "storage failure";
}

SqliteStatement& SqliteStore::Cached(const char* sql) {
  auto& slot = statements_[sql];
  if (!slot) slot = std::make_unique<SqliteStatement>(db_.Handle(), sql);
  slot->Reset();
  return *slot;
}

void SqliteStore::InSavepoint(const std::function<void()>& work) {
  // The outermost write takes the write lock at once: a transaction that read first and
  // writes later cannot wait for another writer (SQLite answers busy at once instead of
  // calling the busy handler). Inner ones are savepoints, so a write inside
  // Transaction() joins the outer transaction and a failing one undoes only itself.
  const bool outermost = !db_.InTransaction();
  db_.Exec(outermost ? "BEGIN IMMEDIATE" : "SAVEPOINT orvenda_write");
  try {
    work();
    db_.Exec(outermost ? "COMMIT" : "RELEASE orvenda_write");
  } catch (...) {
    // SQLite ends the whole transaction by itself after some failures (a full disk).
    if (db_.InTransaction()) {
      if (outermost) {
        db_.Exec("ROLLBACK");
      } else {
        db_.Exec("ROLLBACK TO orvenda_write");
        db_.Exec("RELEASE orvenda_write");
      }
    }
    // The layer cache may hold a layer whose creation was just undone.
    shapes_.clear();
    throw;
  }
}

const RowStore::LayerShape& SqliteStore::Shape(std::int32_t layerId) {
  if (auto it = shapes_.find(layerId); it != shapes_.end()) return it->second;
  auto& st = Cached("SELECT kind, cell_width, cell_height FROM layers WHERE id = ?");
  st.Bind(1, std::int64_t{layerId});
  if (!st.Step())
    throw StoreError(StoreFault::UnknownLayer, "unknown layer " + std::to_string(layerId));
  LayerShape s;
  s.kind = static_cast<LayerKind>(st.Integer(0));
  s.cellWidth = static_cast<float>(st.Real(1));
  s.cellHeight = static_cast<float>(st.Real(2));
  st.Reset();
  auto& f = Cached("SELECT name, type FROM fields WHERE layer_id = ? ORDER BY position");
  f.Bind(1, std::int64_t{layerId});
  while (f.Step()) s.fields.push_back({f.Text(0), static_cast<std::int16_t>(f.Integer(1))});
  f.Reset();
  return shapes_.emplace(layerId, std::move(s)).first->second;
}

bool SqliteStore::HasLayer(std::int32_t layerId) {
  if (shapes_.count(layerId)) return true;
  auto& st = Cached("SELECT 1 FROM layers WHERE id = ?");
  st.Bind(1, std::int64_t{layerId});
  const bool found = st.Step();
  st.Reset();
  return found;
}

namespace {

UserRecord ReadUser(SqliteStatement& st) {
  return {static_cast<std::int32_t>(st.Integer(0)), st.Text(1), st.Text(2), st.Integer(3) != 0};
}

}  // namespace

std::optional<UserRecord> SqliteStore::FindUser(const std::string& name) {
  auto& st = Cached("SELECT id, name, password_hash, guest FROM users WHERE name = ?");
  st.Bind(1, std::string_view(name));
  std::optional<UserRecord> u;
  if (st.Step()) u = ReadUser(st);
  st.Reset();
  return u;
}

std::optional<UserRecord> SqliteStore::FindUserById(std::int32_t id) {
  auto& st = Cached("SELECT id, name, password_hash, guest FROM users WHERE id = ?");
  st.Bind(1, std::int64_t{id});
  std::optional<UserRecord> u;
  if (st.Step()) u = ReadUser(st);
  st.Reset();
  return u;
}

std::vector<UserRecord> SqliteStore::ListUsers() {
  auto st = db_.Prepare("SELECT id, name, password_hash, guest FROM users ORDER BY name");
  std::vector<UserRecord> out;
  while (st.Step()) out.push_back(ReadUser(st));
  return out;
}

std::int32_t SqliteStore::AddUser(const std::string& name, const std::string& passwordHash,
                                  bool guest) {
  if (name.empty()) throw StoreError(StoreFault::BadValue, "a user name cannot be empty");
  if (FindUser(name)) throw StoreError(StoreFault::BadValue, "user '" + name + "' already exists");
  auto st = db_.Prepare("INSERT INTO users (name, password_hash, guest) VALUES (?, ?, ?)");
  st.Bind(1, std::string_view(name)).Bind(2, std::string_view(passwordHash));
  st.Bind(3, std::int64_t{guest ? 1 : 0}).Run();
  return static_cast<std::int32_t>(db_.LastInsertId());
}

void SqliteStore::SetPasswordHash(std::int32_t userId, const std::string& passwordHash) {
  auto st = db_.Prepare("UPDATE users SET password_hash = ? WHERE id = ?");
  st.Bind(1, std::string_view(passwordHash)).Bind(2, std::int64_t{userId}).Run();
  if (db_.Changes() == 0)
    throw StoreError(StoreFault::UnknownRecord, "unknown user " + std::to_string(userId));
}

void SqliteStore::RemoveUser(std::int32_t userId) {
  auto st = db_.Prepare("DELETE FROM users WHERE id = ?");
  st.Bind(1, std::int64_t{userId}).Run();
  if (db_.Changes() == 0)
    throw StoreError(StoreFault::UnknownRecord, "unknown user " + std::to_string(userId));
}

void SqliteStore::SetAccess(std::int32_t userId, std::int32_t layerId, AccessLevel level) {
  const auto l = static_cast<std::int64_t>(level);
  if (l < 0 || l > 3) throw StoreError(StoreFault::BadValue, "access level must be 0 to 3");
  if (!FindUserById(userId))
    throw StoreError(StoreFault::UnknownRecord, "unknown user " + std::to_string(userId));
  Shape(layerId);  // throws for an unknown layer
  auto st = db_.Prepare(
      "INSERT INTO access (user_id, layer_id, level) VALUES (?, ?, ?) "
      "ON CONFLICT (user_id, layer_id) DO UPDATE SET level = excluded.level");
  st.Bind(1, std::int64_t{userId}).Bind(2, std::int64_t{layerId}).Bind(3, l).Run();
}

AccessLevel SqliteStore::AccessLevelOf(std::int32_t userId, std::int32_t layerId) {
  auto& st = Cached("SELECT level FROM access WHERE user_id = ? AND layer_id = ?");
  st.Bind(1, std::int64_t{userId}).Bind(2, std::int64_t{layerId});
  AccessLevel level = AccessLevel::NoAccess;
  if (st.Step()) level = static_cast<AccessLevel>(st.Integer(0));
  st.Reset();
  return level;
}

std::vector<MapSummary> SqliteStore::MapsForUser(std::int32_t userId) {
  auto st = db_.Prepare(
      "SELECT DISTINCT m.code, m.name FROM maps m "
      "JOIN map_layers ml ON ml.map_code = m.code "
      "JOIN access a ON a.layer_id = ml.layer_id "
      "WHERE a.user_id = ? AND a.level > 0 ORDER BY m.code");
  st.Bind(1, std::int64_t{userId});
  std::vector<MapSummary> out;
  while (st.Step()) out.push_back({static_cast<std::int32_t>(st.Integer(0)), st.Text(1)});
  return out;
}

bool SqliteStore::CanOpenMap(std::int32_t userId, std::int32_t mapCode) {
  auto& st = Cached(
      "SELECT 1 FROM map_layers ml JOIN access a ON a.layer_id = ml.layer_id "
      "WHERE ml.map_code = ? AND a.user_id = ? AND a.level > 0 LIMIT 1");
  st.Bind(1, std::int64_t{mapCode}).Bind(2, std::int64_t{userId});
  const bool ok = st.Step();
  st.Reset();
  return ok;
}

}  // namespace orvenda::server
