#pragma once
// Connection: the TCP socket of one viewer or login control. The real one wraps a
// QTcpSocket; tests use an in-memory peer or the real server on loopback.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvenda {

class Connection {
 public:
  // The socket states the protocol code looks at.
  enum State : int {
    kClosed = 0,
    kOpen = 1,
    kConnecting = 6,
    kConnected = 7,
    kClosing = 8,
    kError = 9,
  };

  virtual ~Connection() = default;

  virtual int state() const = 0;
  virtual void Close() = 0;
  // Where the next Connect goes.
  virtual void SetRemote(const std::string& host, std::int32_t port) = 0;
  // Starts connecting; the state moves on while events are pumped.
  virtual void Connect() = 0;
  // Host and port of the last connection (or of the last SetRemote).
  virtual std::string RemoteHost() const = 0;
  virtual std::int32_t RemotePort() const = 0;

  // Hands the whole message to the socket in one call.
  virtual void SendData(const std::vector<std::uint8_t>& bytes) = 0;
  virtual std::size_t BytesAvailable() const = 0;
  // Up to n bytes; fewer when fewer are available.
  virtual std::vector<std::uint8_t> GetData(std::size_t n) = 0;
  virtual std::vector<std::uint8_t> GetAll() = 0;
  // Up to n bytes, left in the socket.
  virtual std::vector<std::uint8_t> Peek(std::size_t n) const = 0;

  // Called on the owner's thread when new bytes have arrived.
  void SetDataArrival(std::function<void()> handler) { dataArrival_ = std::move(handler); }
  // Called on the owner's thread when the connection ended without Close: the
  // peer hung up or the network failed. Bytes that came before stay readable.
  void SetLost(std::function<void()> handler) { lost_ = std::move(handler); }

 protected:
  void RaiseDataArrival() {
    if (dataArrival_) dataArrival_();
  }
  void RaiseLost() {
    if (lost_) lost_();
  }

 private:
  std::function<void()> dataArrival_;
  std::function<void()> lost_;
};

}  // namespace orvenda
