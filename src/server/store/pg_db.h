// A thin RAII layer over libpq: one connection, statements with bound parameters
// only (prepared once per connection and kept), results read by column. Every failure
// becomes a StoreError carrying the server's message. A connection that is lost (the
// database restarted, a network cut, an administrator ended it) is opened again by
// the next statement, with back-off: a database that stays away costs one attempt
// per back-off step, not one per request.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "store/store.h"

struct pg_conn;
struct pg_result;

namespace orvenda::server {

// The parameters of one statement, $1, $2... in the order they are added.
class PgParams {
 public:
  PgParams& Add(std::int64_t v);
  PgParams& Add(double v);
  PgParams& Add(std::string_view v);
  PgParams& AddBytes(std::string_view v);  // a bytea, sent as it is
  PgParams& AddNull();
  PgParams& AddValue(const Value& v);

 private:
  friend class PgDb;
  std::vector<std::string> values_;
  std::vector<bool> null_;
  std::vector<int> binary_;
};

class PgResult {
 public:
  explicit PgResult(pg_result* r) : r_(r) {}
  PgResult(PgResult&& o) noexcept : r_(o.r_) { o.r_ = nullptr; }
  PgResult& operator=(PgResult&&) = delete;
  ~PgResult();

  int Rows() const;
  int Columns() const;
  int Changed() const;  // rows an INSERT, UPDATE or DELETE touched
  bool IsNull(int row, int column) const;
  std::int64_t Integer(int row, int column) const;
  double Real(int row, int column) const;
  std::string Text(int row, int column) const;
  std::string Bytes(int row, int column) const;  // a bytea column
  // By the column's type: integers, reals, bytea and text; NULL is empty.
  Value ColumnValue(int row, int column) const;

 private:
  pg_result* r_;
};

// One row of a result, read with the same calls as a stepped SqliteStatement.
class PgRow {
 public:
  PgRow(const PgResult& r, int row) : r_(r), row_(row) {}
  std::int64_t Integer(int column) const { return r_.Integer(row_, column); }
  double Real(int column) const { return r_.Real(row_, column); }
  std::string Text(int column) const { return r_.Text(row_, column); }

 private:
  const PgResult& r_;
  int row_;
};

class PgDb {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  static constexpr std::chrono::milliseconds kFirstRetry{100}, kLastRetry{10000};

  // Connects with a libpq connection string ("host=... dbname=..." or a postgresql://
  // address). The back-off between attempts to reconnect reads `clock`.
  explicit PgDb(const std::string& conninfo, Clock clock = std::chrono::steady_clock::now);
  ~PgDb();
  PgDb(const PgDb&) = delete;
  PgDb& operator=(const PgDb&) = delete;

  void Exec(const std::string& sql);       // statements without parameters only
  PgResult Query(const std::string& sql);  // the same, with rows (FETCH)
  // Runs a statement with parameters; prepared on its first use on this connection.
  PgResult Run(const std::string& sql, const PgParams& params = {});
  // COPY table (columns) FROM STDIN with rows already in COPY's text format.
  void Copy(const std::string& target, const std::string& rows);
  bool InTransaction() const;

  // Reconnects a lost connection when its back-off allows, or throws StoreError.
  void Ready();
  // How many times the connection was opened again (a LISTEN must then be repeated).
  std::uint64_t Reconnects() const { return reconnects_; }
  int Socket() const;
  int BackendPid() const;
  // Reads what the server sent without waiting and returns the payloads of the
  // notifications received so far; throws StoreError when the connection is lost.
  std::vector<std::string> TakeNotifications();

 private:
  void Setup();

  pg_conn* conn_ = nullptr;
  Clock clock_;
  std::chrono::steady_clock::time_point retryAt_{};
  std::chrono::milliseconds retry_ = kFirstRetry;
  std::uint64_t reconnects_ = 0;
  std::map<std::string, std::string> prepared_;  // SQL -> statement name
};

// The text form COPY reads: \N for NULL, backslash escapes, \\x hex for bytea.
void AppendCopyField(std::string& line, const Value& v);
void AppendCopyBytes(std::string& line, std::string_view bytes);

}  // namespace orvenda::server
