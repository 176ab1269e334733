#pragma once
// QtConnection: the Connection of a viewer or login control over a QTcpSocket.
//
// States: 0 closed, 6 connecting (also while the host name is looked up),
// 7 connected, 8 closing (our close still flushing, or the peer hung up with
// bytes perhaps still unread), 9 error (refused, unreachable, bad port...) until
// the next Close or Connect.
//
// Data arrival is raised from readyRead on the owner's thread. When a handler
// leaves bytes in the socket, or more arrive while it runs (a handler may let
// events run), the event is raised again from the event loop, as a Windows socket
// does, so that no bytes wait for a next packet that may never come.

#include <QTcpSocket>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "protocol/connection.h"

namespace orvenda {

class QtConnection final : public Connection {
 public:
  QtConnection();
  ~QtConnection() override;
  QtConnection(const QtConnection&) = delete;
  QtConnection& operator=(const QtConnection&) = delete;

  int state() const override;
  void Close() override;
  void SetRemote(const std::string& host, std::int32_t port) override;
  void Connect() override;
  std::string RemoteHost() const override { return host_; }
  std::int32_t RemotePort() const override { return port_; }

  void SendData(const std::vector<std::uint8_t>& bytes) override;
  std::size_t BytesAvailable() const override;
  std::vector<std::uint8_t> GetData(std::size_t n) override;
  std::vector<std::uint8_t> GetAll() override;
  std::vector<std::uint8_t> Peek(std::size_t n) const override;

 private:
  void OnReadyRead();
  void OnError(QAbstractSocket::SocketError error);
  void RaiseAgainLater();

  // Deleted through deleteLater: the socket may be inside one of its own signals
  // when the connection goes away.
  struct LaterDeleter {
    void operator()(QTcpSocket* socket) const;
  };
  std::unique_ptr<QTcpSocket, LaterDeleter> socket_;
  std::string host_;
  std::int32_t port_ = 0;
  bool error_ = false;
  bool peerClosed_ = false;
  bool closedByUs_ = false;
  bool raising_ = false;
  bool arrivedWhileRaising_ = false;
  bool raiseQueued_ = false;
  std::size_t readsWhileRaising_ = 0;
  // Receiver of the queued re-raise; deleted at once with the connection, which
  // drops a re-raise still waiting (the socket itself is deleted later).
  std::unique_ptr<QObject> raiseContext_;
};

// The protocol's state code for a Qt socket state.
int ConnectionStateFor(QAbstractSocket::SocketState state, bool error, bool peerClosed);

}  // namespace orvenda
