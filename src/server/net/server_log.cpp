#include "net/server_log.h"

#include <chrono>
#include <ctime>
#include <ostream>

namespace orvenda::server {
namespace {

std::string Timestamp() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t t = system_clock::to_time_t(now);
  const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm tm{};
  gmtime_r(&t, &tm);
  char text[40];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &tm);
  char out[48];
  std::snprintf(out, sizeof out, "%s.%03dZ", text, static_cast<int>(ms));
  return out;
}

}  // namespace

ServerLog::ServerLog(const std::string& path, std::ostream& fallback) : out_(&fallback) {
  if (path.empty()) return;
  file_.open(path, std::ios::app);
  ok_ = file_.is_open();
  if (ok_) out_ = &file_;
}

void ServerLog::Line(std::string_view text) {
  std::string whole = Timestamp();
  whole += ' ';
  // A client's text may reach a log line (user names, field names): keep it on one line.
  for (char c : text) whole += (c == '\n' || c == '\r') ? ' ' : c;
  whole += '\n';
  std::lock_guard lock(mutex_);
  *out_ << whole << std::flush;
}

}  // namespace orvenda::server
