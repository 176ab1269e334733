#pragma once
// Clock and EventPump: the wall clock and "let pending window events run", as
// seams so that waiting loops run in tests without waiting.

#include <cstdint>

namespace orvenda {

class Clock {
 public:
  virtual ~Clock() = default;
  // hour * 3600 + minute * 60 + second of the local time.
  virtual std::int32_t SecondsOfDay() const = 0;
};

class EventPump {
 public:
  virtual ~EventPump() = default;
  virtual void ProcessEvents() = 0;
};

// The local wall clock.
class SystemClock final : public Clock {
 public:
  std::int32_t SecondsOfDay() const override;
};

// The free function form used where no clock is injected.
std::int32_t SecondsOfDay();

}  // namespace orvenda
