#pragma once
// QtEventPump: "let pending window events run" on the Qt event loop of the calling
// thread. Each call runs what is pending, or waits a few milliseconds for the next
// event, so that a waiting loop neither spins nor stalls.

#include "protocol/timing.h"

namespace orvenda {

class QtEventPump final : public EventPump {
 public:
  // The longest a call waits when no event is pending.
  static constexpr int kWaitMilliseconds = 10;
  void ProcessEvents() override;
};

}  // namespace orvenda
