#include "net/server.h"

#include <sodium.h>
#include <sys/resource.h>
#include <unistd.h>

#include <asio/co_spawn.hpp>
#include <asio/detached.hpp>
#include <asio/post.hpp>
#include <asio/redirect_error.hpp>
#include <asio/steady_timer.hpp>
#include <asio/use_awaitable.hpp>
#include <cerrno>
#include <latch>

#include "net/session.h"
#include "net/shared_handle_table.h"
#include "store/password.h"

namespace orvenda::server {
namespace {

constexpr int kPasswordNiceSteps = 10;

// A password nobody knows, hashed once, to check unknown user names against.
std::string MakeDummyHash() {
  if (sodium_init() < 0) throw std::runtime_error("libsodium could not be initialised");
  unsigned char secret[32];
  randombytes_buf(secret, sizeof secret);
  return HashPassword(std::string(reinterpret_cast<const char*>(secret), sizeof secret));
}

// A password check takes a core for tens of milliseconds, by design, and a flood of
// logins keeps every hashing thread busy. The network threads come first, so that such
// a flood slows the other logins and not the cells of the viewers already in: each
// hashing thread runs 10 nice steps below them (Linux keeps a nice value per thread).
void LowerPriorityOf(asio::thread_pool& pool, int threads) {
  // Shared: a thread may still be inside arrive_and_wait when the last one lets this
  // function return.
  const auto started = std::make_shared<std::latch>(threads);
  for (int i = 0; i < threads; ++i) {
    // Each waits for the others, so every thread of the pool takes exactly one.
    asio::post(pool, [started] {
      const auto self = static_cast<id_t>(::gettid());
      errno = 0;
      const int nice = ::getpriority(PRIO_PROCESS, self);
      if (errno == 0) ::setpriority(PRIO_PROCESS, self, std::min(nice + kPasswordNiceSteps, 19));
      started->arrive_and_wait();
    });
  }
  started->wait();
}

}  // namespace

Server::Server(ServerConfig config, StoreFactory openStore, ServerLog& log,
               const ServerClock& clock)
    : config_(std::move(config)),
      log_(log),
      throttle_(config_.login, clock),
      registry_(config_.maxConnections),
      passwordPool_(static_cast<std::size_t>(std::max(1, config_.passwordThreads))) {
  LowerPriorityOf(passwordPool_, std::max(1, config_.passwordThreads));
  const int n = std::max(1, config_.threads);
  for (int i = 0; i < n; ++i) {
    auto w = std::make_unique<Worker>();
    w->store = openStore();
    workers_.push_back(std::move(w));
  }
  if (SharedSite* site = workers_[0]->store->Shared()) {
    handles_ = std::make_unique<SharedHandleTable>(openStore(), config_.sessionLifetime, clock);
    relay_ = std::make_unique<ChangeRelay>(site->WatchChanges(), changes_, log_);
  } else {
    handles_ = std::make_unique<MemoryHandleTable>(config_.sessionLifetime, clock);
  }
  services_ = std::make_unique<ServerServices>(
      ServerServices{config_, log_, clock, *handles_, throttle_, passwordPool_.get_executor(),
                     MakeDummyHash(), changes_});
  const auto address = asio::ip::make_address(config_.listen);
  acceptor_.emplace(workers_[0]->context);
  const asio::ip::tcp::endpoint endpoint(address, config_.port);
  acceptor_->open(endpoint.protocol());
  acceptor_->set_option(asio::ip::tcp::acceptor::reuse_address(true));
  acceptor_->bind(endpoint);
  acceptor_->listen(asio::socket_base::max_listen_connections);
  port_ = acceptor_->local_endpoint().port();
}

Server::~Server() {
  Stop();
  Wait();
}

void Server::Start() {
  log_.Line("listening on " + config_.listen + ":" + std::to_string(port_) + " with " +
            std::to_string(workers_.size()) + " network threads");
  asio::co_spawn(workers_[0]->context, AcceptLoop(), asio::detached);
  for (auto& w : workers_) {
    w->guard.emplace(w->context.get_executor());
    w->thread = std::thread([ctx = &w->context] { ctx->run(); });
  }
}

void Server::Stop() {
  if (stopping_.exchange(true)) return;
  asio::post(workers_[0]->context, [this] {
    asio::error_code ec;
    acceptor_->close(ec);
    registry_.StopAll();
    log_.Line("stopping: no longer accepting connections");
    for (auto& w : workers_) w->guard.reset();
  });
}

void Server::Wait() {
  relay_.reset();
  for (auto& w : workers_) {
    if (w->thread.joinable()) w->thread.join();
  }
  passwordPool_.join();
}

asio::awaitable<void> Server::AcceptLoop() {
  std::size_t next = 0;
  while (!stopping_) {
    Worker& w = *workers_[next++ % workers_.size()];
    asio::error_code ec;
    asio::ip::tcp::socket socket =
        co_await acceptor_->async_accept(w.context, asio::redirect_error(asio::use_awaitable, ec));
    if (ec) {
      if (stopping_ || ec == asio::error::operation_aborted) co_return;
      log_.Line("accept failed: " + ec.message());
      // Out of descriptors and the like: give the connections a moment to end.
      asio::steady_timer pause(co_await asio::this_coro::executor, std::chrono::milliseconds(100));
      co_await pause.async_wait(asio::redirect_error(asio::use_awaitable, ec));
      continue;
    }
    const std::uint64_t id = nextId_++;
    auto session =
        std::make_shared<Session>(std::move(socket), id, *w.store, *services_, registry_);
    if (!registry_.Add(id, session)) {
      session->Reject("too many connections");
      continue;
    }
    session->Start();
  }
}

}  // namespace orvenda::server
