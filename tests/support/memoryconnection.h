#pragma once
// MemoryConnection: a socket whose peer is the test. The test delivers bytes
// (raising the data-arrival event), reads what was sent, and decides how a
// connection attempt ends.

#include <deque>
#include <vector>

#include "protocol/connection.h"

namespace orvenda::testing {

class MemoryConnection : public Connection {
 public:
  // How Connect behaves: reach `connectTo` after `connectAfterPumps` calls of Pump().
  int connectTo = kConnected;
  int connectAfterPumps = 0;

  int state() const override { return state_; }
  void Close() override;
  void SetRemote(const std::string& host, std::int32_t port) override;
  void Connect() override;
  std::string RemoteHost() const override { return host_; }
  std::int32_t RemotePort() const override { return port_; }

  void SendData(const std::vector<std::uint8_t>& bytes) override;
  std::size_t BytesAvailable() const override { return inbound_.size(); }
  std::vector<std::uint8_t> GetData(std::size_t n) override;
  std::vector<std::uint8_t> GetAll() override { return GetData(inbound_.size()); }
  std::vector<std::uint8_t> Peek(std::size_t n) const override;

  // The test's side.
  void SetState(int state) { state_ = state; }
  // Bytes from the peer: queued, then the data-arrival event.
  void Deliver(const std::vector<std::uint8_t>& bytes);
  // The peer hangs up: the state reads closed and the lost event is raised.
  void HangUp() {
    state_ = kClosed;
    RaiseLost();
  }
  // Advances a pending connection attempt by one step.
  void Pump();
  // Every message sent, one entry per SendData call.
  const std::vector<std::vector<std::uint8_t>>& sent() const { return sent_; }
  void ClearSent() { sent_.clear(); }
  int connectCalls() const { return connectCalls_; }

 private:
  int state_ = kClosed;
  std::string host_;
  std::int32_t port_ = 0;
  std::deque<std::uint8_t> inbound_;
  std::vector<std::vector<std::uint8_t>> sent_;
  int pumpsLeft_ = -1;
  int connectCalls_ = 0;
};

}  // namespace orvenda::testing
