#pragma once
// HandleTable: the login sessions. The user ID that reply 112 hands out is not the
// account's number but a random 31-bit handle bound to it, so a client cannot guess
// another user's identifier. A handle lives for a fixed time after the login and, past
// that, for as long as a connection holds it (attach/detach). Shared by every network
// thread. A process serving alone keeps them in memory; processes that share a
// database keep them in it (shared_handle_table.h), so a client logs in on one and
// opens its map on another.

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "net/server_clock.h"

namespace orvenda::server {

class HandleTable {
 public:
  virtual ~HandleTable() = default;
  // A fresh handle (1 to 2^31 - 1) for the account.
  virtual std::int32_t Issue(std::int32_t userId) = 0;
  // The account behind a live handle.
  virtual std::optional<std::int32_t> Lookup(std::int32_t handle) = 0;
  // A connection starts using the handle: it stays valid until detach, even past its
  // lifetime. Returns the account, or nothing for a dead handle.
  virtual std::optional<std::int32_t> Attach(std::int32_t handle) = 0;
  virtual void Detach(std::int32_t handle) = 0;
  // The live handles.
  virtual std::size_t Size() = 0;

 protected:
  // Uniform in [1, 2^31 - 1]: positive, since the client takes a value below 1 as a
  // refused login.
  static std::int32_t RandomHandle();
};

class MemoryHandleTable final : public HandleTable {
 public:
  explicit MemoryHandleTable(std::chrono::milliseconds lifetime,
                             const ServerClock& clock = SteadyServerClock())
      : lifetime_(lifetime), clock_(clock) {}

  std::int32_t Issue(std::int32_t userId) override;
  std::optional<std::int32_t> Lookup(std::int32_t handle) override;
  std::optional<std::int32_t> Attach(std::int32_t handle) override;
  void Detach(std::int32_t handle) override;
  std::size_t Size() override;

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
