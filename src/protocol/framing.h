#pragma once
// The framing of every message, both ways: "MIC ", a Long total length that counts the
// 8 header bytes, then the command code and fields. One rule for the client's
// MessageReceiver and the server's RequestFramer, so that both ends accept and refuse
// the same streams.

#include <array>
#include <cstddef>
#include <cstdint>

namespace orvenda::framing {

inline constexpr std::array<std::uint8_t, 4> kMagic = {'M', 'I', 'C', ' '};
inline constexpr std::int32_t kHeaderSize = 8;
// Header and command code: the shortest possible message.
inline constexpr std::int32_t kMinMessage = 10;
// The longest message either end takes unless configured otherwise. A receiver holds
// only the bytes that really arrive, never the length a peer declares, so the bound
// is set by what a real reply needs: a grid cell carrying one country's whole coast
// in Doubles (1.4 million points, 23 MB, in the 1:10m land of Natural Earth).
inline constexpr std::int32_t kDefaultMaxMessage = 64 * 1024 * 1024;

enum class Frame {
  NeedMore,  // the bytes held so far may still be a header
  Message,   // a header announcing a message of `length` bytes
  Broken,    // not a message start: a wrong magic, or a length outside the limits
};

struct HeaderCheck {
  Frame frame = Frame::NeedMore;
  // The declared length, for Message and for a Broken header whose magic was right;
  // 0 otherwise.
  std::int32_t length = 0;
  bool badMagic = false;
};

// Checks the header at `bytes` (`held` bytes available). The magic is judged as soon as
// its first byte is there, the length once all 8 header bytes are; nothing the peer
// declares is trusted before it passes [kMinMessage, maxMessage].
[[nodiscard]] HeaderCheck CheckHeader(const std::uint8_t* bytes, std::size_t held,
                                      std::int32_t maxMessage);

}  // namespace orvenda::framing
