#include "bench_edits.h"

#include <asio/co_spawn.hpp>
#include <asio/detached.hpp>
#include <asio/io_context.hpp>
#include <asio/redirect_error.hpp>
#include <asio/use_awaitable.hpp>
#include <chrono>
#include <memory>
#include <random>
#include <unordered_map>

#include "bench_client.h"
#include "protocol/editmessages.h"

namespace orvenda::server::bench {
namespace {

using Clock = std::chrono::steady_clock;
using asio::use_awaitable;

// Shared by every connection; they all run on one thread.
struct Run {
  Run(asio::any_io_executor ex, int connections, int seconds)
      : ready(ex), waiting(connections), length(seconds) {
    ready.expires_at(Clock::time_point::max());
  }
  std::int32_t handle = 0, layer = 0, map = 1;
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
  open.PutLong(run.map);
  co_await w.Send(Closed(std::move(open)));
  if ((co_await w.Next(code, bytes)).GetInteger() != 0) throw std::runtime_error("map refused");
  DWBUffer def = StartMessage(1);
  def.PutLong(run.map);
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

}  // namespace

EditFigures RunEdits(const EditLoad& load) {
  asio::io_context ctx(1);
  const int connections = load.editors + load.viewers;
  Run run(ctx.get_executor(), connections, load.seconds);
  run.layer = load.layer;
  run.map = load.map;
  run.editorsLeft = load.editors;
  const auto port = [&](int i) {
    return load.ports[static_cast<std::size_t>(i) % load.ports.size()];
  };
  asio::co_spawn(
      ctx,
      [&]() -> asio::awaitable<void> {
        Wire w = co_await Connect(port(0));
        DWBUffer login = StartMessage(12);
        login.PutString(load.user);
        login.PutString(load.password);
        co_await w.Send(Closed(std::move(login)));
        std::int16_t code = 0;
        std::uint64_t bytes = 0;
        run.handle = (co_await w.Next(code, bytes)).GetLong();
        for (int i = 0; i < connections; ++i)
          asio::co_spawn(ctx, Connection(port(i), run, i < load.editors ? i : -1), asio::detached);
      },
      asio::detached);
  ctx.run();
  EditFigures f;
  f.edits = run.edits;
  f.seconds = std::chrono::duration<double>(run.deadline - run.started).count();
  f.othersMicros = std::move(run.othersMicros);
  f.authorMicros = std::move(run.authorMicros);
  f.error = run.error;
  return f;
}

}  // namespace orvenda::server::bench
