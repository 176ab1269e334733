#pragma once
// One benchmark client: logs in, then opens each map (10 -> 110, 1 -> 101, 11 -> 111)
// and asks for every cell with `window` requests in flight.

#include <array>
#include <asio/awaitable.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/steady_timer.hpp>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "bench_database.h"
#include "net/request_framer.h"
#include "protocol/dwbuffer.h"

namespace orvenda::server::bench {

// Holds every client after its login until all have logged in, so that the timed
// part (opening the maps and fetching the cells) runs with all clients at once and
// without the deliberately slow password checks. Single-threaded use.
struct StartLine {
  explicit StartLine(asio::any_io_executor ex, int clients) : timer(ex), waiting(clients) {
    timer.expires_at(std::chrono::steady_clock::time_point::max());
  }
  asio::steady_timer timer;
  int waiting;
  std::chrono::steady_clock::time_point started;
};

struct ClientStats {
  std::vector<float> cellMicros;  // request 2 sent -> reply 102 complete
  std::vector<float> openMicros;  // request 10 sent -> reply 111 complete
  std::uint64_t cells = 0;
  std::uint64_t bytes = 0;  // reply bytes received
  std::string error;
};

// A connection that sends requests and hands back whole replies.
class Wire {
 public:
  explicit Wire(asio::ip::tcp::socket s) : socket_(std::move(s)), framer_(256 * 1024 * 1024) {}
  asio::awaitable<void> Send(const DWBUffer& request);
  // The next reply, with its cursor after the code; `code` receives the code.
  asio::awaitable<DWBUffer> Next(std::int16_t& code, std::uint64_t& bytes);
  void Close() { socket_.close(); }

 private:
  asio::ip::tcp::socket socket_;
  RequestFramer framer_;
  std::array<std::uint8_t, 64 * 1024> buf_{};
};

// Connects to 127.0.0.1:port on the calling coroutine's executor.
asio::awaitable<Wire> Connect(std::uint16_t port);

// How a viewer asks for cells: `window` requests in flight; one pass over the cells, or
// pass after pass until `runFor` has gone by; `pause` between a reply and the next
// request (a user looking at the map) when not zero.
struct ViewerPace {
  int window = 4;
  std::chrono::steady_clock::duration runFor{};
  std::chrono::steady_clock::duration pause{};
};

// The user ID of reply 112. A login refused at once (the server admits two password
// checks at a time from one address, and every client here shares 127.0.0.1) is tried
// again a little later, as a user clicking again would; throws after 30 s of refusals.
asio::awaitable<std::int32_t> Login(std::uint16_t port, const BenchDatabase& db,
                                    ClientStats& stats);

// Opens each map with the user ID of an earlier login and asks for its cells.
asio::awaitable<void> RunViewer(std::uint16_t port, const BenchDatabase& db, std::int32_t user,
                                ViewerPace pace, ClientStats& stats);

asio::awaitable<void> RunClient(std::uint16_t port, const BenchDatabase& db, int window,
                                StartLine& start, ClientStats& stats);

// `clients` clients at once, client i on ports[i % ports.size()], each over every cell of
// every map; their figures together, timed from the moment all have logged in.
ClientStats RunClients(const std::vector<std::uint16_t>& ports, const BenchDatabase& db,
                       int clients, int window, double& seconds);

// The p-quantile (0..1) of microseconds, in milliseconds.
double Percentile(std::vector<float> v, double p);

// CPU seconds (user and system) a process has used so far.
double CpuSeconds(int pid);

// The server program as a child process, serving with `options` after `serve --port 0
// --listen 127.0.0.1 --log LOG`; its port comes from its log.
struct Child {
  int pid = 0;
  std::uint16_t port = 0;
};
Child StartServer(const std::string& program, const std::vector<std::string>& options,
                  const std::filesystem::path& log);

}  // namespace orvenda::server::bench
