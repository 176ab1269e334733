#pragma once
// SessionRegistry: the live connections of a server, so that it can refuse a
// connection over the limit, hand a pushed change to each, and stop them all at
// shutdown. Shared by every thread.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace orvenda::server {

class Session;

class SessionRegistry {
 public:
  explicit SessionRegistry(int maxSessions) : max_(maxSessions) {}

  // False (and nothing kept) when the registry is stopping, or when the limit is
  // reached and no connection yields its place (see Session::Yields).
  bool Add(std::uint64_t id, const std::shared_ptr<Session>& session);
  void Remove(std::uint64_t id);
  // Asks every live session to close; later add() calls fail.
  void StopAll();
  // Calls `visit` for every live session, outside the registry's lock.
  void ForEach(const std::function<void(Session&)>& visit);
  std::size_t Size();

 private:
  int max_;
  bool stopping_ = false;
  std::mutex mutex_;
  // By id, which grows with each connection: the oldest come first.
  std::map<std::uint64_t, std::weak_ptr<Session>> sessions_;
};

}  // namespace orvenda::server
