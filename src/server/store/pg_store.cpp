// PgStore: opening, transactions, users and rights.
#include "store/pg_store.h"

#include "store/field_types.h"

namespace orvenda::server {
namespace {

// Every write transaction of every process holds this lock until it ends, as SQLite's
// BEGIN IMMEDIATE takes its write lock: an identifier counter or a layer's grid read
// and widened in one transaction is never raced by another process.
constexpr const char* kWriteLock = "SELECT pg_advisory_xact_lock(5197002)";

std::int64_t I(std::int32_t v) { return v; }

UserRecord ReadUser(const PgResult& r, int row) {
  return {static_cast<std::int32_t>(r.Integer(row, 0)), r.Text(row, 1), r.Text(row, 2),
          r.Integer(row, 3) != 0};
}

}  // namespace

PgStore::PgStore(const std::string& conninfo) : conninfo_(conninfo), db_(conninfo) { Migrate(); }

void PgStore::InSavepoint(const std::function<void()>& work) {
  const bool outermost = !db_.InTransaction();
  if (outermost) {
    db_.Exec("BEGIN");
    try {
      db_.Exec(kWriteLock);
    } catch (...) {
      db_.Exec("ROLLBACK");
      throw;
    }
  } else {
    db_.Exec("SAVEPOINT orvenda_write");
  }
  const auto counters = counters_;
  try {
    work();
    if (outermost) {
      FlushCounters();
      counters_.clear();
      db_.Exec("COMMIT");
    } else {
      db_.Exec("RELEASE orvenda_write");
    }
  } catch (...) {
    counters_ = outermost ? decltype(counters_){} : counters;
    try {
      if (outermost) {
        db_.Exec("ROLLBACK");
      } else {
        db_.Exec("ROLLBACK TO orvenda_write");
        db_.Exec("RELEASE orvenda_write");
      }
    } catch (const StoreError&) {
      // A lost connection has ended the transaction by itself.
    }
    // The layer cache may hold a layer whose creation was just undone.
    shapes_.clear();
    throw;
  }
}

PgStore::LayerCounters& PgStore::Counters(std::int32_t layerId) {
  if (auto it = counters_.find(layerId); it != counters_.end()) return it->second;
  PgResult r = db_.Run(
      "SELECT last_element_id, first_row, first_column, last_row, last_column FROM layers "
      "WHERE id = $1",
      PgParams().Add(I(layerId)));
  if (r.Rows() == 0)
    throw StoreError(StoreFault::UnknownLayer, "unknown layer " + std::to_string(layerId));
  const LayerShape& s = Shape(layerId);
  LayerCounters c;
  c.lastId = r.Integer(0, 0);
  c.grid = {static_cast<std::int32_t>(r.Integer(0, 1)),
            static_cast<std::int32_t>(r.Integer(0, 2)),
            static_cast<std::int32_t>(r.Integer(0, 3)),
            static_cast<std::int32_t>(r.Integer(0, 4)),
            s.cellWidth,
            s.cellHeight};
  return counters_.emplace(layerId, c).first->second;
}

void PgStore::FlushCounters() {
  for (auto& [id, c] : counters_) {
    if (!c.dirty) continue;
    db_.Run(
        "UPDATE layers SET last_element_id = $1, first_row = $2, first_column = $3, "
        "last_row = $4, last_column = $5 WHERE id = $6",
        PgParams()
            .Add(c.lastId)
            .Add(I(c.grid.firstRow))
            .Add(I(c.grid.firstColumn))
            .Add(I(c.grid.lastRow))
            .Add(I(c.grid.lastColumn))
            .Add(I(id)));
    c.dirty = false;
  }
}

const RowStore::LayerShape& PgStore::Shape(std::int32_t layerId) {
  if (auto it = shapes_.find(layerId); it != shapes_.end()) return it->second;
  PgResult r = db_.Run("SELECT kind, cell_width, cell_height FROM layers WHERE id = $1",
                       PgParams().Add(I(layerId)));
  if (r.Rows() == 0)
    throw StoreError(StoreFault::UnknownLayer, "unknown layer " + std::to_string(layerId));
  LayerShape s;
  s.kind = static_cast<LayerKind>(r.Integer(0, 0));
  s.cellWidth = static_cast<float>(r.Real(0, 1));
  s.cellHeight = static_cast<float>(r.Real(0, 2));
  PgResult f = db_.Run("SELECT name, type FROM fields WHERE layer_id = $1 ORDER BY position",
                       PgParams().Add(I(layerId)));
  for (int i = 0; i < f.Rows(); ++i)
    s.fields.push_back({f.Text(i, 0), static_cast<std::int16_t>(f.Integer(i, 1))});
  return shapes_.emplace(layerId, std::move(s)).first->second;
}

bool PgStore::HasLayer(std::int32_t layerId) {
  if (shapes_.count(layerId)) return true;
  return db_.Run("SELECT 1 FROM layers WHERE id = $1", PgParams().Add(I(layerId))).Rows() > 0;
}

std::optional<UserRecord> PgStore::FindUser(const std::string& name) {
  PgResult r = db_.Run("SELECT id, name, password_hash, guest FROM users WHERE name = $1",
                       PgParams().Add(std::string_view(name)));
  if (r.Rows() == 0) return std::nullopt;
  return ReadUser(r, 0);
}

std::optional<UserRecord> PgStore::FindUserById(std::int32_t id) {
  PgResult r = db_.Run("SELECT id, name, password_hash, guest FROM users WHERE id = $1",
                       PgParams().Add(I(id)));
  if (r.Rows() == 0) return std::nullopt;
  return ReadUser(r, 0);
}

std::vector<UserRecord> PgStore::ListUsers() {
  // Byte order, as SQLite sorts names.
  PgResult r =
      db_.Run("SELECT id, name, password_hash, guest FROM users ORDER BY name COLLATE \"C\"");
  std::vector<UserRecord> out;
  for (int i = 0; i < r.Rows(); ++i) out.push_back(ReadUser(r, i));
  return out;
}

std::int32_t PgStore::AddUser(const std::string& name, const std::string& passwordHash,
                              bool guest) {
  if (name.empty()) throw StoreError(StoreFault::BadValue, "a user name cannot be empty");
  if (FindUser(name)) throw StoreError(StoreFault::BadValue, "user '" + name + "' already exists");
  PgResult r =
      db_.Run("INSERT INTO users (name, password_hash, guest) VALUES ($1, $2, $3) RETURNING id",
              PgParams()
                  .Add(std::string_view(name))
                  .Add(std::string_view(passwordHash))
                  .Add(std::int64_t{guest ? 1 : 0}));
  return static_cast<std::int32_t>(r.Integer(0, 0));
}

void PgStore::SetPasswordHash(std::int32_t userId, const std::string& passwordHash) {
  PgResult r = db_.Run("UPDATE users SET password_hash = $1 WHERE id = $2",
                       PgParams().Add(std::string_view(passwordHash)).Add(I(userId)));
  if (r.Changed() == 0)
    throw StoreError(StoreFault::UnknownRecord, "unknown user " + std::to_string(userId));
}

void PgStore::RemoveUser(std::int32_t userId) {
  PgResult r = db_.Run("DELETE FROM users WHERE id = $1", PgParams().Add(I(userId)));
  if (r.Changed() == 0)
    throw StoreError(StoreFault::UnknownRecord, "unknown user " + std::to_string(userId));
}

void PgStore::SetAccess(std::int32_t userId, std::int32_t layerId, AccessLevel level) {
  const auto l = static_cast<std::int64_t>(level);
  if (l < 0 || l > 3) throw StoreError(StoreFault::BadValue, "access level must be 0 to 3");
  if (!FindUserById(userId))
    throw StoreError(StoreFault::UnknownRecord, "unknown user " + std::to_string(userId));
  Shape(layerId);  // throws for an unknown layer
  db_.Run(
      "INSERT INTO access (user_id, layer_id, level) VALUES ($1, $2, $3) "
      "ON CONFLICT (user_id, layer_id) DO UPDATE SET level = excluded.level",
      PgParams().Add(I(userId)).Add(I(layerId)).Add(l));
}

AccessLevel PgStore::AccessLevelOf(std::int32_t userId, std::int32_t layerId) {
  PgResult r = db_.Run("SELECT level FROM access WHERE user_id = $1 AND layer_id = $2",
                       PgParams().Add(I(userId)).Add(I(layerId)));
  return r.Rows() ? static_cast<AccessLevel>(r.Integer(0, 0)) : AccessLevel::NoAccess;
}

std::vector<MapSummary> PgStore::MapsForUser(std::int32_t userId) {
  PgResult r = db_.Run(
      "SELECT DISTINCT m.code, m.name FROM maps m "
      "JOIN map_layers ml ON ml.map_code = m.code "
      "JOIN access a ON a.layer_id = ml.layer_id "
      "WHERE a.user_id = $1 AND a.level > 0 ORDER BY m.code",
      PgParams().Add(I(userId)));
  std::vector<MapSummary> out;
  for (int i = 0; i < r.Rows(); ++i)
    out.push_back({static_cast<std::int32_t>(r.Integer(i, 0)), r.Text(i, 1)});
  return out;
}

bool PgStore::CanOpenMap(std::int32_t userId, std::int32_t mapCode) {
  return db_.Run(
                "SELECT 1 FROM map_layers ml JOIN access a ON a.layer_id = ml.layer_id "
                "WHERE ml.map_code = $1 AND a.user_id = $2 AND a.level > 0 LIMIT 1",
                PgParams().Add(I(mapCode)).Add(I(userId)))
             .Rows() > 0;
}

}  // namespace orvenda::server
