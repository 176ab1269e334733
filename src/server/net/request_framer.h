#pragma once
// RequestFramer: cuts the byte stream of one client into whole requests. It has no
// socket: bytes go in with feed(), whole messages come out of next().
//
// A well-behaved client only ever sends whole, well-formed messages, so a stream that
// does not start with "MIC " or declares a length outside [10, maxMessage] is broken
// for good; the session closes it. The declared length is checked before anything is
// kept for it, so a peer cannot make us allocate what it merely declares.

#include <cstdint>
#include <string>
#include <vector>

#include "protocol/dwbuffer.h"

namespace orvenda::server {

class RequestFramer {
 public:
  enum class Result { NeedMore, Message, Broken };
  static constexpr std::int32_t kMinMessage = 10;  // header and command code

  explicit RequestFramer(std::int32_t maxMessage) : max_(maxMessage) {}

  void feed(const std::uint8_t* data, std::size_t n);
  // Message: `out` holds the next whole request with its cursor at 1.
  // Broken: fault() says why; the framer stays broken.
  Result next(DWBUffer& out);

  const std::string& fault() const { return fault_; }
  std::size_t held() const { return bytes_.size() - head_; }

 private:
  Result Break(std::string why);

  std::vector<std::uint8_t> bytes_;
  std::size_t head_ = 0;  // first byte not yet handed out
  std::int32_t max_;
  std::string fault_;
};

}  // namespace orvenda::server
