#pragma once
// WireRelay: a TCP relay on 127.0.0.1 and an ephemeral port that forwards every
// connection both ways to a server on loopback and keeps, in order, each whole
// message that went through, cut by the protocol's own receiver. A test puts it
// between the program and the map server to see the requests on the wire.

#include <QObject>
#include <QTcpServer>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "protocol/dwbuffer.h"

namespace orvenda::testing {

class WireRelay : public QObject {
  Q_OBJECT

 public:
  struct Message {
    int connection = 0;  // 0 for the first connection taken, and so on
    std::int16_t code = 0;
    DWBUffer::Bytes bytes;  // the whole message, header included
    // The message with its cursor on the first field after the code.
    DWBUffer Fields() const;
  };

  explicit WireRelay(quint16 serverPort, QObject* parent = nullptr);
  ~WireRelay() override;

  quint16 port() const { return listener_.serverPort(); }
  // Client to server, in the order they arrived.
  const std::vector<Message>& requests() const { return requests_; }
  // Server to client.
  const std::vector<Message>& replies() const { return replies_; }
  int connections() const { return static_cast<int>(links_.size()); }
  // The client of connection `n` has closed it (before the server did).
  bool ClientClosed(int n) const;
  // The server has closed connection `n` (before the client did).
  bool ServerClosed(int n) const;
  // Nothing held by the relay or waiting in its sockets, in either direction.
  bool Quiet() const;
  // Broken stretches of either stream, as the receiver reported them.
  const std::vector<std::string>& faults() const { return faults_; }

 private:
  struct Link;
  void Accept();

  QTcpServer listener_;
  quint16 serverPort_;
  std::vector<std::unique_ptr<Link>> links_;
  std::vector<Message> requests_;
  std::vector<Message> replies_;
  std::vector<std::string> faults_;
};

}  // namespace orvenda::testing
