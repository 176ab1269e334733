#pragma once
// Session: one client connection. Three coroutines share its (single-threaded)
// executor: a reader that cuts requests out of the stream and answers them in order,
// a writer with one write in flight and a queue behind it, and a watchdog that ends
// an idle connection or one whose reader has stopped taking our replies.
//
// A slow reader cannot grow the queue without bound: above maxQueuedBytes the reader
// stops taking requests until the writer catches up. Changes pushed by other
// connections' edits (message 250) cannot wait like that; they may take the queue to
// twice maxQueuedBytes, and a push beyond that closes the connection rather than drop
// the change: a viewer that missed one would show a wrong map without knowing it.

#include <asio/awaitable.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/steady_timer.hpp>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "net/handlers/handler_context.h"
#include "net/request_framer.h"
#include "protocol/dwbuffer.h"

namespace orvenda::server {

class SessionRegistry;

class Session : public std::enable_shared_from_this<Session> {
 public:
  Session(asio::ip::tcp::socket socket, std::uint64_t id, Store& store, ServerServices& services,
          SessionRegistry& registry);

  // Starts the coroutines; call once, after the registry has taken the session.
  void Start();
  // How a connection ends: Reset for one that is owed nothing (a broken stream, one
  // that made room or was refused), which spares both ends the closing handshake and
  // this end its TIME_WAIT; a flood of such connections costs that much less.
  enum class Ending { Orderly, Reset };
  // Closes the connection from any thread.
  void Stop(const std::string& why = "server shutting down", Ending how = Ending::Orderly);
  // Whether it gives its place to a newer connection when the server is full: true
  // until it opens a map, except while a request of its own is being answered or its
  // login reply is on its way. Safe from any thread.
  bool Yields() const { return yields_.load(); }
  // Queues message 250 about `layerId`, from any thread, when this connection's open
  // map holds the layer and its user may read it (decided on the session's thread).
  void PushChange(std::int32_t layerId, std::shared_ptr<const DWBUffer> message);
  // Closes a connection that was never started (over the connection limit).
  void Reject(const std::string& why) { Close("refused: " + why, Ending::Reset); }

 private:
  asio::awaitable<void> Reader();
  asio::awaitable<void> Writer();
  asio::awaitable<void> Watchdog();
  // Answers every whole request the framer holds; false when the session must stop
  // taking requests (closed, broken stream, or the login reply sent).
  asio::awaitable<bool> AnswerHeld();
  asio::awaitable<void> WaitForRoom();
  void Enqueue(DWBUffer reply);
  void DeliverChange(std::int32_t layerId, const DWBUffer& message);
  void Close(const std::string& why, Ending how = Ending::Orderly);
  // Notices a client that closes while its request is being answered.
  void WatchPeer();
  bool PeerGone();
  std::chrono::milliseconds IdleLimit() const;

  asio::ip::tcp::socket socket_;
  Store& store_;
  ServerServices& services_;
  SessionRegistry& registry_;
  ConnectionState state_;
  RequestFramer framer_;

  std::deque<DWBUffer> queue_;
  std::size_t queuedBytes_ = 0;
  asio::steady_timer wakeWriter_;  // "never expires"; cancelled when there is work
  asio::steady_timer roomMade_;    // cancelled when the writer drains the queue
  asio::steady_timer watchdog_;

  ServerClock::TimePoint lastActivity_;
  ServerClock::TimePoint writeStarted_;
  bool writing_ = false;
  bool answering_ = false;  // a request is being handled (a login may take a while)
  bool finishing_ = false;  // the login reply is queued: flush, then close
  ServerClock::TimePoint finishDeadline_;
  bool closed_ = false;
  std::atomic<bool> yields_{true};
  std::uint64_t requests_ = 0;
};

}  // namespace orvenda::server
