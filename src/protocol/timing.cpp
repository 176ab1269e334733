#include "protocol/timing.h"

#include <ctime>

namespace orvenda {

std::int32_t SecondsOfDay() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
}

std::int32_t SystemClock::SecondsOfDay() const { return orvenda::SecondsOfDay(); }

}  // namespace orvenda
