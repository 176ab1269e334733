#include "net/session.h"

#include <sys/socket.h>

#include <asio/co_spawn.hpp>
#include <asio/detached.hpp>
#include <asio/post.hpp>
#include <asio/read.hpp>
#include <asio/redirect_error.hpp>
#include <asio/use_awaitable.hpp>
#include <asio/write.hpp>
#include <cerrno>
#include <vector>

#include "net/handlers/request_dispatcher.h"
#include "net/session_registry.h"

namespace orvenda::server {
namespace {

using asio::use_awaitable;
// After the login reply the client closes; a client that does not is closed after this.
constexpr std::chrono::milliseconds kFinishGrace{2000};
// One write carries at most this much of the queue.
constexpr std::size_t kMaxBatchBytes = 256 * 1024;

std::string Describe(const asio::ip::tcp::socket& s, std::string* address) {
  asio::error_code ec;
  const auto ep = s.remote_endpoint(ec);
  if (ec) return "?";
  *address = ep.address().to_string();
  return *address + ":" + std::to_string(ep.port());
}

}  // namespace

Session::Session(asio::ip::tcp::socket socket, std::uint64_t id, Store& store,
                 ServerServices& services, SessionRegistry& registry)
    : socket_(std::move(socket)),
      store_(store),
      services_(services),
      registry_(registry),
      framer_(services.config.maxMessage),
      wakeWriter_(socket_.get_executor()),
      roomMade_(socket_.get_executor()),
      watchdog_(socket_.get_executor()),
      lastActivity_(services.clock.Now()) {
  state_.id = id;
  state_.peer = Describe(socket_, &state_.address);
  asio::error_code ec;
  socket_.set_option(asio::ip::tcp::no_delay(true), ec);  // replies are small and awaited
  state_.watchPeer = [this] { WatchPeer(); };
}

void Session::Start() {
  auto self = shared_from_this();
  const auto ex = socket_.get_executor();
  asio::co_spawn(
      ex, [self] { return self->Reader(); }, asio::detached);
  asio::co_spawn(
      ex, [self] { return self->Writer(); }, asio::detached);
  asio::co_spawn(
      ex, [self] { return self->Watchdog(); }, asio::detached);
}

void Session::Stop(const std::string& why, Ending how) {
  asio::post(socket_.get_executor(),
             [self = shared_from_this(), why, how] { self->Close(why, how); });
}

std::chrono::milliseconds Session::IdleLimit() const {
  return state_.mapOpen ? services_.config.idleTimeout : services_.config.handshakeTimeout;
}

void Session::Close(const std::string& why, Ending how) {
  if (closed_) return;
  closed_ = true;
  state_.gone->store(true);
  HandlerContext{store_, services_, state_}.Log("closed after " + std::to_string(requests_) +
                                                " requests: " + why);
  asio::error_code ec;
  if (how == Ending::Reset)
    socket_.set_option(asio::socket_base::linger(true, 0), ec);
  else
    socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ec);
  socket_.close(ec);
  wakeWriter_.cancel();
  roomMade_.cancel();
  watchdog_.cancel();
  if (state_.handle != 0) services_.handles.Detach(state_.handle);
  state_.handle = 0;
  registry_.Remove(state_.id);
}

bool Session::PeerGone() {
  // Either the client's end (or a reset), or more requests, which are left for the
  // reader.
  char c = 0;
  const auto n = ::recv(socket_.native_handle(), &c, 1, MSG_PEEK | MSG_DONTWAIT);
  return n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
}

void Session::WatchPeer() {
  // The end may have come with the request itself, its readiness already reported:
  // look first, then wait for what comes later.
  if (closed_ || PeerGone()) {
    Close("closed by the client while its request waited");
    return;
  }
  socket_.async_wait(asio::socket_base::wait_read,
                     [self = shared_from_this()](const asio::error_code& ec) {
                       if (ec || self->closed_ || !self->answering_) return;
                       if (self->PeerGone())
                         self->Close("closed by the client while its request waited");
                     });
}

void Session::Enqueue(DWBUffer reply) {
  queuedBytes_ += reply.bytes().size();
  queue_.push_back(std::move(reply));
  wakeWriter_.cancel();
}

void Session::PushChange(std::int32_t layerId, std::shared_ptr<const DWBUffer> message) {
  asio::post(socket_.get_executor(),
             [self = shared_from_this(), layerId, message = std::move(message)] {
               self->DeliverChange(layerId, *message);
             });
}

void Session::DeliverChange(std::int32_t layerId, const DWBUffer& message) {
  if (closed_ || !state_.mapOpen || !state_.mapLayers.contains(layerId)) return;
  // The rights are those every read of this connection sees (at most a few seconds old).
  HandlerContext ctx{store_, services_, state_};
  try {
    if (ctx.AccessOf(layerId) == AccessLevel::NoAccess) return;
  } catch (const StoreError& e) {
    ctx.StoreFailed("pushed change (250)", e);
    return;
  }
  // A change larger than the whole allowance still goes to a viewer that keeps up.
  if (queuedBytes_ > 0 &&
      queuedBytes_ + message.bytes().size() > 2 * services_.config.maxQueuedBytes) {
    Close("the client stopped reading pushed changes");
    return;
  }
  Enqueue(DWBUffer(message.bytes()));
}

