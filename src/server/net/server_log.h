#pragma once
// ServerLog: one line per connection event or refused request, with a UTC time stamp,
// written whole under a lock so that lines of different threads never interleave.
// Callers never pass a password here.

#include <fstream>
#include <iosfwd>
#include <mutex>
#include <string>
#include <string_view>

namespace orvenda::server {

class ServerLog {
 public:
  // Writes to `path`, appending; to `fallback` when the path is empty.
  ServerLog(const std::string& path, std::ostream& fallback);

  // False when the log file could not be opened.
  bool Ok() const { return ok_; }
  void Line(std::string_view text);

 private:
  std::mutex mutex_;
  std::ofstream file_;
  std::ostream* out_;
  bool ok_ = true;
};

}  // namespace orvenda::server
