#pragma once
// One benchmark client: logs in, then opens each map (10 -> 110, 1 -> 101, 11 -> 111)
// and asks for every cell with `window` requests in flight.

#include <asio/awaitable.hpp>
#include <asio/steady_timer.hpp>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "bench_database.h"

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

asio::awaitable<void> RunClient(std::uint16_t port, const BenchDatabase& db, int window,
                                StartLine& start, ClientStats& stats);

}  // namespace orvenda::server::bench
