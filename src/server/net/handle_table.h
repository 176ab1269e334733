#pragma once
// HandleTable: the login sessions. The user ID that reply 112 hands out is not the
// account's number but a random 31-bit handle bound to it, so a client cannot guess
// another user's identifier. A handle lives for a fixed time after the login and, past
// that, for as long as a connection holds it (attach/detach). Shared by every network
// thread.

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "net/server_clock.h"

namespace orvenda::server {

class HandleTable {
 public:
  explicit HandleTable(std::chrono::milliseconds lifetime,
                       const ServerClock& clock = SteadyServerClock())
      : lifetime_(lifetime), clock_(clock) {}

  // A fresh handle (1 to 2^31 - 1) for the account.
  std::int32_t Issue(std::int32_t userId);
  // The account behind a live handle.
  std::optional<std::int32_t> Lookup(std::int32_t handle);
  // A connection starts using the handle: it stays valid until detach, even past its
  // lifetime. Returns the account, or nothing for a dead handle.
  std::optional<std::int32_t> Attach(std::int32_t handle);
  void Detach(std::int32_t handle);

  std::size_t Size();

 private:
  struct Entry {
    std::int32_t userId;
    ServerClock::TimePoint expires;
    int users = 0;  // connections holding it
  };
  bool Live(const Entry& e, ServerClock::TimePoint now) const {
    return e.users > 0 || now < e.expires;
  }
  void Sweep(ServerClock::TimePoint now);
  // The live entry of the handle, or null; an expired one is dropped. The caller
  // holds mutex_.
  Entry* FindLive(std::int32_t handle);

  std::chrono::milliseconds lifetime_;
  const ServerClock& clock_;
  std::mutex mutex_;
  std::unordered_map<std::int32_t, Entry> entries_;
  std::size_t issuedSinceSweep_ = 0;
};

}  // namespace orvenda::server
