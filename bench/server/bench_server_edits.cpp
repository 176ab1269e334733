// bench_server_edits: edits pushed live. Starts the real server in this process on an
// ephemeral loopback port (two network threads) over the generated database of
// bench_server, opens its map on `editors` + `viewers` connections, and lets each
// editor add lines and change their values, one edit in flight, for `seconds`. Every
// connection reads every message 250; prints edits/s and the time from an edit's send
// to its 250 at the other connections (p50/p99), and at its author.
//
//   bench_server_edits [--editors 16] [--viewers 48] [--seconds 5] [--threads 2]
#include <algorithm>
#include <asio/co_spawn.hpp>
#include <asio/detached.hpp>
#include <asio/io_context.hpp>
#include <asio/redirect_error.hpp>
#include <asio/use_awaitable.hpp>
#include <chrono>
#include <cstdio>
#include <random>
#include <sstream>
#include <unordered_map>

#include "bench_client.h"
#include "bench_database.h"
#include "net/server.h"
#include "protocol/editmessages.h"

namespace orvenda::server::bench {
namespace {

using Clock = std::chrono::steady_clock;
using asio::use_awaitable;

struct Options {
  int editors = 16, viewers = 48, seconds = 5, threads = 2;
};

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string k = argv[i];
    const int v = std::max(1, std::stoi(argv[i + 1]));
    if (k == "--editors") o.editors = v;
    if (k == "--viewers") o.viewers = v;
    if (k == "--seconds") o.seconds = v;
    if (k == "--threads") o.threads = v;
  }
  return o;
}

// Shared by every connection; they all run on one thread.
struct Run {
  Run(asio::any_io_executor ex, int connections, int seconds)
      : ready(ex), waiting(connections), length(seconds) {
    ready.expires_at(Clock::time_point::max());
  }
  std::int32_t handle = 0, layer = 0;
  asio::steady_timer ready;  // cancelled once every connection has its map open
  int waiting;
  std::chrono::seconds length;
  Clock::time_point started, deadline;
  int editorsLeft = 0;
  std::vector<std::unique_ptr<Wire>> wires;                 // closed when the editors end
  std::unordered_map<std::string, Clock::time_point> sent;  // edit key -> send time
  std::vector<float> othersMicros, authorMicros;
  std::uint64_t edits = 0;
  std::string error;
};

DWBUffer Closed(DWBUffer b) {
  b.cerrarMensaje(0);
  return b;
}

asio::awaitable<void> OpenMap(Wire& w, Run& run) {
  std::uint64_t bytes = 0;
  std::int16_t code = 0;
  DWBUffer open = StartMessage(10);
  open.PutLong(run.handle);
  open.PutLong(1);
  co_await w.Send(Closed(std::move(open)));
  if ((co_await w.Next(code, bytes)).GetInteger() != 0) throw std::runtime_error("map refused");
  DWBUffer def = StartMessage(1);
  def.PutLong(1);
  co_await w.Send(Closed(std::move(def)));
  co_await w.Next(code, bytes);
}

// Reads messages until the 250 of `awaited` (nothing when empty) has come and returns
// its element; notes the delay of every edit's 250 that another connection sent.
asio::awaitable<std::int32_t> ReadUntil(Wire& w, Run& run, const std::string& awaited) {
  std::uint64_t bytes = 0;
  while (true) {
    std::int16_t code = 0;
    DWBUffer m = co_await w.Next(code, bytes);
    if (code != 250) continue;
    const LayerChange c = ReadLayerChange(m);
    if (c.operation != layerchange::kNewElement && c.operation != layerchange::kValuesChanged)
      continue;
    const auto it = run.sent.find(c.values.at(0));
    if (it == run.sent.end()) continue;
    const float micros =
        std::chrono::duration<float, std::micro>(Clock::now() - it->second).count();
    if (c.values[0] == awaited) {
      run.authorMicros.push_back(micros);
      co_return c.elementId;
    }
    run.othersMicros.push_back(micros);
  }
}

