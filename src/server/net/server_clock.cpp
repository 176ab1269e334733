#include "net/server_clock.h"

namespace orvenda::server {
namespace {

class SteadyClock final : public ServerClock {
 public:
  TimePoint Now() const override { return std::chrono::steady_clock::now(); }
};

}  // namespace

ServerClock& SteadyServerClock() {
  static SteadyClock clock;
  return clock;
}

}  // namespace orvenda::server
