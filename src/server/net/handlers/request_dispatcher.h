#pragma once
// The table of served commands. Each route names its handler and the empty reply that
// a counted request gets when it is refused, malformed, or fails in the store: the
// client refuses almost everything while a counted request is unanswered, so every
// counted request is answered, whatever happens.

#include <asio/awaitable.hpp>
#include <cstdint>
#include <optional>

#include "net/handlers/handler_context.h"
#include "net/handlers/lenient_reader.h"
#include "protocol/dwbuffer.h"

namespace orvenda::server {

// A handler gets the request with its cursor on the first field. It returns the reply,
// or nothing after it has logged why the request is refused; the empty reply follows.
using SyncHandler = std::optional<DWBUffer> (*)(DWBUffer& request, HandlerContext& ctx);
using AsyncHandler = asio::awaitable<std::optional<DWBUffer>> (*)(DWBUffer& request,
                                                                  HandlerContext& ctx);
// Builds the empty reply from what can still be read of the request; none for a
// request that is not counted.
using EmptyReply = DWBUffer (*)(LenientReader& request);

struct Route {
  std::int16_t code;
  const char* name;
  SyncHandler sync = nullptr;
  AsyncHandler async = nullptr;
  EmptyReply empty = nullptr;  // none for a request that is never answered
};

const Route* FindRoute(std::int16_t code);

// Reads the header of a whole request, runs its handler and returns the reply to send,
// if any. Never throws for anything a client sends.
asio::awaitable<std::optional<DWBUffer>> Dispatch(DWBUffer& request, HandlerContext& ctx);

}  // namespace orvenda::server
