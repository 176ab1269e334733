#pragma once
// LoginThrottle: what keeps password guessing slow and a login flood from taking the
// server. Every password check (login, change of password) holds a place from its
// request to its answer; beyond a number of places per address and in total a new
// check is refused at once, without hashing, so the hashing queue never holds more
// than the total. Addresses that failed or were refused again and again lately share
// a quarter of the places, so a flood from addresses that keep trying leaves room
// for the others. Checks under way count as failures of their account until they
// end, so that a burst cannot slip more guesses past the limit. Failures are
// counted per account name (any name, known or not, so that a refusal tells nothing of
// which names exist) and per address, inside a window read on the ServerClock: an
// account with too many failures is refused from everywhere, and other accounts are
// not; an address with many more failures is refused whatever account it names.
// Shared by every network thread; the names and addresses tracked are bounded.

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

#include "net/server_clock.h"

namespace orvenda::server {

struct LoginLimits {
  int accountAttempts = 5;                   // failures allowed per account name...
  int addressAttempts = 30;                  // ...and per address...
  std::chrono::milliseconds window{60'000};  // ...within this window
  int inProgress = 8;                        // password checks under way, in total
  int inProgressPerAddress = 2;              // and from one address
};

class LoginThrottle {
 public:
  enum class Verdict { Admitted, AccountFailures, AddressFailures, Busy, AddressBusy };

  // A place taken by one password check; given back when it goes.
  class Place {
   public:
    Place() = default;
    Place(Place&& other) noexcept { *this = std::move(other); }
    Place& operator=(Place&& other) noexcept;
    ~Place() { Release(); }
    void Release();

   private:
    friend class LoginThrottle;
    LoginThrottle* owner_ = nullptr;
    std::string address_, account_;
    bool suspect_ = false;
  };

  explicit LoginThrottle(LoginLimits limits, const ServerClock& clock = SteadyServerClock())
      : limits_(limits), clock_(clock) {}

  // Decides whether a check of `account`'s password from `address` may start; when it
  // may, `place` holds its place until released.
  Verdict Admit(const std::string& address, const std::string& account, Place& place);
  void Failed(const std::string& address, const std::string& account);
  // A login handle that names no live login is a guess: it counts against its
  // address as a failed login, so that handles (31 random bits) cannot be guessed
  // faster than passwords. An address over its limit may not present handles either.
  void GuessedHandle(const std::string& address);
  bool AddressBlocked(const std::string& address);
  static const char* Why(Verdict v);

  // Password checks under way, and those that ran a hash (a seam for tests and figures).
  int InProgress();
  std::uint64_t Hashed() const { return hashed_.load(); }
  void CountHash() { ++hashed_; }

 private:
  using Times = std::deque<ServerClock::TimePoint>;
  using Failures = std::unordered_map<std::string, Times>;
  static constexpr std::size_t kMaxKeys = 10000;
  int Count(Failures& failures, const std::string& key, ServerClock::TimePoint now);
  void Add(Failures& failures, const std::string& key, int keep, ServerClock::TimePoint now);
  void Prune(Times& times, ServerClock::TimePoint now) const;
  void Give(const Place& place);
  Verdict Refuse(const std::string& address, Verdict v, ServerClock::TimePoint now);

  LoginLimits limits_;
  const ServerClock& clock_;
  std::mutex mutex_;
  Failures byAccount_, byAddress_;
  // Refusals of a place per address: a flooding address, even one whose guesses never
  // got a check, is told from one that tries again a few times.
  static constexpr int kRefusalsOfSuspects = 4;
  Failures refused_;
  std::unordered_map<std::string, int> busyAccounts_;  // checks under way per account
  std::unordered_map<std::string, int> busy_;          // checks under way per address
  int total_ = 0, suspects_ = 0;
  std::atomic<std::uint64_t> hashed_{0};
};

}  // namespace orvenda::server
