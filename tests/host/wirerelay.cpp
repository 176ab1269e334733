#include "wirerelay.h"

#include <QHostAddress>
#include <QTcpSocket>

#include "protocol/messagereceiver.h"

namespace orvenda::testing {

// One client connection and its own connection to the server.
struct WireRelay::Link {
  QTcpSocket* client = nullptr;  // owned by the listener
  QTcpSocket server;
  QByteArray early;           // client bytes that came before the server connection was up
  bool clientClosed = false;  // the client closed first
  bool serverClosed = false;
  MessageReceiver up;
  MessageReceiver down;
};

DWBUffer WireRelay::Message::Fields() const {
  DWBUffer message(bytes);
  message.GetLong();     // "MIC "
  message.GetLong();     // length
  message.GetInteger();  // code
  return message;
}

WireRelay::WireRelay(quint16 serverPort, QObject* parent)
    : QObject(parent), serverPort_(serverPort) {
  listener_.listen(QHostAddress::LocalHost, 0);
  connect(&listener_, &QTcpServer::newConnection, this, &WireRelay::Accept);
}

WireRelay::~WireRelay() {
  for (auto& link : links_) {
    link->server.disconnect();
    if (link->client != nullptr) link->client->disconnect();
    link->server.abort();
  }
}

void WireRelay::Accept() {
  while (QTcpSocket* client = listener_.nextPendingConnection()) {
    const int number = static_cast<int>(links_.size());
    auto& link = *links_.emplace_back(std::make_unique<Link>());
    link.client = client;
    const auto keep = [this, number](std::vector<Message>& into) {
      return [this, number, &into](DWBUffer& message) {
        DWBUffer m(message.bytes());
        m.GetLong();
        m.GetLong();
        into.push_back({number, m.GetInteger(), message.bytes()});
      };
    };
    link.up.SetDeliver(keep(requests_));
    link.down.SetDeliver(keep(replies_));
    const auto fault = [this](const std::string& why) { faults_.push_back(why); };
    link.up.SetFault(fault);
    link.down.SetFault(fault);

    const auto forwardUp = [&link](const QByteArray& bytes) {
      link.up.Receive(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                      static_cast<std::size_t>(bytes.size()));
      if (link.server.state() == QAbstractSocket::ConnectedState) {
        link.server.write(bytes);
      } else {
        link.early += bytes;
      }
    };
    connect(client, &QTcpSocket::readyRead, this,
            [client, forwardUp] { forwardUp(client->readAll()); });
    connect(&link.server, &QTcpSocket::connected, this, [&link] {
      link.server.write(link.early);
      link.early.clear();
    });
    connect(&link.server, &QTcpSocket::readyRead, this, [&link] {
      const QByteArray bytes = link.server.readAll();
      link.down.Receive(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                        static_cast<std::size_t>(bytes.size()));
      link.client->write(bytes);
    });
    // Either side closing closes the other once what it sent has gone through.
    connect(client, &QTcpSocket::disconnected, this, [&link] {
      link.clientClosed = !link.serverClosed;
      link.server.disconnectFromHost();
    });
    connect(&link.server, &QTcpSocket::disconnected, this, [&link] {
      link.serverClosed = true;
      link.client->disconnectFromHost();
    });
    link.server.connectToHost(QHostAddress::LocalHost, serverPort_);
  }
}

bool WireRelay::ClientClosed(int n) const {
  return n >= 0 && n < connections() && links_[static_cast<std::size_t>(n)]->clientClosed;
}

bool WireRelay::ServerClosed(int n) const {
  return n >= 0 && n < connections() && links_[static_cast<std::size_t>(n)]->serverClosed &&
         !links_[static_cast<std::size_t>(n)]->clientClosed;
}

bool WireRelay::Quiet() const {
  for (const auto& link : links_) {
    if (!link->early.isEmpty() || link->up.heldBytes() != 0 || link->down.heldBytes() != 0 ||
        link->server.bytesAvailable() != 0 || link->server.bytesToWrite() != 0 ||
        link->client->bytesAvailable() != 0 || link->client->bytesToWrite() != 0) {
      return false;
    }
  }
  return true;
}

}  // namespace orvenda::testing
