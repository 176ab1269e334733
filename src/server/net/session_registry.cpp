#include "net/session_registry.h"

#include <algorithm>
#include <vector>

#include "net/session.h"

namespace orvenda::server {

bool SessionRegistry::Add(std::uint64_t id, const std::shared_ptr<Session>& session) {
  std::shared_ptr<Session> evicted;
  {
    std::lock_guard lock(mutex_);
    if (stopping_) return false;
    if (static_cast<int>(sessions_.size()) >= max_) {
      // Full: the oldest connection that may yield makes room (a flood of connections
      // that never open a map cannot keep everybody else out).
      const auto oldest = std::find_if(sessions_.begin(), sessions_.end(), [](const auto& kv) {
        const auto s = kv.second.lock();
        return s && s->Yields();
      });
      if (oldest == sessions_.end()) return false;
      evicted = oldest->second.lock();
      sessions_.erase(oldest);
    }
    sessions_.emplace(id, session);
  }
  if (evicted) evicted->Stop("made room for a newer connection", Session::Ending::Reset);
  return true;
}

void SessionRegistry::Remove(std::uint64_t id) {
  std::lock_guard lock(mutex_);
  sessions_.erase(id);
}

void SessionRegistry::StopAll() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  ForEach([](Session& s) { s.Stop(); });
}

void SessionRegistry::ForEach(const std::function<void(Session&)>& visit) {
  std::vector<std::shared_ptr<Session>> live;
  {
    std::lock_guard lock(mutex_);
    live.reserve(sessions_.size());
    for (auto& [id, weak] : sessions_) {
      if (auto s = weak.lock()) live.push_back(std::move(s));
    }
  }
  // Outside the lock: a session removes itself while closing.
  for (auto& s : live) visit(*s);
}

std::size_t SessionRegistry::Size() {
  std::lock_guard lock(mutex_);
  return sessions_.size();
}

}  // namespace orvenda::server
