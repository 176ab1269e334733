#pragma once
// ProtocolClient: a test client of the map server on a real loopback socket. Requests
// are built and replies reassembled with the shared codec; every wait is bounded.

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "protocol/dwbuffer.h"
#include "protocol/messagereceiver.h"
#include "store/store.h"

namespace orvenda::server::test {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

class ProtocolClient {
 public:
  // Connects to 127.0.0.1:port; from `source` (another loopback address) when given.
  explicit ProtocolClient(std::uint16_t port, const std::string& source = {});
  ~ProtocolClient();
  ProtocolClient(const ProtocolClient&) = delete;
  ProtocolClient& operator=(const ProtocolClient&) = delete;

  bool Connected() const { return fd_ >= 0; }
  // Sends every byte; false when the connection is gone.
  bool Send(const Bytes& bytes);
  // The next whole message, with its cursor on the first field after the code; nothing
  // when none arrives within `timeout` (a generous bound, not a speed limit) or the
  // connection ends first.
  std::optional<DWBUffer> Receive(std::chrono::milliseconds timeout = 20s);
  // The code of a message received by receive() (read before the cursor moved).
  static std::int16_t CodeOf(const DWBUffer& m);
  // True when the server closes the connection within `timeout` (anything it still
  // sends is discarded).
  bool ClosedByServer(std::chrono::milliseconds timeout = 20s);
  // Shuts the socket down from another thread, to end a send() blocked on it.
  void Abort();

 private:
  using Clock = std::chrono::steady_clock;
  // Reads what arrives before `deadline`; false when nothing did or the stream ended.
  bool ReadSome(Clock::time_point deadline);

  int fd_ = -1;
  bool eof_ = false;
  MessageReceiver receiver_;
  std::deque<DWBUffer> ready_;
};

// The next fields of `m` as one line of text, read by `layout`: one letter per field,
// B Byte, I Integer, L Long, F Single, D Double, S String (in quotes); each is followed
// by a space.
std::string ReadFields(DWBUffer& m, std::string_view layout);

// A request of `code` carrying `fields` in order: a std::int16_t as Integer, other
// integers as Long, text as String.
template <typename... Fields>
Bytes RequestWith(std::int16_t code, const Fields&... fields) {
  DWBUffer b;
  b.CrearHeader();
  b.PutInteger(code);
  [[maybe_unused]] auto put = [&b](const auto& field) {
    using Field = std::decay_t<decltype(field)>;
    if constexpr (std::is_same_v<Field, std::int16_t>) {
      b.PutInteger(field);
    } else if constexpr (std::is_integral_v<Field>) {
      b.PutLong(static_cast<std::int32_t>(field));
    } else {
      b.PutString(std::string(field));
    }
  };
  (put(fields), ...);
  b.cerrarMensaje(0);
  return b.buffer();
}

// Request 2: the elements of one cell of a layer.
inline Bytes CellRequest(std::int32_t layer, CellKey cell) {
  return RequestWith(2, layer, cell.row, cell.column);
}

}  // namespace orvenda::server::test
