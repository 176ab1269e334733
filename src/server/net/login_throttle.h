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

namespace orvenda::server {

class LoginThrottle {
 public:
  using Clock = std::chrono::steady_clock;

  LoginThrottle(int attempts, std::chrono::milliseconds window)
      : attempts_(attempts), window_(window) {}

  bool blocked(const std::string& address);
  void failed(const std::string& address);

 private:
  static constexpr std::size_t kMaxAddresses = 10000;
  void Prune(std::deque<Clock::time_point>& times, Clock::time_point now) const;

  int attempts_;
  std::chrono::milliseconds window_;
  std::mutex mutex_;
  std::unordered_map<std::string, std::deque<Clock::time_point>> failures_;
};

}  // namespace orvenda::server
