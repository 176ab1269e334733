#include "loopback.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>

namespace orvenda::testing {

bool WaitUntil(const std::function<bool()>& done, int ms) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

void RunEventsFor(int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

LoopbackServer::LoopbackServer() {
  server_.listen(QHostAddress::LocalHost, 0);
  QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
    QTcpSocket* s = server_.nextPendingConnection();
    if (peer_ != nullptr) {  // one client only
      s->abort();
      return;
    }
    peer_ = s;
    QObject::connect(s, &QTcpSocket::readyRead, s, [this] {
      received_ += peer_->readAll();
      if (onReceived) onReceived(received_);
    });
    QObject::connect(s, &QTcpSocket::disconnected, s, [this] { disconnected_ = true; });
  });
}

void LoopbackServer::Write(const QByteArray& bytes) {
  peer_->write(bytes);
  peer_->flush();
}

quint16 ClosedPort() {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost, 0);
  const quint16 port = probe.serverPort();
  probe.close();
  return port;
}

}  // namespace orvenda::testing
