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
  SqliteStatement& bind(int index, std::int64_t v);
  SqliteStatement& bind(int index, double v);
  SqliteStatement& bind(int index, std::string_view v);
  SqliteStatement& bindBlob(int index, const void* data, std::size_t size);
  SqliteStatement& bindNull(int index);
  SqliteStatement& bindValue(int index, const Value& v);

  // True while a row is available; false when done.
  bool step();
  // Runs a statement that returns no rows.
  void run();
  void reset();

  bool isNull(int column) const;
  std::int64_t integer(int column) const;
  double real(int column) const;
  std::string text(int column) const;
  std::string_view blob(int column) const;
  Value value(int column) const;  // by the stored type of the column

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

class SqliteDb {
 public:
  explicit SqliteDb(const std::filesystem::path& path);
  ~SqliteDb();
  SqliteDb(const SqliteDb&) = delete;
  SqliteDb& operator=(const SqliteDb&) = delete;

  void exec(std::string_view sql);  // statements without parameters only
  SqliteStatement prepare(std::string_view sql) { return SqliteStatement(db_, sql); }
  std::int64_t lastInsertId() const;
  int changes() const;
  sqlite3* handle() { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace orvenda::server
