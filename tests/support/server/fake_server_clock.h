#pragma once
// FakeServerClock: the server's clock in tests. It stands still until the test moves
// it, so a limit is crossed exactly when the test says and never by a slow machine.

#include <atomic>
#include <chrono>

#include "net/server_clock.h"

namespace orvenda::server::test {

class FakeServerClock final : public ServerClock {
 public:
  TimePoint Now() const override { return TimePoint(std::chrono::nanoseconds(elapsed_.load())); }
  void Advance(std::chrono::nanoseconds by) { elapsed_ += by.count(); }

 private:
  // Starts an hour in, so that nothing reads a time before the clock's epoch.
  std::atomic<std::chrono::nanoseconds::rep> elapsed_{
      std::chrono::nanoseconds(std::chrono::hours(1)).count()};
};

}  // namespace orvenda::server::test
