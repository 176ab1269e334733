#pragma once
// What a command handler reaches: the store of its network thread, the services that
// every thread shares, and the state of the connection the request came on.

#include <asio/any_io_executor.hpp>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "net/change_feed.h"
#include "net/handle_table.h"
#include "net/login_throttle.h"
#include "net/server_clock.h"
#include "net/server_config.h"
#include "net/server_log.h"
#include "store/store.h"

namespace orvenda::server {

// Shared by all connections of one server; each member is safe to use from any thread.
struct ServerServices {
  const ServerConfig& config;
  ServerLog& log;
  const ServerClock& clock;  // every time limit reads this
  HandleTable& handles;
  LoginThrottle& throttle;
  // Where password hashing runs, away from the network threads (it takes tens of
  // milliseconds and lots of memory by design).
  asio::any_io_executor passwordExecutor;
  // An Argon2id hash of nothing anybody knows, checked for unknown user names.
  std::string dummyHash;
  ChangeFeed& changes;  // message 250 to every viewer of a layer
};

// One connection's view of who is talking and what is open.
struct ConnectionState {
  std::uint64_t id = 0;
  std::string address;       // the peer's IP address (login throttling)
  std::string peer;          // address and port, for log lines
  std::int32_t handle = 0;   // login handle bound by request 10 (attached), 0 for none
  std::int32_t userId = 0;   // the account behind it
  std::int32_t mapCode = 0;  // the map that request 10 opened
  bool mapOpen = false;
  // The layers of the open map and their kinds (request 10 fills it, 1 renews it):
  // edits are taken, and changes pushed, for these layers only.
  std::unordered_map<std::int32_t, LayerKind> mapLayers;
  bool closeAfterReply = false;  // the login connection ends with reply 112
  bool closeAtOnce = false;      // ...without waiting for the client (a refused login)
  // Set once the connection has closed: a password check still queued for it is
  // dropped instead of hashed.
  std::shared_ptr<std::atomic<bool>> gone = std::make_shared<std::atomic<bool>>(false);
  // Watches the connection while a password check waits, so that a client that
  // leaves is noticed (and `gone` set) before its turn comes.
  std::function<void()> watchPeer;
  // Cell sizes of the layers read on this connection (they never change).
  std::unordered_map<std::int32_t, LayerGrid> grids;
  // Large elements already sent in a cell reply, per layer. A viewer keeps every element
  // it is sent until it takes the map definition again (request 10 or 1 empties this),
  // and pushed changes keep them current; so a coast that spans hundreds of cells
  // travels once instead of once per cell.
  std::unordered_map<std::int32_t, ElementIds> sentElements;
  // The user's rights on the layers read lately. A viewer asks for hundreds of cells
  // of a layer in a burst; the rights are read again once an entry is this old, so a
  // revoked right stops being served within that time on open connections too.
  static constexpr std::chrono::seconds kAccessFresh{2};
  struct KnownAccess {
    AccessLevel level;
    ServerClock::TimePoint read;
  };
  std::unordered_map<std::int32_t, KnownAccess> access;
};

struct HandlerContext {
  Store& store;
  ServerServices& services;
  ConnectionState& conn;

  // True when a map is open and its user may see the layer; otherwise logs the
  // refusal of `command`.
  bool CanRead(std::int32_t layerId, std::string_view command) const;
  // The user's level on the layer as reads see it (kept for kAccessFresh).
  AccessLevel AccessOf(std::int32_t layerId) const;

  // The account behind a login handle the request presents, attached to this
  // connection when `attach` (request 10). An unknown handle is refused, logged and
  // counted as a guess against the address; an address that failed too often has
  // every handle refused until its failures age out.
  std::optional<std::int32_t> AccountOf(std::int32_t handle, std::string_view command,
                                        bool attach = false);

  // One log line about this connection.
  void Log(std::string_view text) const;
  // A request that was answered with a refusal (unknown handle, no access...).
  void Refused(std::string_view command, std::string_view why) const;
  // A request whose fields could not be read; it still gets its (empty) reply.
  void Malformed(std::string_view command, std::string_view why) const;
  // A request the store could not answer: a refusal when it named something absent or
  // gave a bad value, a storage failure otherwise.
  void StoreFailed(std::string_view command, const StoreError& error) const;
};

}  // namespace orvenda::server
