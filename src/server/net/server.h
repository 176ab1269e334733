#pragma once
// Server: the listening socket and the network threads. Each thread runs its own
// io_context and owns its own Store (one store per thread is the store's rule); a new
// connection goes to the threads in turn and stays on its thread for life. Password
// hashing runs on a separate small pool so that it never stalls a network thread. On a
// database that several processes share, the login handles and a relay of the changes
// of every process each take one more connection.

#include <asio/awaitable.hpp>
#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/thread_pool.hpp>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "net/change_feed.h"
#include "net/change_relay.h"
#include "net/handle_table.h"
#include "net/handlers/handler_context.h"
#include "net/login_throttle.h"
#include "net/server_clock.h"
#include "net/server_config.h"
#include "net/server_log.h"
#include "net/session_registry.h"
#include "store/store.h"

namespace orvenda::server {

class Server {
 public:
  using StoreFactory = std::function<std::unique_ptr<Store>()>;

  // Opens one store per network thread with `openStore`. Every time limit reads
  // `clock`. Throws on a bad listen address or when the port cannot be bound.
  Server(ServerConfig config, StoreFactory openStore, ServerLog& log,
         const ServerClock& clock = SteadyServerClock());
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Starts the threads and returns; the port is listening when it returns.
  void Start();
  // The bound port (the chosen one when the configuration asked for port 0).
  std::uint16_t Port() const { return port_; }
  // Stops accepting, closes every connection; safe from any thread, also from a
  // signal handler's completion. wait() returns once everything has ended.
  void Stop();
  void Wait();

  std::size_t Connections() { return registry_.Size(); }
  // Password checks under way (logins and changes of password) and hashes run so far.
  int LoginsInProgress() { return throttle_.InProgress(); }
  std::uint64_t PasswordHashes() const { return throttle_.Hashed(); }
  // Where the checks run, in turn (a test holds its threads to keep checks waiting).
  asio::thread_pool::executor_type PasswordExecutor() { return passwordPool_.get_executor(); }

 private:
  struct Worker {
    asio::io_context context{1};
    std::unique_ptr<Store> store;
    std::optional<asio::executor_work_guard<asio::io_context::executor_type>> guard;
    std::thread thread;
  };

  asio::awaitable<void> AcceptLoop();

  ServerConfig config_;
  ServerLog& log_;
  std::unique_ptr<HandleTable> handles_;
  LoginThrottle throttle_;
  SessionRegistry registry_;
  ChangeFeed changes_{registry_};
  // Only for a database that several processes share: its changes, this process's
  // included, reach the feed through the relay.
  std::unique_ptr<ChangeRelay> relay_;
  asio::thread_pool passwordPool_;
  std::unique_ptr<ServerServices> services_;
  std::vector<std::unique_ptr<Worker>> workers_;
  std::optional<asio::ip::tcp::acceptor> acceptor_;
  std::uint16_t port_ = 0;
  std::atomic<std::uint64_t> nextId_{1};
  std::atomic<bool> stopping_{false};
};

}  // namespace orvenda::server
