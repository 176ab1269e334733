#include "net/change_feed.h"

#include "net/session.h"
#include "net/session_registry.h"

namespace orvenda::server {

void ChangeFeed::Publish(std::int32_t layerId, std::shared_ptr<const DWBUffer> message) {
  sessions_.ForEach([&](Session& s) { s.PushChange(layerId, message); });
}

void ChangeFeed::InOrder(const std::function<void()>& edit) {
  std::lock_guard lock(editing_);
  edit();
}

}  // namespace orvenda::server
