#include "support/memoryconnection.h"

namespace orvenda::testing {

void MemoryConnection::Close() {
  state_ = kClosed;
  pumpsLeft_ = -1;
}

void MemoryConnection::SetRemote(const std::string& host, std::int32_t port) {
  host_ = host;
  port_ = port;
}

void MemoryConnection::Connect() {
  ++connectCalls_;
  state_ = kConnecting;
  pumpsLeft_ = connectAfterPumps;
  if (pumpsLeft_ == 0) Pump();
}

void MemoryConnection::Pump() {
  if (pumpsLeft_ > 0) --pumpsLeft_;
  if (pumpsLeft_ == 0) {
    state_ = connectTo;
    pumpsLeft_ = -1;
  }
}

void MemoryConnection::SendData(const std::vector<std::uint8_t>& bytes) { sent_.push_back(bytes); }

std::vector<std::uint8_t> MemoryConnection::GetData(std::size_t n) {
  n = std::min(n, inbound_.size());
  std::vector<std::uint8_t> out(inbound_.begin(), inbound_.begin() + static_cast<long>(n));
  inbound_.erase(inbound_.begin(), inbound_.begin() + static_cast<long>(n));
  return out;
}

std::vector<std::uint8_t> MemoryConnection::Peek(std::size_t n) const {
  n = std::min(n, inbound_.size());
  return {inbound_.begin(), inbound_.begin() + static_cast<long>(n)};
}

void MemoryConnection::Deliver(const std::vector<std::uint8_t>& bytes) {
  inbound_.insert(inbound_.end(), bytes.begin(), bytes.end());
  RaiseDataArrival();
}

}  // namespace orvenda::testing
