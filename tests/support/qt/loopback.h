#pragma once
// Peers for socket tests on 127.0.0.1 and ephemeral ports, and waits that let
// events run until a condition holds (bounded, never a fixed time).

#include <QByteArray>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace orvenda::testing {

// Bytes of a message as Qt holds them.
inline QByteArray QBytes(const std::vector<std::uint8_t>& bytes) {
  return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                    static_cast<qsizetype>(bytes.size()));
}

// Lets events run until `done` holds or `ms` milliseconds pass; true when it held.
bool WaitUntil(const std::function<bool()>& done, int ms = 5000);
// Runs the events already posted and the socket notifications already due, a few
// rounds over, without waiting for more: what is still to come has not happened.
void RunPendingEvents();

// Takes one client, keeps what it receives and writes what the test tells it to.
class LoopbackServer {
 public:
  LoopbackServer();
  quint16 port() const { return server_.serverPort(); }
  // The accepted client; null until one has connected.
  QTcpSocket* peer() const { return peer_; }
  bool WaitForPeer() {
    return WaitUntil([this] { return peer_ != nullptr; });
  }
  const QByteArray& received() const { return received_; }
  void Write(const QByteArray& bytes);
  bool peerDisconnected() const { return disconnected_; }

 private:
  QTcpServer server_;
  QTcpSocket* peer_ = nullptr;
  QByteArray received_;
  bool disconnected_ = false;
};

// Answers every whole login request, on any number of connections, with `reply`
// and keeps the user names and passwords it was sent. Other requests are kept
// and not answered.
class LoginServer {
 public:
  LoginServer();
  quint16 port() const { return server_.serverPort(); }
  QByteArray reply;
  std::vector<std::pair<std::string, std::string>> logins;
  std::vector<std::int16_t> requestCodes;  // every request received, in order
  int hangUps = 0;                         // connections the client closed

 private:
  QTcpServer server_;
};

// A login reply that accepts `user` with these maps (code, name).
QByteArray AcceptedReply(std::int32_t user,
                         const std::vector<std::pair<std::int32_t, std::string>>& maps);
// A reply that asks for a newer library than ours.
QByteArray TooOldReply();

// A port on 127.0.0.1 where nothing listens (taken and given back at once).
quint16 ClosedPort();

void WriteFile(const QString& path, const QByteArray& bytes);

}  // namespace orvenda::testing
