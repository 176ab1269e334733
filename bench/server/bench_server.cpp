// bench_server: the map server under load. Starts the real server in this process on
// an ephemeral loopback port (two network threads) and runs 1, 8 and 64 concurrent
// clients, each of which opens every map it may open and asks for every cell of it.
// Prints cells/s, MB/s, cell latency p50/p99 and the open-map latency (10 -> 111),
// timed from the moment every client has logged in.
//
//   bench_server [--db PATH --user NAME --password TEXT] [--clients 1,8,64]
//                [--window N] [--threads N] [--max-cells N]
// Without --db it generates a database (and says so).
#include <algorithm>
#include <asio/co_spawn.hpp>
#include <asio/detached.hpp>
#include <asio/io_context.hpp>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <random>
#include <sstream>

#include "bench_client.h"
#include "bench_database.h"
#include "net/server.h"

namespace orvenda::server::bench {
namespace {

struct Options {
  std::string db, user = "bench", password = "bench";
  std::vector<int> clients = {1, 8, 64};
  int window = 4;
  int threads = 2;
  std::size_t maxCells = 20000;
};

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string k = argv[i], v = argv[i + 1];
    if (k == "--db")
      o.db = v;
    else if (k == "--user")
      o.user = v;
    else if (k == "--password")
      o.password = v;
    else if (k == "--window")
      o.window = std::max(1, std::stoi(v));
    else if (k == "--threads")
      o.threads = std::max(1, std::stoi(v));
    else if (k == "--max-cells")
      o.maxCells = std::stoul(v);
    else if (k == "--clients") {
      o.clients.clear();
      std::stringstream s(v);
      for (std::string n; std::getline(s, n, ',');) o.clients.push_back(std::stoi(n));
    }
  }
  return o;
}

void RunRound(std::uint16_t port, const BenchDatabase& db, int clients, int window) {
  double seconds = 0;
  ClientStats all = RunClients({port}, db, clients, window, seconds);
  std::printf(
      "%7d %9llu %8.2f %10.0f %8.1f %8.2f %8.2f %9.2f %9.2f%s%s\n", clients,
      static_cast<unsigned long long>(all.cells), seconds, static_cast<double>(all.cells) / seconds,
      static_cast<double>(all.bytes) / seconds / 1e6, Percentile(all.cellMicros, 0.5),
      Percentile(all.cellMicros, 0.99), Percentile(all.openMicros, 0.5),
      Percentile(all.openMicros, 0.99), all.error.empty() ? "" : "  error: ", all.error.c_str());
  std::fflush(stdout);
}

int Main(int argc, char** argv) {
  const Options o = Parse(argc, argv);
  BenchDatabase db;
  db.user = o.user;
  db.password = o.password;
  std::filesystem::path temp;
  if (!o.db.empty() && std::filesystem::exists(o.db)) {
    db.path = o.db;
    db.description = "demo database " + o.db;
  } else {
    temp = std::filesystem::temp_directory_path() /
           ("orvenda-bench-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(temp);
    db.path = temp / "generated.db";
    db.user = "bench";
    db.password = "bench";
    GenerateDatabase(db.path);
    db.description = "generated database (no demo database given" +
                     (o.db.empty() ? std::string(")") : ": " + o.db + " is missing)") +
                     ": 10000 points, 5000 lines, 3000 areas in 0.05-degree cells";
  }
  std::printf("orvenda-server benchmark: %s\n", db.description.c_str());
  db.maps = CollectJobs(*OpenStore(db.path), db.user, o.maxCells);
  std::size_t cells = 0;
  for (const auto& m : db.maps) cells += m.cells.size();

  {
    // The store alone, for comparison: every cell of one pass, on this thread.
    auto store = OpenStore(db.path);
    const auto t0 = std::chrono::steady_clock::now();
    std::size_t elements = 0;
    for (const auto& m : db.maps) {
      for (const auto& c : m.cells) elements += store->CellElements(c.layer, c.cell).size();
    }
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("store alone: %zu cells (%zu elements) in %.2f s, %.0f cells/s\n", cells, elements,
                s, static_cast<double>(cells) / s);
  }

  ServerConfig config;
  config.port = 0;
  config.threads = o.threads;
  config.maxConnections = 1024;
  std::ostringstream sink;  // connection lines would drown the figures
  ServerLog log("", sink);
  Server server(
      config, [p = db.path] { return OpenStore(p); }, log);
  server.Start();

  std::printf(
      "%zu maps, %zu cells per client pass; %d server threads, %d requests in flight "
      "per client, loopback\n",
      db.maps.size(), cells, o.threads, o.window);
  std::printf(
      "clients     cells  seconds    cells/s     MB/s   p50 ms   p99 ms  open p50  "
      "open p99\n");
  for (const int n : o.clients) RunRound(server.Port(), db, n, o.window);
  server.Stop();
  server.Wait();
  if (!temp.empty()) std::filesystem::remove_all(temp);
  return 0;
}

}  // namespace
}  // namespace orvenda::server::bench

int main(int argc, char** argv) { return orvenda::server::bench::Main(argc, argv); }