asio::awaitable<void> Session::WaitForRoom() {
  while (!closed_ && queuedBytes_ > services_.config.maxQueuedBytes) {
    asio::error_code ec;
    roomMade_.expires_at(asio::steady_timer::time_point::max());
    co_await roomMade_.async_wait(asio::redirect_error(use_awaitable, ec));
  }
}

asio::awaitable<bool> Session::AnswerHeld() {
  DWBUffer request;
  while (!closed_) {
    co_await WaitForRoom();
    if (closed_) break;
    const auto r = framer_.Next(request);
    if (r == RequestFramer::Result::NeedMore) co_return true;
    if (r == RequestFramer::Result::Broken) {
      Close("malformed stream (" + framer_.Fault() + ")", Ending::Reset);
      break;
    }
    ++requests_;
    HandlerContext ctx{store_, services_, state_};
    answering_ = true;
    yields_ = false;
    auto reply = co_await Dispatch(request, ctx);
    answering_ = false;
    yields_ = !state_.mapOpen && !state_.closeAfterReply;
    lastActivity_ = services_.clock.Now();
    if (closed_) break;
    if (reply) Enqueue(std::move(*reply));
    if (state_.closeAfterReply) {
      finishing_ = true;
      finishDeadline_ = services_.clock.Now() + kFinishGrace;
      wakeWriter_.cancel();
      break;
    }
  }
  co_return false;
}

asio::awaitable<void> Session::Reader() {
  // On the connection's own thread, not the one that accepts for every connection.
  HandlerContext{store_, services_, state_}.Log("connected");
  std::vector<std::uint8_t> buf(16 * 1024);
  asio::error_code ec;
  bool answering = true;
  while (!closed_) {
    const std::size_t n = co_await socket_.async_read_some(asio::buffer(buf),
                                                           asio::redirect_error(use_awaitable, ec));
    if (ec) {
      Close(ec == asio::error::eof ? "closed by the client" : ec.message());
      co_return;
    }
    lastActivity_ = services_.clock.Now();
    if (!answering) continue;  // after the login reply: wait for the client to close
    framer_.Feed(buf.data(), n);
    answering = co_await AnswerHeld();
  }
}

asio::awaitable<void> Session::Writer() {
  std::vector<DWBUffer> batch;
  std::vector<asio::const_buffer> views;
  while (!closed_) {
    if (queue_.empty()) {
      if (finishing_) {
        // Everything sent: half-close so the client sees the end after our reply.
        asio::error_code ec;
        socket_.shutdown(asio::ip::tcp::socket::shutdown_send, ec);
        if (state_.closeAtOnce) {
          Close("login refused");
          co_return;
        }
      }
      asio::error_code ec;
      wakeWriter_.expires_at(asio::steady_timer::time_point::max());
      co_await wakeWriter_.async_wait(asio::redirect_error(use_awaitable, ec));
      continue;
    }
    batch.clear();
    views.clear();
    std::size_t size = 0;
    while (!queue_.empty() &&
           (batch.empty() || size + queue_.front().bytes().size() <= kMaxBatchBytes)) {
      size += queue_.front().bytes().size();
      batch.push_back(std::move(queue_.front()));
      queue_.pop_front();
    }
    for (const auto& b : batch) views.emplace_back(asio::buffer(b.bytes()));
    writing_ = true;
    writeStarted_ = services_.clock.Now();
    asio::error_code ec;
    co_await asio::async_write(socket_, views, asio::redirect_error(use_awaitable, ec));
    writing_ = false;
    if (ec) {
      Close("write failed: " + ec.message());
      co_return;
    }
    queuedBytes_ -= size;
    lastActivity_ = services_.clock.Now();
    roomMade_.cancel();
  }
}

asio::awaitable<void> Session::Watchdog() {
  const auto& c = services_.config;
  const auto shortest = std::min({c.handshakeTimeout, c.idleTimeout, c.sendTimeout});
  const auto tick =
      std::clamp(shortest / 4, std::chrono::milliseconds(10), std::chrono::milliseconds(1000));
  while (!closed_) {
    asio::error_code ec;
    watchdog_.expires_after(tick);
    co_await watchdog_.async_wait(asio::redirect_error(use_awaitable, ec));
    if (closed_) break;
    const auto now = services_.clock.Now();
    if (writing_ && now - writeStarted_ > c.sendTimeout) {
      Close("the client stopped reading its replies");
    } else if (finishing_ && queue_.empty() && !writing_ && now > finishDeadline_) {
      Close("login answered");
    } else if (!answering_ && !writing_ && queue_.empty() && now - lastActivity_ > IdleLimit()) {
      Close("idle");
    }
  }
}

}  // namespace orvenda::server
