#include "net/handle_table.h"

#include <sodium.h>

#include <stdexcept>

namespace orvenda::server {

std::int32_t HandleTable::RandomHandle() {
  if (sodium_init() < 0) throw std::runtime_error("libsodium could not be initialised");
  return static_cast<std::int32_t>(randombytes_uniform(0x7FFFFFFFu) + 1u);
}

std::int32_t MemoryHandleTable::Issue(std::int32_t userId) {
  std::lock_guard lock(mutex_);
  const auto now = clock_.Now();
  if (++issuedSinceSweep_ >= 1024) Sweep(now);
  while (true) {
    const auto handle = RandomHandle();
    if (entries_.contains(handle)) continue;
    entries_.emplace(handle, Entry{userId, now + lifetime_, 0});
    return handle;
  }
}

MemoryHandleTable::Entry* MemoryHandleTable::FindLive(std::int32_t handle) {
  const auto it = entries_.find(handle);
  if (it == entries_.end()) return nullptr;
  if (!Live(it->second, clock_.Now())) {
    entries_.erase(it);
    return nullptr;
  }
  return &it->second;
}

std::optional<std::int32_t> MemoryHandleTable::Lookup(std::int32_t handle) {
  std::lock_guard lock(mutex_);
  const Entry* entry = FindLive(handle);
  if (!entry) return std::nullopt;
  return entry->userId;
}

std::optional<std::int32_t> MemoryHandleTable::Attach(std::int32_t handle) {
  std::lock_guard lock(mutex_);
  Entry* entry = FindLive(handle);
  if (!entry) return std::nullopt;
  ++entry->users;
  return entry->userId;
}

void MemoryHandleTable::Detach(std::int32_t handle) {
  std::lock_guard lock(mutex_);
  const auto it = entries_.find(handle);
  if (it == entries_.end()) return;
  if (it->second.users > 0) --it->second.users;
  if (!Live(it->second, clock_.Now())) entries_.erase(it);
}

std::size_t MemoryHandleTable::Size() {
  std::lock_guard lock(mutex_);
  Sweep(clock_.Now());
  return entries_.size();
}

void MemoryHandleTable::Sweep(ServerClock::TimePoint now) {
  issuedSinceSweep_ = 0;
  std::erase_if(entries_, [&](const auto& kv) { return !Live(kv.second, now); });
}

}  // namespace orvenda::server
