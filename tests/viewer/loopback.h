#pragma once
// A peer for socket tests: a QTcpServer on 127.0.0.1 and an ephemeral port that
// takes one client, keeps what it receives and writes what the test tells it to.
// Every wait is bounded and lets events run.

#include <QByteArray>
#include <QTcpServer>
#include <QTcpSocket>
#include <cstdint>
#include <functional>
#include <vector>

namespace orvenda::testing {

// Bytes of a message as Qt holds them.
inline QByteArray QBytes(const std::vector<std::uint8_t>& bytes) {
  return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                    static_cast<qsizetype>(bytes.size()));
}

// Lets events run until `done` holds or `ms` milliseconds pass; true when it held.
bool WaitUntil(const std::function<bool()>& done, int ms = 5000);
// Lets events run for about `ms` milliseconds.
void RunEventsFor(int ms);

class LoopbackServer {
 public:
  LoopbackServer();
  quint16 port() const { return server_.serverPort(); }
  // The accepted client; null until one has connected.
  QTcpSocket* peer() const { return peer_; }
  bool WaitForPeer(int ms = 5000) {
    return WaitUntil([this] { return peer_ != nullptr; }, ms);
  }
  // Called with everything received so far, each time more arrives.
  std::function<void(const QByteArray&)> onReceived;
  const QByteArray& received() const { return received_; }
  void Write(const QByteArray& bytes);
  bool peerDisconnected() const { return disconnected_; }
  void Stop() { server_.close(); }

 private:
  QTcpServer server_;
  QTcpSocket* peer_ = nullptr;
  QByteArray received_;
  bool disconnected_ = false;
};

// A port on 127.0.0.1 where nothing listens (taken and given back at once).
quint16 ClosedPort();

}  // namespace orvenda::testing
