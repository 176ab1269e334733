#include "loopback.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHostAddress>

#include "protocol/byteimage.h"
#include "protocol/catalogue.h"
#include "protocol/dwbuffer.h"
#include "protocol/version.h"
#include "support/wire.h"

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

void RunPendingEvents() {
  for (int round = 0; round < 5; ++round) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  }
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
    QObject::connect(s, &QTcpSocket::readyRead, s, [this] { received_ += peer_->readAll(); });
    QObject::connect(s, &QTcpSocket::disconnected, s, [this] { disconnected_ = true; });
  });
}

void LoopbackServer::Write(const QByteArray& bytes) {
  peer_->write(bytes);
  peer_->flush();
}

LoginServer::LoginServer() {
  server_.listen(QHostAddress::LocalHost, 0);
  QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
    QTcpSocket* s = server_.nextPendingConnection();
    auto* received = new QByteArray;
    QObject::connect(s, &QObject::destroyed, [received] { delete received; });
    QObject::connect(s, &QTcpSocket::disconnected, s, [this, s] {
      ++hangUps;
      s->deleteLater();
    });
    QObject::connect(s, &QTcpSocket::readyRead, s, [this, s, received] {
      *received += s->readAll();
      while (received->size() >= 10) {
        const auto length = byteimage::FromBytes<std::int32_t>(
            reinterpret_cast<const std::uint8_t*>(received->constData()) + 4);
        if (length < 10 || received->size() < length) return;
        DWBUffer request(std::vector<std::uint8_t>(received->begin(), received->begin() + length));
        received->remove(0, length);
        request.GetLong();
        request.GetLong();
        const std::int16_t code = request.GetInteger();
        requestCodes.push_back(code);
        if (code != cmd::kLogin) continue;
        std::string user = request.GetString();
        std::string password = request.GetString();
        logins.emplace_back(std::move(user), std::move(password));
        s->write(reply);
        s->flush();
      }
    });
  });
}

QByteArray AcceptedReply(std::int32_t user,
                         const std::vector<std::pair<std::int32_t, std::string>>& maps) {
  return QBytes(LoginReply(user, kLibraryVersion, maps));
}

QByteArray TooOldReply() {
  return QBytes(LoginReply(7, Version{static_cast<std::int16_t>(kLibraryVersion.major + 1), 0, 0},
                           {{1, "A"}}));
}

quint16 ClosedPort() {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost, 0);
  const quint16 port = probe.serverPort();
  probe.close();
  return port;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

}  // namespace orvenda::testing
