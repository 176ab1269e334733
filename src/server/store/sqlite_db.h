// A thin RAII layer over the SQLite C API: one connection, prepared statements with
// bound parameters only. Every failure becomes a StoreError carrying SQLite's message.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "store/store.h"

struct sqlite3;
struct sqlite3_stmt;

namespace orvenda::server {

class SqliteStatement {
 public:
  SqliteStatement(sqlite3* db, std::string_view sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  // Parameters are numbered from 1, as in SQLite.
  SqliteStatement& Bind(int index, std::int64_t v);
  SqliteStatement& Bind(int index, double v);
  SqliteStatement& Bind(int index, std::string_view v);
  SqliteStatement& BindBlob(int index, const void* data, std::size_t size);
  SqliteStatement& BindNull(int index);
  SqliteStatement& BindValue(int index, const Value& v);

  // True while a row is available; false when done.
  bool Step();
  // Runs a statement that returns no rows.
  void Run();
  void Reset();

  bool IsNull(int column) const;
  std::int64_t Integer(int column) const;
  double Real(int column) const;
  std::string Text(int column) const;
  std::string_view Blob(int column) const;
  Value ColumnValue(int column) const;  // by the stored type of the column

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

class SqliteDb {
 public:
  enum class Mode { Create, Existing };
  // Create makes the file when it is missing; Existing refuses a missing file.
  explicit SqliteDb(const std::filesystem::path& path, Mode mode = Mode::Create);
  ~SqliteDb();
  SqliteDb(const SqliteDb&) = delete;
  SqliteDb& operator=(const SqliteDb&) = delete;

  void Exec(std::string_view sql);  // statements without parameters only
  SqliteStatement Prepare(std::string_view sql) { return SqliteStatement(db_, sql); }
  std::int64_t LastInsertId() const;
  int Changes() const;
  bool InTransaction() const;
  sqlite3* Handle() { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace orvenda::server
