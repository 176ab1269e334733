#include "net/login_throttle.h"

#include <algorithm>
#include <utility>

namespace orvenda::server {

LoginThrottle::Place& LoginThrottle::Place::operator=(Place&& other) noexcept {
  if (this != &other) {
    Release();
    owner_ = std::exchange(other.owner_, nullptr);
    address_ = std::move(other.address_);
    account_ = std::move(other.account_);
    suspect_ = other.suspect_;
  }
  return *this;
}

void LoginThrottle::Place::Release() {
  if (owner_ != nullptr) std::exchange(owner_, nullptr)->Give(*this);
}

const char* LoginThrottle::Why(Verdict v) {
  switch (v) {
    case Verdict::Admitted:
      return "admitted";
    case Verdict::AccountFailures:
      return "too many failed logins for this account";
    case Verdict::AddressFailures:
      return "too many failed logins from this address";
    case Verdict::Busy:
      return "too many logins under way";
    case Verdict::AddressBusy:
      return "too many logins under way from this address";
  }
  return "?";
}

void LoginThrottle::Prune(Times& times, ServerClock::TimePoint now) const {
  while (!times.empty() && now - times.front() >= limits_.window) times.pop_front();
}

int LoginThrottle::Count(Failures& failures, const std::string& key, ServerClock::TimePoint now) {
  const auto it = failures.find(key);
  if (it == failures.end()) return 0;
  Prune(it->second, now);
  const int n = static_cast<int>(it->second.size());
  if (n == 0) failures.erase(it);
  return n;
}

void LoginThrottle::Add(Failures& failures, const std::string& key, int keep,
                        ServerClock::TimePoint now) {
  if (failures.size() >= kMaxKeys && !failures.contains(key)) {
    // Forget the keys whose failures have aged out; if that frees nothing, forget
    // everything rather than grow without bound.
    for (auto it = failures.begin(); it != failures.end();) {
      Prune(it->second, now);
      it = it->second.empty() ? failures.erase(it) : std::next(it);
    }
    if (failures.size() >= kMaxKeys) failures.clear();
  }
  Times& times = failures[key];
  Prune(times, now);
  times.push_back(now);
  // Only the last `keep` failures matter for the decision.
  while (static_cast<int>(times.size()) > std::max(keep, 1)) times.pop_front();
}

LoginThrottle::Verdict LoginThrottle::Admit(const std::string& address, const std::string& account,
                                            Place& place) {
  std::lock_guard lock(mutex_);
  const auto now = clock_.Now();
  const auto underWay = busyAccounts_.find(account);
  const int accountChecks =
      Count(byAccount_, account, now) + (underWay == busyAccounts_.end() ? 0 : underWay->second);
  if (accountChecks >= limits_.accountAttempts) return Verdict::AccountFailures;
  const int addressFailures = Count(byAddress_, address, now);
  if (addressFailures >= limits_.addressAttempts) return Verdict::AddressFailures;
  const bool suspect = addressFailures > 0 || Count(refused_, address, now) >= kRefusalsOfSuspects;
  if (total_ >= limits_.inProgress || (suspect && suspects_ >= std::max(1, limits_.inProgress / 4)))
    return Refuse(address, Verdict::Busy, now);
  int& busy = busy_[address];
  if (busy >= limits_.inProgressPerAddress) return Refuse(address, Verdict::AddressBusy, now);
  ++busy;
  ++busyAccounts_[account];
  ++total_;
  if (suspect) ++suspects_;
  place.Release();
  place.owner_ = this;
  place.address_ = address;
  place.account_ = account;
  place.suspect_ = suspect;
  return Verdict::Admitted;
}

LoginThrottle::Verdict LoginThrottle::Refuse(const std::string& address, Verdict v,
                                             ServerClock::TimePoint now) {
  Add(refused_, address, kRefusalsOfSuspects, now);
  return v;
}

void LoginThrottle::Give(const Place& place) {
  std::lock_guard lock(mutex_);
  --total_;
  if (place.suspect_) --suspects_;
  const auto it = busy_.find(place.address_);
  if (it != busy_.end() && --it->second <= 0) busy_.erase(it);
  const auto a = busyAccounts_.find(place.account_);
  if (a != busyAccounts_.end() && --a->second <= 0) busyAccounts_.erase(a);
}

void LoginThrottle::Failed(const std::string& address, const std::string& account) {
  std::lock_guard lock(mutex_);
  const auto now = clock_.Now();
  Add(byAccount_, account, limits_.accountAttempts, now);
  Add(byAddress_, address, limits_.addressAttempts, now);
}

void LoginThrottle::GuessedHandle(const std::string& address) {
  std::lock_guard lock(mutex_);
  Add(byAddress_, address, limits_.addressAttempts, clock_.Now());
}

bool LoginThrottle::AddressBlocked(const std::string& address) {
  std::lock_guard lock(mutex_);
  return Count(byAddress_, address, clock_.Now()) >= limits_.addressAttempts;
}

int LoginThrottle::InProgress() {
  std::lock_guard lock(mutex_);
  return total_;
}

}  // namespace orvenda::server
