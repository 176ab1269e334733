#pragma once
// ServerClock: where the server's time limits read the time (login throttling, the
// lifetime of login handles, the idle, handshake and send limits of a connection).
// Production reads the steady clock; a test hands the server a clock it moves itself,
// so that a limit of minutes is crossed in an instant and never raced by a busy machine.

#include <chrono>

namespace orvenda::server {

class ServerClock {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;
  virtual ~ServerClock() = default;
  // Safe to call from any thread.
  virtual TimePoint Now() const = 0;
};

// The steady clock, shared by everything that is given no other clock.
ServerClock& SteadyServerClock();

}  // namespace orvenda::server