asio::awaitable<void> Connection(std::uint16_t port, Run& run, int editor) {
  try {
    run.wires.push_back(std::make_unique<Wire>(co_await Connect(port)));
    Wire& w = *run.wires.back();
    co_await OpenMap(w, run);
    if (--run.waiting == 0) {
      run.started = Clock::now();
      run.deadline = run.started + run.length;
      run.ready.cancel();
    } else {
      asio::error_code ec;
      co_await run.ready.async_wait(asio::redirect_error(use_awaitable, ec));
    }
    if (editor < 0) {
      co_await ReadUntil(w, run, {});  // until the editors end and close it
      co_return;
    }
    std::mt19937 random(static_cast<unsigned>(editor));
    std::uniform_real_distribution<double> at(0.1, 1.9);
    std::int32_t last = 0;
    for (int n = 0; Clock::now() < run.deadline; ++n) {
      // New lines, and new values for the line added before, in turn.
      const std::string key = "E" + std::to_string(editor) + "-" + std::to_string(n);
      const double x = -101 + at(random), y = 25 + at(random);
      const DWBUffer edit =
          n % 2 == 0 || last == 0
              ? WriteNewElement({206,
                                 run.layer,
                                 {},
                                 {{x, y}, {x + 0.01, y}, {x + 0.01, y + 0.01}},
                                 0.05f,
                                 0.05f,
                                 {key, "1"}})
              : WriteValuesEdit({run.layer, {}, last, {key, std::to_string(n % 360)}});
      run.sent[key] = Clock::now();
      co_await w.Send(edit);
      const std::int32_t element = co_await ReadUntil(w, run, key);
      ++run.edits;
      if (n % 2 == 0) last = element;
    }
    if (--run.editorsLeft == 0) {
      for (auto& other : run.wires) other->Close();
    }
  } catch (const std::exception& e) {
    if (run.error.empty() && run.editorsLeft > 0) run.error = e.what();
    if (editor >= 0 && --run.editorsLeft == 0) {
      for (auto& other : run.wires) other->Close();
    }
  }
}

double Percentile(std::vector<float>& v, double p) {
  if (v.empty()) return 0;
  const auto k = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1));
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(k), v.end());
  return v[k] / 1000.0;
}

int Main(int argc, char** argv) {
  const Options o = Parse(argc, argv);
  const auto temp = std::filesystem::temp_directory_path() /
                    ("orvenda-bench-edits-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(temp);
  const auto path = temp / "generated.db";
  GenerateDatabase(path);
  std::int32_t layer = 0;
  {
    auto store = OpenStore(path);
    layer = store->FindLayer("Calles")->id;
    store->SetAccess(store->FindUser("bench")->id, layer, AccessLevel::Draw);
  }
  ServerConfig config;
  config.port = 0;
  config.threads = o.threads;
  config.maxConnections = 1024;
  std::ostringstream sink;  // a line per edit would drown the figures
  ServerLog log("", sink);
  Server server(
      config, [path] { return OpenStore(path); }, log);
  server.Start();

  asio::io_context ctx(1);
  const int connections = o.editors + o.viewers;
  Run run(ctx.get_executor(), connections, o.seconds);
  run.layer = layer;
  run.editorsLeft = o.editors;
  asio::co_spawn(
      ctx,
      [&]() -> asio::awaitable<void> {
        Wire w = co_await Connect(server.Port());
        DWBUffer login = StartMessage(12);
        login.PutString("bench");
        login.PutString("bench");
        co_await w.Send(Closed(std::move(login)));
        std::int16_t code = 0;
        std::uint64_t bytes = 0;
        run.handle = (co_await w.Next(code, bytes)).GetLong();
        for (int i = 0; i < connections; ++i)
          asio::co_spawn(ctx, Connection(server.Port(), run, i < o.editors ? i : -1),
                         asio::detached);
      },
      asio::detached);
  ctx.run();
  server.Stop();
  server.Wait();
  std::filesystem::remove_all(temp);

  const double seconds = std::chrono::duration<double>(run.deadline - run.started).count();
  std::printf(
      "orvenda-server edits: %d editors and %d viewers of one map, %d server threads, "
      "loopback; new lines and new values in turn, one edit in flight per editor\n",
      o.editors, o.viewers, o.threads);
  std::printf(
      "  edits  seconds  edits/s  others p50 ms  others p99 ms  author p50 ms  author p99 ms\n");
  std::printf("%7llu %8.2f %8.0f %14.2f %14.2f %14.2f %14.2f%s%s\n",
              static_cast<unsigned long long>(run.edits), seconds,
              static_cast<double>(run.edits) / seconds, Percentile(run.othersMicros, 0.5),
              Percentile(run.othersMicros, 0.99), Percentile(run.authorMicros, 0.5),
              Percentile(run.authorMicros, 0.99),
              run.error.empty() ? "" : "  error: ", run.error.c_str());
  return run.error.empty() ? 0 : 1;
}

}  // namespace
}  // namespace orvenda::server::bench

int main(int argc, char** argv) { return orvenda::server::bench::Main(argc, argv); }
