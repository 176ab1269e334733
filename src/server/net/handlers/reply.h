#pragma once
// Reply building on the shared codec: every reply is a DWBUffer that starts with its
// header and code and is closed with its total length before it is queued.

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

#include "net/handlers/handler_context.h"
#include "protocol/dwbuffer.h"
#include "protocol/fieldvalue.h"
#include "protocol/framing.h"
#include "protocol/protocolerror.h"

namespace orvenda::server {

// The longest reply: what a client takes unless configured otherwise. Replies whose
// rows could pass it stop adding rows short of it.
inline constexpr std::size_t kLongestReply = framing::kDefaultMaxMessage;

// `expected` is the size the reply will likely reach, so that a large reply is built
// without growing its buffer again and again.
inline DWBUffer StartReply(std::int16_t code, std::size_t expected = 0) {
  DWBUffer::Bytes room;
  room.reserve(expected);
  DWBUffer b(std::move(room));
  b.CrearHeader();
  b.PutInteger(code);
  return b;
}

inline DWBUffer FinishReply(DWBUffer b) {
  b.cerrarMensaje(0);
  return b;
}

// Runs `read` (the typed gets of a request); false, with a log line, when the request
// is shorter than its fields or holds an impossible value.
template <typename Read>
bool ReadRequest(const HandlerContext& ctx, std::string_view command, Read&& read) {
  try {
    std::forward<Read>(read)();
    return true;
  } catch (const ProtocolError& e) {
    ctx.Malformed(command, e.what());
    return false;
  }
}

}  // namespace orvenda::server
