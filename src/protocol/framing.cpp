#include "protocol/framing.h"

#include <algorithm>

#include "protocol/byteimage.h"

namespace orvenda::framing {

HeaderCheck CheckHeader(const std::uint8_t* bytes, std::size_t held, std::int32_t maxMessage) {
  const std::size_t magicHeld = std::min(held, kMagic.size());
  if (!std::equal(bytes, bytes + magicHeld, kMagic.begin())) {
    return {.frame = Frame::Broken, .badMagic = true};
  }
  if (held < static_cast<std::size_t>(kHeaderSize)) return {};
  const auto length = byteimage::FromBytes<std::int32_t>(bytes + kMagic.size());
  if (length < kMinMessage || length > maxMessage)
    return {.frame = Frame::Broken, .length = length};
  return {.frame = Frame::Message, .length = length};
}

}  // namespace orvenda::framing
