#include "net/login_throttle.h"

namespace orvenda::server {

void LoginThrottle::Prune(std::deque<ServerClock::TimePoint>& times,
                          ServerClock::TimePoint now) const {
  while (!times.empty() && now - times.front() >= window_) times.pop_front();
}

bool LoginThrottle::Blocked(const std::string& address) {
  std::lock_guard lock(mutex_);
  const auto it = failures_.find(address);
  if (it == failures_.end()) return false;
  Prune(it->second, clock_.Now());
  if (it->second.empty()) {
    failures_.erase(it);
    return false;
  }
  return static_cast<int>(it->second.size()) >= attempts_;
}

void LoginThrottle::Failed(const std::string& address) {
  std::lock_guard lock(mutex_);
  const auto now = clock_.Now();
  if (failures_.size() >= kMaxAddresses && !failures_.contains(address)) {
    // Forget the addresses whose failures have aged out; if that frees nothing, forget
    // everything rather than grow without bound.
    for (auto it = failures_.begin(); it != failures_.end();) {
      Prune(it->second, now);
      it = it->second.empty() ? failures_.erase(it) : std::next(it);
    }
    if (failures_.size() >= kMaxAddresses) failures_.clear();
  }
  auto& times = failures_[address];
  Prune(times, now);
  times.push_back(now);
  // Only the last `attempts_` failures matter for the decision.
  while (static_cast<int>(times.size()) > attempts_ && attempts_ > 0) times.pop_front();
}

}  // namespace orvenda::server
