#include "store/pg_db.h"

#include <libpq-fe.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace orvenda::server {
namespace {

// Type identifiers of pg_type that the store's tables use.
constexpr Oid kBool = 16, kBytea = 17, kInt8 = 20, kInt2 = 21, kInt4 = 23, kFloat4 = 700,
              kFloat8 = 701;

[[noreturn]] void Fail(pg_conn* conn, const std::string& what) {
  std::string message = conn ? PQerrorMessage(conn) : "no connection";
  while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
  throw StoreError(StoreFault::StorageFailure, what + ": " + message);
}

std::string RealText(double v) {
  if (std::isnan(v)) return "NaN";
  if (std::isinf(v)) return v > 0 ? "Infinity" : "-Infinity";
  char buf[32];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, end);
}

}  // namespace

PgParams& PgParams::Add(std::int64_t v) {
  values_.push_back(std::to_string(v));
  null_.push_back(false);
  binary_.push_back(0);
  return *this;
}

PgParams& PgParams::Add(double v) {
  values_.push_back(RealText(v));
  null_.push_back(false);
  binary_.push_back(0);
  return *this;
}

PgParams& PgParams::Add(std::string_view v) {
  values_.emplace_back(v);
  null_.push_back(false);
  binary_.push_back(0);
  return *this;
}

PgParams& PgParams::AddBytes(std::string_view v) {
  values_.emplace_back(v);
  null_.push_back(false);
  binary_.push_back(1);
  return *this;
}

PgParams& PgParams::AddNull() {
  values_.emplace_back();
  null_.push_back(true);
  binary_.push_back(0);
  return *this;
}

PgParams& PgParams::AddValue(const Value& v) {
  if (const auto* i = std::get_if<std::int64_t>(&v)) return Add(*i);
  if (const auto* d = std::get_if<double>(&v)) return Add(*d);
  if (const auto* s = std::get_if<std::string>(&v)) return Add(std::string_view(*s));
  return AddNull();
}

PgResult::~PgResult() { PQclear(r_); }

int PgResult::Rows() const { return PQntuples(r_); }
int PgResult::Columns() const { return PQnfields(r_); }
bool PgResult::IsNull(int row, int column) const { return PQgetisnull(r_, row, column) != 0; }

std::int64_t PgResult::Integer(int row, int column) const {
  const char* p = PQgetvalue(r_, row, column);
  if (PQftype(r_, column) == kBool) return *p == 't' ? 1 : 0;
  return std::strtoll(p, nullptr, 10);
}

double PgResult::Real(int row, int column) const {
  return std::strtod(PQgetvalue(r_, row, column), nullptr);
}

std::string PgResult::Text(int row, int column) const {
  return std::string(PQgetvalue(r_, row, column),
                     static_cast<std::size_t>(PQgetlength(r_, row, column)));
}

std::string PgResult::Bytes(int row, int column) const {
  std::size_t size = 0;
  unsigned char* raw =
      PQunescapeBytea(reinterpret_cast<const unsigned char*>(PQgetvalue(r_, row, column)), &size);
  if (!raw) throw StoreError(StoreFault::StorageFailure, "cannot read a bytea value");
  std::string out(reinterpret_cast<const char*>(raw), size);
  PQfreemem(raw);
  return out;
}

Value PgResult::ColumnValue(int row, int column) const {
  if (IsNull(row, column)) return std::monostate{};
  switch (PQftype(r_, column)) {
    case kBool:
    case kInt2:
    case kInt4:
    case kInt8:
      return Integer(row, column);
    case kFloat4:
    case kFloat8:
      return Real(row, column);
    case kBytea:
      return Bytes(row, column);
    default:
      return Text(row, column);
  }
}

PgDb::PgDb(const std::string& conninfo, Clock clock) : clock_(std::move(clock)) {
  // An administrator tells the processes of the site apart by their connections' name
  // (pg_stat_activity), unless the connection string names them itself.
  const std::string name = "orvenda " + std::to_string(::getpid());
  const char* keys[] = {"dbname", "fallback_application_name", nullptr};
  const char* values[] = {conninfo.c_str(), name.c_str(), nullptr};
  conn_ = PQconnectdbParams(keys, values, 1);
  if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
    std::string message = conn_ ? PQerrorMessage(conn_) : "out of memory";
    PQfinish(conn_);
    conn_ = nullptr;
    while (!message.empty() && message.back() == '\n') message.pop_back();
    throw StoreError(StoreFault::StorageFailure, "cannot connect to PostgreSQL: " + message);
  }
  // Notices (an IF NOT EXISTS that found the thing) are not the server's log.
  PQsetNoticeProcessor(
      conn_, [](void*, const char*) {}, nullptr);
  Setup();
}

PgDb::~PgDb() { PQfinish(conn_); }

void PgDb::Setup() { Exec("SET client_encoding = 'UTF8'"); }

