#pragma once
// ChangeFeed: the changes in a layer (message 250) on their way to every connection
// that shows the layer. An edit publishes after its transaction has committed; the
// feed hands the message to each live session, and each session decides on its own
// network thread, with its own store, whether its open map holds the layer and its
// user may read it. The interface is only "this message is about this layer", so that
// a backend shared by several server processes can feed it from its own notifications.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "protocol/dwbuffer.h"

namespace orvenda::server {

class SessionRegistry;

class ChangeFeed {
 public:
  explicit ChangeFeed(SessionRegistry& sessions) : sessions_(sessions) {}

  // Safe from any thread; returns at once (the sessions queue the message later).
  void Publish(std::int32_t layerId, std::shared_ptr<const DWBUffer> message);

  // Runs `edit` (a write and the Publish calls that follow its commit) alone among the
  // edits of this process. Two edits of one element on two network threads would
  // otherwise publish in an order other than the one they were stored in, and a viewer
  // would be left with the older change.
  void InOrder(const std::function<void()>& edit);

 private:
  SessionRegistry& sessions_;
  std::mutex editing_;
};

}  // namespace orvenda::server
