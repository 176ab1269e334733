#pragma once
// RequestFramer: cuts the byte stream of one client into whole requests. It has no
// socket: bytes go in with feed(), whole messages come out of next().
//
// The header is judged by framing::CheckHeader, as the client judges it. A well-behaved
// client only ever sends whole, well-formed messages, so a stream that breaks that
// rule is broken for good; the session closes it.

#include <cstdint>
#include <string>
#include <vector>

#include "protocol/dwbuffer.h"

namespace orvenda::server {

class RequestFramer {
 public:
  enum class Result { NeedMore, Message, Broken };

  explicit RequestFramer(std::int32_t maxMessage) : max_(maxMessage) {}

  void Feed(const std::uint8_t* data, std::size_t n);
  // Message: `out` holds the next whole request with its cursor at 1.
  // Broken: fault() says why; the framer stays broken.
  Result Next(DWBUffer& out);

  const std::string& Fault() const { return fault_; }
  std::size_t Held() const { return bytes_.size() - head_; }

 private:
  Result Break(std::string why);

  std::vector<std::uint8_t> bytes_;
  std::size_t head_ = 0;  // first byte not yet handed out
  std::int32_t max_;
  std::string fault_;
};

}  // namespace orvenda::server
