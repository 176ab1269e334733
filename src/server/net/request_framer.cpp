#include "net/request_framer.h"

#include <cstring>

#include "protocol/byteimage.h"

namespace orvenda::server {

void RequestFramer::feed(const std::uint8_t* data, std::size_t n) {
  if (!fault_.empty()) return;
  // Drop what was handed out before growing, so a long-lived connection stays small.
  if (head_ > 0 && head_ == bytes_.size()) {
    bytes_.clear();
    head_ = 0;
  } else if (head_ > 64 * 1024 && head_ * 2 > bytes_.size()) {
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(head_));
    head_ = 0;
  }
  bytes_.insert(bytes_.end(), data, data + n);
}

RequestFramer::Result RequestFramer::Break(std::string why) {
  fault_ = std::move(why);
  bytes_.clear();
  head_ = 0;
  return Result::Broken;
}

RequestFramer::Result RequestFramer::next(DWBUffer& out) {
  if (!fault_.empty()) return Result::Broken;
  const std::size_t have = held();
  if (have == 0) return Result::NeedMore;
  const std::uint8_t* p = bytes_.data() + head_;
  // The magic is checked as soon as its bytes are in, not when the header is whole.
  static constexpr std::uint8_t kMagic[4] = {'M', 'I', 'C', ' '};
  if (std::memcmp(p, kMagic, have < 4 ? have : 4) != 0) return Break("bad magic");
  if (have < static_cast<std::size_t>(DWBUffer::kHeaderSize)) return Result::NeedMore;
  const std::int32_t length = byteimage::FromBytes<std::int32_t>(p + 4);
  if (length < kMinMessage || length > max_) {
    return Break("declared length " + std::to_string(length) + " out of range");
  }
  if (have < static_cast<std::size_t>(length)) return Result::NeedMore;
  out.buffer(DWBUffer::Bytes(p, p + length));
  head_ += static_cast<std::size_t>(length);
  return Result::Message;
}

}  // namespace orvenda::server
