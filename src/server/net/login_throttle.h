#pragma once
// LoginThrottle: counts failed logins (and failed password changes) per client
// address; an address with too many failures inside the window is refused without a
// password check until its oldest failure leaves the window. Shared by every network
// thread; the number of addresses tracked is bounded.

#include <chrono>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

#include "net/server_clock.h"

namespace orvenda::server {

class LoginThrottle {
 public:
  LoginThrottle(int attempts, std::chrono::milliseconds window,
                const ServerClock& clock = SteadyServerClock())
      : attempts_(attempts), window_(window), clock_(clock) {}

  bool Blocked(const std::string& address);
  void Failed(const std::string& address);

 private:
  static constexpr std::size_t kMaxAddresses = 10000;
  void Prune(std::deque<ServerClock::TimePoint>& times, ServerClock::TimePoint now) const;

  int attempts_;
  std::chrono::milliseconds window_;
  const ServerClock& clock_;
  std::mutex mutex_;
  std::unordered_map<std::string, std::deque<ServerClock::TimePoint>> failures_;
};

}  // namespace orvenda::server
