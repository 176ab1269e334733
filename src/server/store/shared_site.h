// SharedSite: what the server processes that share one database keep in it, so that
// any of them serves any client: the changes that edits make, in commit order, for
// the viewers of every process; and the login handles.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvenda::server {

// One change an edit committed: message 250 as its author built it, numbered by the
// order in which the edits committed.
struct LoggedChange {
  std::int64_t sequence = 0;
  std::int32_t layerId = 0;
  std::int32_t elementId = 0;
  std::int16_t operation = 0;
  std::string message;
};

// A connection of its own that waits for the changes of every process.
class ChangeWatch {
 public:
  virtual ~ChangeWatch() = default;
  // The changes committed since those returned last, in order, waiting up to `wait`
  // when there are none. Throws StoreError while the database cannot be reached; a
  // later call reconnects (with back-off), listens again and first returns what was
  // committed in between.
  virtual std::vector<LoggedChange> Next(std::chrono::milliseconds wait) = 0;
  // From any thread: a Next that waits returns at once.
  virtual void Interrupt() = 0;
  // The database's process of this connection (an administrator's view of it).
  virtual int BackendPid() const = 0;
};

class SharedSite {
 public:
  virtual ~SharedSite() = default;

  // Inside the write transaction of an edit: the change joins the log, and every
  // process is notified once (and only if) the transaction commits.
  virtual void LogChange(std::int32_t layerId, std::int32_t elementId, std::int16_t operation,
                         std::string_view message) = 0;
  virtual std::unique_ptr<ChangeWatch> WatchChanges() = 0;

  // Login handles; times are milliseconds on a clock that the processes share. A handle
  // lives until `expires`, and past it while a connection of a live process holds it.
  // False when the handle is taken.
  virtual bool AddHandle(std::int32_t handle, std::int32_t userId, std::int64_t expires) = 0;
  // The account of a live handle; `attach` makes one more connection hold it.
  virtual std::optional<std::int32_t> FindHandle(std::int32_t handle, std::int64_t now,
                                                 bool attach) = 0;
  virtual void DetachHandle(std::int32_t handle, std::int64_t now) = 0;
  // Forgets the dead handles and counts the live ones.
  virtual std::size_t LiveHandles(std::int64_t now) = 0;
};

}  // namespace orvenda::server
