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

bool ProtocolClient::ReadSome(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  pollfd p{fd_, POLLIN, 0};
  if (fd_ < 0 || eof_ || left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0)
    return false;
  std::uint8_t buf[64 * 1024];
  const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
  eof_ = n <= 0;
  if (n > 0) receiver_.Receive(buf, static_cast<std::size_t>(n));
  return n > 0;
}

std::optional<DWBUffer> ProtocolClient::Receive(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (ready_.empty() && ReadSome(deadline)) {
  }
  if (ready_.empty()) return std::nullopt;
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
  const auto deadline = Clock::now() + timeout;
  while (ReadSome(deadline)) ready_.clear();
  return eof_;
}

std::string ReadFields(DWBUffer& m, std::string_view layout) {
  std::ostringstream out;
  // Numbers in the shortest text that reads back as the same number.
  auto shortest = [&out](auto value) {
    char text[64];
    out << std::string_view(text, std::to_chars(text, text + sizeof text, value).ptr);
  };
  for (const char kind : layout) {
    if (kind == 'B')
      out << int{m.GetByte()};
    else if (kind == 'I')
      out << m.GetInteger();
    else if (kind == 'L')
      out << m.GetLong();
    else if (kind == 'F')
      shortest(m.GetSingle());
    else if (kind == 'D')
      shortest(m.GetDouble());
    else
      out << '"' << m.GetString() << '"';
    out << ' ';
  }
  return out.str();
}

}  // namespace orvenda::server::test
