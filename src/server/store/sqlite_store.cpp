// SqliteStore: opening, statements, transactions, users and rights.
#include "store/sqlite_store.h"

#include "store/schema.h"

namespace orvenda::server {

SqliteStore::SqliteStore(const std::filesystem::path& path, int schemaTarget) : db_(path) {
  db_.exec("PRAGMA journal_mode = WAL");
  db_.exec("PRAGMA foreign_keys = ON");
  // NORMAL is durable across application crashes in WAL mode; only a power loss may
  // lose the last commits.
  db_.exec("PRAGMA synchronous = NORMAL");
  migrate(db_, schemaTarget);
}

void SqliteStore::startBulkLoad() {
  db_.exec("PRAGMA journal_mode = MEMORY");
  db_.exec("PRAGMA synchronous = OFF");
  bulk_ = true;
}

SqliteStore::~SqliteStore() {
  statements_.clear();
  if (!bulk_) return;
  try {
    db_.exec("PRAGMA journal_mode = WAL");
    db_.exec("PRAGMA synchronous = NORMAL");
  } catch (const StoreError&) {
    // Closing still leaves a complete file; only its journal mode is the default.
  }
}

std::unique_ptr<Store> openStore(const std::filesystem::path& path) {
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

SqliteStatement& SqliteStore::cached(const char* sql) {
  auto& slot = statements_[sql];
  if (!slot) slot = std::make_unique<SqliteStatement>(db_.handle(), sql);
  slot->reset();
  return *slot;
}

void SqliteStore::inSavepoint(const std::function<void()>& work) {
  // Savepoints nest, so a write inside transaction() joins the outer transaction.
  db_.exec("SAVEPOINT orvenda_write");
  try {
    work();
    db_.exec("RELEASE orvenda_write");
  } catch (...) {
    db_.exec("ROLLBACK TO orvenda_write");
    db_.exec("RELEASE orvenda_write");
    // The layer cache may hold a layer whose creation was just undone.
    shapes_.clear();
    throw;
  }
}

void SqliteStore::transaction(const std::function<void()>& work) { inSavepoint(work); }

const SqliteStore::LayerShape& SqliteStore::shape(std::int32_t layerId) {
  if (auto it = shapes_.find(layerId); it != shapes_.end()) return it->second;
  auto& st = cached("SELECT kind, cell_width, cell_height FROM layers WHERE id = ?");
  st.bind(1, std::int64_t{layerId});
  if (!st.step())
    throw StoreError(StoreFault::UnknownLayer, "unknown layer " + std::to_string(layerId));
  LayerShape s;
  s.kind = static_cast<LayerKind>(st.integer(0));
  s.cellWidth = static_cast<float>(st.real(1));
  s.cellHeight = static_cast<float>(st.real(2));
  st.reset();
  auto& f = cached("SELECT name, type FROM fields WHERE layer_id = ? ORDER BY position");
  f.bind(1, std::int64_t{layerId});
  while (f.step()) s.fields.push_back({f.text(0), static_cast<std::int16_t>(f.integer(1))});
  f.reset();
  return shapes_.emplace(layerId, std::move(s)).first->second;
}

bool SqliteStore::hasLayer(std::int32_t layerId) {
  if (shapes_.count(layerId)) return true;
  auto& st = cached("SELECT 1 FROM layers WHERE id = ?");
  st.bind(1, std::int64_t{layerId});
  const bool found = st.step();
  st.reset();
  return found;
}

std::optional<std::size_t> SqliteStore::fieldPosition(const LayerShape& s,
                                                      const std::string& name) {
  auto upper = [](std::string t) {
    for (char& c : t) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return t;
  };
  const std::string wanted = upper(name);
  for (std::size_t i = 0; i < s.fields.size(); ++i)
    if (upper(s.fields[i].name) == wanted) return i;
  return std::nullopt;
}

namespace {

UserRecord readUser(SqliteStatement& st) {
  return {static_cast<std::int32_t>(st.integer(0)), st.text(1), st.text(2), st.integer(3) != 0};
}

}  // namespace

std::optional<UserRecord> SqliteStore::findUser(const std::string& name) {
  auto& st = cached("SELECT id, name, password_hash, guest FROM users WHERE name = ?");
  st.bind(1, std::string_view(name));
  std::optional<UserRecord> u;
  if (st.step()) u = readUser(st);
  st.reset();
  return u;
}

std::optional<UserRecord> SqliteStore::findUserById(std::int32_t id) {
  auto& st = cached("SELECT id, name, password_hash, guest FROM users WHERE id = ?");
  st.bind(1, std::int64_t{id});
  std::optional<UserRecord> u;
  if (st.step()) u = readUser(st);
  st.reset();
  return u;
}

std::vector<UserRecord> SqliteStore::listUsers() {
  auto st = db_.prepare("SELECT id, name, password_hash, guest FROM users ORDER BY name");
  std::vector<UserRecord> out;
  while (st.step()) out.push_back(readUser(st));
  return out;
}

std::int32_t SqliteStore::addUser(const std::string& name, const std::string& passwordHash,
                                  bool guest) {
  if (name.empty()) throw StoreError(StoreFault::BadValue, "a user name cannot be empty");
  if (findUser(name)) throw StoreError(StoreFault::BadValue, "user '" + name + "' already exists");
  auto st = db_.prepare("INSERT INTO users (name, password_hash, guest) VALUES (?, ?, ?)");
  st.bind(1, std::string_view(name)).bind(2, std::string_view(passwordHash));
  st.bind(3, std::int64_t{guest ? 1 : 0}).run();
  return static_cast<std::int32_t>(db_.lastInsertId());
}

void SqliteStore::setPasswordHash(std::int32_t userId, const std::string& passwordHash) {
  auto st = db_.prepare("UPDATE users SET password_hash = ? WHERE id = ?");
  st.bind(1, std::string_view(passwordHash)).bind(2, std::int64_t{userId}).run();
  if (db_.changes() == 0)
    throw StoreError(StoreFault::UnknownRecord, "unknown user " + std::to_string(userId));
}

void SqliteStore::removeUser(std::int32_t userId) {
  auto st = db_.prepare("DELETE FROM users WHERE id = ?");
  st.bind(1, std::int64_t{userId}).run();
  if (db_.changes() == 0)
    throw StoreError(StoreFault::UnknownRecord, "unknown user " + std::to_string(userId));
}

void SqliteStore::setAccess(std::int32_t userId, std::int32_t layerId, AccessLevel level) {
  const auto l = static_cast<std::int64_t>(level);
  if (l < 0 || l > 3) throw StoreError(StoreFault::BadValue, "access level must be 0 to 3");
  if (!findUserById(userId))
    throw StoreError(StoreFault::UnknownRecord, "unknown user " + std::to_string(userId));
  shape(layerId);  // throws for an unknown layer
  auto st = db_.prepare(
      "INSERT INTO access (user_id, layer_id, level) VALUES (?, ?, ?) "
      "ON CONFLICT (user_id, layer_id) DO UPDATE SET level = excluded.level");
  st.bind(1, std::int64_t{userId}).bind(2, std::int64_t{layerId}).bind(3, l).run();
}

AccessLevel SqliteStore::accessLevel(std::int32_t userId, std::int32_t layerId) {
  auto& st = cached("SELECT level FROM access WHERE user_id = ? AND layer_id = ?");
  st.bind(1, std::int64_t{userId}).bind(2, std::int64_t{layerId});
  AccessLevel level = AccessLevel::NoAccess;
  if (st.step()) level = static_cast<AccessLevel>(st.integer(0));
  st.reset();
  return level;
}

std::vector<MapSummary> SqliteStore::mapsForUser(std::int32_t userId) {
  auto st = db_.prepare(
      "SELECT DISTINCT m.code, m.name FROM maps m "
      "JOIN map_layers ml ON ml.map_code = m.code "
      "JOIN access a ON a.layer_id = ml.layer_id "
      "WHERE a.user_id = ? AND a.level > 0 ORDER BY m.code");
  st.bind(1, std::int64_t{userId});
  std::vector<MapSummary> out;
  while (st.step()) out.push_back({static_cast<std::int32_t>(st.integer(0)), st.text(1)});
  return out;
}

bool SqliteStore::canOpenMap(std::int32_t userId, std::int32_t mapCode) {
  auto& st = cached(
      "SELECT 1 FROM map_layers ml JOIN access a ON a.layer_id = ml.layer_id "
      "WHERE ml.map_code = ? AND a.user_id = ? AND a.level > 0 LIMIT 1");
  st.bind(1, std::int64_t{mapCode}).bind(2, std::int64_t{userId});
  const bool ok = st.step();
  st.reset();
  return ok;
}

}  // namespace orvenda::server
