#include "protocol_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <sstream>

namespace orvenda::server::test {

ProtocolClient::ProtocolClient(std::uint16_t port, const std::string& source)
    : receiver_(ReceiverLimits{64 * 1024 * 1024}) {
  receiver_.SetDeliver([this](DWBUffer& m) { ready_.push_back(std::move(m)); });
  fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd_ < 0) return;
  const int one = 1;
  ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  if (!source.empty()) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    ::inet_pton(AF_INET, source.c_str(), &local.sin_addr);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local);
  }
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  ::inet_pton(AF_INET, "127.0.0.1", &addr.sin_addr);
  if (::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

ProtocolClient::~ProtocolClient() {
  if (fd_ >= 0) ::close(fd_);
}

bool ProtocolClient::Send(const Bytes& bytes) {
  std::size_t sent = 0;
  while (fd_ >= 0 && sent < bytes.size()) {
    const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return fd_ >= 0;
}

bool ProtocolClient::ReadSome(std::chrono::milliseconds timeout) {
  if (fd_ < 0 || eof_) return false;
  pollfd p{fd_, POLLIN, 0};
  if (::poll(&p, 1, static_cast<int>(timeout.count())) <= 0) return false;
  std::uint8_t buf[64 * 1024];
  const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
  if (n <= 0) {
    eof_ = true;
    return false;
  }
  receiver_.Receive(buf, static_cast<std::size_t>(n));
  return true;
}

std::optional<DWBUffer> ProtocolClient::Receive(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (ready_.empty()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || !ReadSome(left)) {
      if (ready_.empty()) return std::nullopt;
    }
  }
  DWBUffer m = std::move(ready_.front());
  ready_.pop_front();
  m.GetLong();
  m.GetLong();
  m.GetInteger();
  return m;
}

std::int16_t ProtocolClient::CodeOf(const DWBUffer& m) {
  DWBUffer copy(m.bytes());
  copy.GetLong();
  copy.GetLong();
  return copy.GetInteger();
}

void ProtocolClient::Abort() {
  if (fd_ >= 0) ::shutdown(fd_, SHUT_RDWR);
}

bool ProtocolClient::ClosedByServer(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!eof_) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    ReadSome(left);
    ready_.clear();
  }
  return true;
}

namespace {

// The shortest text that reads back as the same number.
template <typename Number>
std::string Shortest(Number value) {
  char text[64];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

}  // namespace

std::string ReadFields(DWBUffer& m, std::string_view layout) {
  std::ostringstream out;
  for (const char kind : layout) {
    switch (kind) {
      case 'B':
        out << int{m.GetByte()};
        break;
      case 'I':
        out << m.GetInteger();
        break;
      case 'L':
        out << m.GetLong();
        break;
      case 'F':
        out << Shortest(m.GetSingle());
        break;
      case 'D':
        out << Shortest(m.GetDouble());
        break;
      default:
        out << '"' << m.GetString() << '"';
    }
    out << ' ';
  }
  return out.str();
}

}  // namespace orvenda::server::test
