#include "net/shared_handle_table.h"

namespace orvenda::server {

SharedHandleTable::SharedHandleTable(std::unique_ptr<Store> store,
                                     std::chrono::milliseconds lifetime, const ServerClock& clock)
    : store_(std::move(store)),
      site_(*store_->Shared()),
      lifetime_(lifetime),
      clock_(clock),
      wallAtStart_(std::chrono::system_clock::now()),
      clockAtStart_(clock.Now()) {}

std::int64_t SharedHandleTable::Now() const {
  const auto wall = wallAtStart_ + (clock_.Now() - clockAtStart_);
  return std::chrono::duration_cast<std::chrono::milliseconds>(wall.time_since_epoch()).count();
}

std::int32_t SharedHandleTable::Issue(std::int32_t userId) {
  std::lock_guard lock(mutex_);
  const std::int64_t now = Now();
  if (++issuedSinceSweep_ >= 1024) {
    issuedSinceSweep_ = 0;
    site_.LiveHandles(now);
  }
  const std::int64_t expires = now + lifetime_.count();
  while (true) {
    const auto handle = RandomHandle();
    if (site_.AddHandle(handle, userId, expires)) return handle;
  }
}

std::optional<std::int32_t> SharedHandleTable::Lookup(std::int32_t handle) {
  std::lock_guard lock(mutex_);
  return site_.FindHandle(handle, Now(), false);
}

std::optional<std::int32_t> SharedHandleTable::Attach(std::int32_t handle) {
  std::lock_guard lock(mutex_);
  return site_.FindHandle(handle, Now(), true);
}

void SharedHandleTable::Detach(std::int32_t handle) {
  std::lock_guard lock(mutex_);
  try {
    site_.DetachHandle(handle, Now());
  } catch (const StoreError&) {
    // A connection that ends while the database is away: the hold was made on the
    // connection that was lost, and ended with it.
  }
}

std::size_t SharedHandleTable::Size() {
  std::lock_guard lock(mutex_);
  return site_.LiveHandles(Now());
}

}  // namespace orvenda::server
