#include "net/request_framer.h"

#include "protocol/framing.h"

namespace orvenda::server {

void RequestFramer::Feed(const std::uint8_t* data, std::size_t n) {
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

RequestFramer::Result RequestFramer::Next(DWBUffer& out) {
  if (!fault_.empty()) return Result::Broken;
  const std::size_t have = Held();
  const std::uint8_t* p = bytes_.data() + head_;
  const framing::HeaderCheck check = framing::CheckHeader(p, have, max_);
  if (check.frame == framing::Frame::Broken) {
    return Break(check.badMagic
                     ? "bad magic"
                     : "declared length " + std::to_string(check.length) + " out of range");
  }
  if (check.frame == framing::Frame::NeedMore || have < static_cast<std::size_t>(check.length)) {
    return Result::NeedMore;
  }
  out.buffer(DWBUffer::Bytes(p, p + check.length));
  head_ += static_cast<std::size_t>(check.length);
  return Result::Message;
}

}  // namespace orvenda::server