void PgDb::Ready() {
  if (PQstatus(conn_) == CONNECTION_OK) return;
  const auto now = clock_();
  if (now < retryAt_) {
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(retryAt_ - now);
    throw StoreError(StoreFault::StorageFailure, "no connection to PostgreSQL; next attempt in " +
                                                     std::to_string(wait.count()) + " ms");
  }
  PQreset(conn_);
  if (PQstatus(conn_) != CONNECTION_OK) {
    retryAt_ = now + retry_;
    retry_ = std::min(retry_ * 2, kLastRetry);
    Fail(conn_, "cannot reconnect to PostgreSQL");
  }
  // The statements prepared on the old connection went with it.
  prepared_.clear();
  retry_ = kFirstRetry;
  ++reconnects_;
  Setup();
}

int PgDb::Socket() const { return PQsocket(conn_); }
int PgDb::BackendPid() const { return PQbackendPID(conn_); }

std::vector<std::string> PgDb::TakeNotifications() {
  Ready();
  if (PQconsumeInput(conn_) == 0) Fail(conn_, "connection lost");
  std::vector<std::string> payloads;
  while (PGnotify* n = PQnotifies(conn_)) {
    payloads.emplace_back(n->extra);
    PQfreemem(n);
  }
  return payloads;
}

void PgDb::Exec(const std::string& sql) { Query(sql); }

PgResult PgDb::Query(const std::string& sql) {
  Ready();
  PGresult* r = PQexec(conn_, sql.c_str());
  const auto status = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
    PQclear(r);
    Fail(conn_, "database error");
  }
  return PgResult(r);
}

PgResult PgDb::Run(const std::string& sql, const PgParams& params) {
  Ready();
  auto it = prepared_.find(sql);
  if (it == prepared_.end()) {
    const std::string name = "s" + std::to_string(prepared_.size() + 1);
    PGresult* p = PQprepare(conn_, name.c_str(), sql.c_str(), 0, nullptr);
    const bool ok = p && PQresultStatus(p) == PGRES_COMMAND_OK;
    PQclear(p);
    if (!ok) Fail(conn_, "cannot prepare statement");
    it = prepared_.emplace(sql, name).first;
  }
  const int n = static_cast<int>(params.values_.size());
  std::vector<const char*> values(static_cast<std::size_t>(n));
  std::vector<int> lengths(static_cast<std::size_t>(n));
  for (std::size_t i = 0; i < values.size(); ++i) {
    values[i] = params.null_[i] ? nullptr : params.values_[i].data();
    lengths[i] = static_cast<int>(params.values_[i].size());
  }
  PGresult* r = PQexecPrepared(conn_, it->second.c_str(), n, values.data(), lengths.data(),
                               params.binary_.data(), 0);
  const auto status = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
    PQclear(r);
    Fail(conn_, "statement failed");
  }
  return PgResult(r);
}

int PgResult::Changed() const { return std::atoi(PQcmdTuples(r_)); }

void PgDb::Copy(const std::string& target, const std::string& rows) {
  Ready();
  PGresult* r = PQexec(conn_, ("COPY " + target + " FROM STDIN").c_str());
  const bool started = r && PQresultStatus(r) == PGRES_COPY_IN;
  PQclear(r);
  if (!started) Fail(conn_, "cannot copy into " + target);
  if (PQputCopyData(conn_, rows.data(), static_cast<int>(rows.size())) != 1 ||
      PQputCopyEnd(conn_, nullptr) != 1)
    Fail(conn_, "copy into " + target);
  bool ok = true;
  while (PGresult* end = PQgetResult(conn_)) {
    if (PQresultStatus(end) != PGRES_COMMAND_OK) ok = false;
    PQclear(end);
  }
  if (!ok) Fail(conn_, "copy into " + target);
}

bool PgDb::InTransaction() const {
  // A lost connection (PQTRANS_UNKNOWN) holds no transaction: the next one starts afresh.
  const auto status = PQtransactionStatus(conn_);
  return status == PQTRANS_INTRANS || status == PQTRANS_INERROR || status == PQTRANS_ACTIVE;
}

void AppendCopyBytes(std::string& line, std::string_view bytes) {
  static const char* kHex = "0123456789abcdef";
  line += "\\\\x";
  for (unsigned char c : bytes) {
    line += kHex[c >> 4];
    line += kHex[c & 15];
  }
}

void AppendCopyField(std::string& line, const Value& v) {
  if (std::holds_alternative<std::monostate>(v)) {
    line += "\\N";
  } else if (const auto* i = std::get_if<std::int64_t>(&v)) {
    line += std::to_string(*i);
  } else if (const auto* d = std::get_if<double>(&v)) {
    line += RealText(*d);
  } else {
    for (char c : std::get<std::string>(v)) {
      switch (c) {
        case '\\':
          line += "\\\\";
          break;
        case '\t':
          line += "\\t";
          break;
        case '\n':
          line += "\\n";
          break;
        case '\r':
          line += "\\r";
          break;
        default:
          line += c;
      }
    }
  }
}

}  // namespace orvenda::server
