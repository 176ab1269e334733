#include "net/server.h"

#include <pthread.h>
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
constexpr int kLobbyNiceSteps = 5;

// Linux keeps a nice value per thread: this lowers the calling thread's alone.
void LowerThisThread(int steps) {
  const auto self = static_cast<id_t>(::gettid());
  errno = 0;
  const int nice = ::getpriority(PRIO_PROCESS, self);
  if (errno == 0) ::setpriority(PRIO_PROCESS, self, std::min(nice + steps, 19));
}

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
// hashing thread runs 10 nice steps below them.
void LowerPriorityOf(asio::thread_pool& pool, int threads) {
  // Shared: a thread may still be inside arrive_and_wait when the last one lets this
  // function return.
  const auto started = std::make_shared<std::latch>(threads);
  for (int i = 0; i < threads; ++i) {
    // Each waits for the others, so every thread of the pool takes exactly one.
    asio::post(pool, [started] {
      ::pthread_setname_np(::pthread_self(), "hashing");
      LowerThisThread(kPasswordNiceSteps);
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
  lobby_ = std::make_unique<Worker>();
  lobby_->store = openStore();
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
  accepting_ = std::make_unique<Worker>();
  acceptor_.emplace(accepting_->context);
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
  asio::co_spawn(accepting_->context, AcceptLoop(), asio::detached);
  for (Worker* w : AllWorkers()) {
    w->guard.emplace(w->context.get_executor());
    const char* name = w == lobby_.get() ? "lobby" : w == accepting_.get() ? "accept" : "network";
    w->thread = std::thread([ctx = &w->context, name, lobby = w == lobby_.get()] {
      // Named, so that what each kind of thread costs can be read from /proc.
      ::pthread_setname_np(::pthread_self(), name);
      if (lobby) LowerThisThread(kLobbyNiceSteps);
      ctx->run();
    });
  }
}

std::vector<Server::Worker*> Server::AllWorkers() {
  std::vector<Worker*> all{accepting_.get(), lobby_.get()};
  for (auto& w : workers_) all.push_back(w.get());
  return all;
}

void Server::Stop() {
  if (stopping_.exchange(true)) return;
  asio::post(accepting_->context, [this] {
    asio::error_code ec;
    acceptor_->close(ec);
    registry_.StopAll();
    log_.Line("stopping: no longer accepting connections");
    for (Worker* w : AllWorkers()) w->guard.reset();
  });
}

void Server::Wait() {
  relay_.reset();
  for (Worker* w : AllWorkers()) {
    if (w->thread.joinable()) w->thread.join();
  }
  passwordPool_.join();
}

asio::awaitable<void> Server::AcceptLoop() {
  std::size_t next = 0;
  while (!stopping_) {
    asio::error_code ec;
    asio::ip::tcp::socket socket = co_await acceptor_->async_accept(
        lobby_->context, asio::redirect_error(asio::use_awaitable, ec));
    if (ec) {
      if (stopping_ || ec == asio::error::operation_aborted) co_return;
      log_.Line("accept failed: " + ec.message());
      // Out of descriptors and the like: give the connections a moment to end.
      asio::steady_timer pause(co_await asio::this_coro::executor, std::chrono::milliseconds(100));
      co_await pause.async_wait(asio::redirect_error(asio::use_awaitable, ec));
      continue;
    }
    Worker* w = lobby_.get();
    const auto peer = socket.remote_endpoint(ec);
    if (!ec && throttle_.Known(peer.address().to_string())) {
      w = workers_[next++ % workers_.size()].get();
      asio::ip::tcp::socket moved(w->context);
      const auto fd = socket.release(ec);
      if (ec) continue;  // still owned: closed as it goes
      moved.assign(peer.protocol(), fd, ec);
      if (ec) {
        ::close(fd);
        continue;
      }
      socket = std::move(moved);
    }
    const std::uint64_t id = nextId_++;
    auto session =
        std::make_shared<Session>(std::move(socket), id, *w->store, *services_, registry_);
    if (!registry_.Add(id, session)) {
      session->Reject("too many connections");
      continue;
    }
    session->Start();
  }
}

}  // namespace orvenda::server
