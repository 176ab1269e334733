#pragma once
// ViewerContext: what the connection code and the reply handlers reach of the
// viewer that owns them. The Viewer implements it; each viewer has its own.

#include <cstdint>

namespace orvenda {

// Mouse pointer codes used while talking to the server.
inline constexpr int kPointerDefault = 0;
inline constexpr int kPointerArrowHourglass = 13;

// Back colours of the data-arrival indicator (Windows colour values).
inline constexpr std::uint32_t kReadingGreen = 0x00C000;  // RGB(0, 192, 0)
inline constexpr std::uint32_t kReadingRed = 0x0000FF;    // RGB(255, 0, 0)

class ViewerContext {
 public:
  virtual ~ViewerContext() = default;

  virtual std::int32_t PendingRequests() const = 0;
  virtual void SetPendingRequests(std::int32_t value) = 0;

  virtual void SetMousePointer(int pointer) = 0;
  // The pointer of the current mouse tool.
  virtual void RestoreToolPointer() = 0;

  // The data-arrival indicator `shpReadingData`.
  virtual void ShowReadingData(bool visible) = 0;
  virtual std::uint32_t ReadingDataColour() const = 0;
  virtual void SetReadingDataColour(std::uint32_t colour) = 0;

  // Called when a data-arrival event leaves no counted request pending.
  virtual void FinishLoadingPass() = 0;
};

}  // namespace orvenda
