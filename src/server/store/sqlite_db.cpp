#include "store/sqlite_db.h"

#include <sqlite3.h>

namespace orvenda::server {
namespace {

[[noreturn]] void Fail(sqlite3* db, const std::string& what) {
  throw StoreError(StoreFault::StorageFailure,
                   what + ": " + (db ? sqlite3_errmsg(db) : "no database"));
}

}  // namespace

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql) : db_(db) {
  if (sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr) !=
      SQLITE_OK)
    Fail(db_, "cannot prepare statement");
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(stmt_); }

SqliteStatement& SqliteStatement::Bind(int index, std::int64_t v) {
  if (sqlite3_bind_int64(stmt_, index, v) != SQLITE_OK) Fail(db_, "bind");
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, double v) {
  if (sqlite3_bind_double(stmt_, index, v) != SQLITE_OK) Fail(db_, "bind");
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, std::string_view v) {
  if (sqlite3_bind_text(stmt_, index, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT) !=
      SQLITE_OK)
    Fail(db_, "bind");
  return *this;
}

SqliteStatement& SqliteStatement::BindBlob(int index, const void* data, std::size_t size) {
  if (sqlite3_bind_blob(stmt_, index, data, static_cast<int>(size), SQLITE_TRANSIENT) != SQLITE_OK)
    Fail(db_, "bind");
  return *this;
}

SqliteStatement& SqliteStatement::BindNull(int index) {
  if (sqlite3_bind_null(stmt_, index) != SQLITE_OK) Fail(db_, "bind");
  return *this;
}

SqliteStatement& SqliteStatement::BindValue(int index, const Value& v) {
  if (const auto* i = std::get_if<std::int64_t>(&v)) return Bind(index, *i);
  if (const auto* d = std::get_if<double>(&v)) return Bind(index, *d);
  if (const auto* s = std::get_if<std::string>(&v)) return Bind(index, std::string_view(*s));
  return BindNull(index);
}

bool SqliteStatement::Step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  Fail(db_, "statement failed");
}

void SqliteStatement::Run() {
  while (Step()) {
  }
  Reset();
}

void SqliteStatement::Reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

bool SqliteStatement::IsNull(int column) const {
  return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

std::int64_t SqliteStatement::Integer(int column) const {
  return sqlite3_column_int64(stmt_, column);
}

double SqliteStatement::Real(int column) const { return sqlite3_column_double(stmt_, column); }

std::string SqliteStatement::Text(int column) const {
  const auto* p = sqlite3_column_text(stmt_, column);
  if (!p) return {};
  return std::string(reinterpret_cast<const char*>(p),
                     static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)));
}

std::string_view SqliteStatement::Blob(int column) const {
  const void* p = sqlite3_column_blob(stmt_, column);
  if (!p) return {};
  return {static_cast<const char*>(p),
          static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column))};
}

Value SqliteStatement::ColumnValue(int column) const {
  switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_INTEGER:
      return Integer(column);
    case SQLITE_FLOAT:
      return Real(column);
    case SQLITE_NULL:
      return std::monostate{};
    default:
      return Text(column);
  }
}

SqliteDb::SqliteDb(const std::filesystem::path& path, Mode mode) {
  const int flags = SQLITE_OPEN_READWRITE | (mode == Mode::Create ? SQLITE_OPEN_CREATE : 0);
  const int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
  if (rc != SQLITE_OK) {
    std::string msg = "cannot open database " + path.string() + ": " +
                      (db_ ? sqlite3_errmsg(db_) : "out of memory");
    sqlite3_close(db_);
    db_ = nullptr;
    throw StoreError(StoreFault::StorageFailure, msg);
  }
  // A second process (an import while the server runs) waits instead of failing.
  sqlite3_busy_timeout(db_, 5000);
}

SqliteDb::~SqliteDb() { sqlite3_close(db_); }

void SqliteDb::Exec(std::string_view sql) {
  char* err = nullptr;
  const std::string s(sql);
  if (sqlite3_exec(db_, s.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::string msg = err ? err : "unknown error";
    sqlite3_free(err);
    throw StoreError(StoreFault::StorageFailure, "database error: " + msg);
  }
}

std::int64_t SqliteDb::LastInsertId() const { return sqlite3_last_insert_rowid(db_); }

int SqliteDb::Changes() const { return sqlite3_changes(db_); }

bool SqliteDb::InTransaction() const { return sqlite3_get_autocommit(db_) == 0; }

}  // namespace orvenda::server
