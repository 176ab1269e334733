#include "viewer/qtconnection.h"

#include <QMetaObject>
#include <algorithm>

namespace orvenda {
namespace {

std::vector<std::uint8_t> ToBytes(const QByteArray& data) {
  return {reinterpret_cast<const std::uint8_t*>(data.constData()),
          reinterpret_cast<const std::uint8_t*>(data.constData()) + data.size()};
}

qint64 Clamp(std::size_t n) {
  return static_cast<qint64>(std::min<std::size_t>(n, static_cast<std::size_t>(INT64_MAX)));
}

}  // namespace

int ConnectionStateFor(QAbstractSocket::SocketState state, bool error, bool peerClosed) {
  if (error) return Connection::kError;
  switch (state) {
    case QAbstractSocket::HostLookupState:
    case QAbstractSocket::ConnectingState:
      return Connection::kConnecting;
    case QAbstractSocket::ConnectedState:
      return Connection::kConnected;
    case QAbstractSocket::BoundState:
      return Connection::kOpen;
    case QAbstractSocket::ClosingState:
      return Connection::kClosing;
    default:
      return peerClosed ? Connection::kClosing : Connection::kClosed;
  }
}

void QtConnection::LaterDeleter::operator()(QTcpSocket* socket) const {
  socket->disconnect();
  socket->abort();
  socket->deleteLater();
}

QtConnection::QtConnection() : socket_(new QTcpSocket), raiseContext_(new QObject) {
  QTcpSocket* s = socket_.get();
  QObject::connect(s, &QTcpSocket::readyRead, s, [this] { OnReadyRead(); });
  QObject::connect(s, &QTcpSocket::errorOccurred, s,
                   [this](QAbstractSocket::SocketError e) { OnError(e); });
  QObject::connect(s, &QTcpSocket::disconnected, s, [this] {
    // Bytes the peer sent before hanging up stay readable.
    if (!error_ && !closedByUs_) peerClosed_ = true;
    if (!closedByUs_) RaiseLost();
  });
}

QtConnection::~QtConnection() = default;

int QtConnection::state() const {
  return ConnectionStateFor(socket_->state(), error_, peerClosed_);
}

void QtConnection::OnError(QAbstractSocket::SocketError error) {
  // The peer hanging up is the closing state, not a fault.
  if (error == QAbstractSocket::RemoteHostClosedError) {
    if (!closedByUs_) peerClosed_ = true;
    return;
  }
  error_ = true;
}

void QtConnection::Close() {
  // Flushes what was sent, then closes; the state reads 8 until it is done.
  closedByUs_ = true;
  socket_->close();
  error_ = false;
  peerClosed_ = false;
}

void QtConnection::SetRemote(const std::string& host, std::int32_t port) {
  host_ = host;
  port_ = port;
}

void QtConnection::Connect() {
  closedByUs_ = true;
  socket_->abort();
  closedByUs_ = false;
  error_ = false;
  peerClosed_ = false;
  if (port_ < 0 || port_ > 65535 || host_.empty()) {
    error_ = true;
    return;
  }
  socket_->connectToHost(QString::fromStdString(host_), static_cast<quint16>(port_));
}

void QtConnection::SendData(const std::vector<std::uint8_t>& bytes) {
  // A send on a socket that is not connected fails, as the protocol expects.
  if (socket_->state() != QAbstractSocket::ConnectedState || bytes.empty()) return;
  socket_->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  socket_->flush();
}

std::size_t QtConnection::BytesAvailable() const {
  return static_cast<std::size_t>(std::max<qint64>(socket_->bytesAvailable(), 0));
}

std::vector<std::uint8_t> QtConnection::GetData(std::size_t n) {
  if (n == 0) return {};
  ++readsWhileRaising_;
  return ToBytes(socket_->read(Clamp(n)));
}

std::vector<std::uint8_t> QtConnection::GetAll() {
  ++readsWhileRaising_;
  return ToBytes(socket_->readAll());
}

std::vector<std::uint8_t> QtConnection::Peek(std::size_t n) const {
  if (n == 0) return {};
  return ToBytes(socket_->peek(Clamp(n)));
}

void QtConnection::OnReadyRead() {
  raiseQueued_ = false;
  if (raising_) {
    // A handler let events run; the running event looks again when it ends.
    arrivedWhileRaising_ = true;
    return;
  }
  raising_ = true;
  arrivedWhileRaising_ = false;
  readsWhileRaising_ = 0;
  const std::size_t before = BytesAvailable();
  RaiseDataArrival();
  raising_ = false;
  const std::size_t after = BytesAvailable();
  // Raised again only when the handler made progress or new bytes came, so a
  // handler that reads nothing is not called in a loop.
  if (after > 0 && (readsWhileRaising_ > 0 || arrivedWhileRaising_ || after > before)) {
    RaiseAgainLater();
  }
}

void QtConnection::RaiseAgainLater() {
  if (raiseQueued_) return;
  raiseQueued_ = true;
  QMetaObject::invokeMethod(
      raiseContext_.get(), [this] { OnReadyRead(); }, Qt::QueuedConnection);
}

}  // namespace orvenda
