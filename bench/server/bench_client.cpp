#include "bench_client.h"

#include <spawn.h>
#include <unistd.h>

#include <algorithm>
#include <asio/co_spawn.hpp>
#include <asio/connect.hpp>
#include <asio/detached.hpp>
#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/read.hpp>
#include <asio/redirect_error.hpp>
#include <asio/steady_timer.hpp>
#include <asio/use_awaitable.hpp>
#include <asio/write.hpp>
#include <chrono>
#include <deque>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "net/request_framer.h"
#include "protocol/dwbuffer.h"

namespace orvenda::server::bench {
namespace {

using asio::use_awaitable;
using Clock = std::chrono::steady_clock;

DWBUffer Request(std::int16_t code) {
  DWBUffer b;
  b.CrearHeader();
  b.PutInteger(code);
  return b;
}

DWBUffer Close(DWBUffer b) {
  b.cerrarMensaje(0);
  return b;
}

asio::awaitable<DWBUffer> Expect(Wire& w, std::int16_t want, ClientStats& stats) {
  std::int16_t code = 0;
  DWBUffer m = co_await w.Next(code, stats.bytes);
  if (code != want)
    throw std::runtime_error("expected " + std::to_string(want) + ", got " + std::to_string(code));
  co_return m;
}

asio::awaitable<void> OpenMap(Wire& w, std::int32_t user, const MapJob& job, ClientStats& stats) {
  const auto t0 = Clock::now();
  DWBUffer open = Request(10);
  open.PutLong(user);
  open.PutLong(job.code);
  co_await w.Send(Close(std::move(open)));
  if ((co_await Expect(w, 110, stats)).GetInteger() != 0) throw std::runtime_error("map refused");
  DWBUffer def = Request(1);
  def.PutLong(job.code);
  co_await w.Send(Close(std::move(def)));
  co_await Expect(w, 101, stats);
  DWBUffer levels = Request(11);
  levels.PutLong(user);
  levels.PutInteger(static_cast<std::int16_t>(job.layers.size()));
  for (const auto id : job.layers) levels.PutLong(id);
  co_await w.Send(Close(std::move(levels)));
  co_await Expect(w, 111, stats);
  stats.openMicros.push_back(std::chrono::duration<float, std::micro>(Clock::now() - t0).count());
}

asio::awaitable<void> SendCell(Wire& w, const CellJob& c, std::deque<Clock::time_point>& sent) {
  DWBUffer req = Request(2);
  req.PutLong(c.layer);
  req.PutLong(c.cell.row);
  req.PutLong(c.cell.column);
  sent.push_back(Clock::now());
  co_await w.Send(Close(std::move(req)));
}

// Every cell once, or round and round until `until` when there is one.
asio::awaitable<void> AllCells(Wire& w, const MapJob& job, const ViewerPace& pace,
                               std::optional<Clock::time_point> until, ClientStats& stats) {
  std::deque<Clock::time_point> sent;
  std::size_t next = 0, received = 0;
  const auto more = [&] { return until ? Clock::now() < *until : next < job.cells.size(); };
  const auto nextCell = [&] { return job.cells[next++ % job.cells.size()]; };
  while (more() && static_cast<int>(next) < pace.window) co_await SendCell(w, nextCell(), sent);
  while (received < next) {
    co_await Expect(w, 102, stats);
    stats.cellMicros.push_back(
        std::chrono::duration<float, std::micro>(Clock::now() - sent.front()).count());
    sent.pop_front();
    ++received;
    ++stats.cells;
    if (!more()) continue;
    if (pace.pause.count() > 0) {
      asio::steady_timer pause(co_await asio::this_coro::executor, pace.pause);
      co_await pause.async_wait(use_awaitable);
    }
    co_await SendCell(w, nextCell(), sent);
  }
}

}  // namespace

asio::awaitable<void> Wire::Send(const DWBUffer& request) {
  co_await asio::async_write(socket_, asio::buffer(request.bytes()), use_awaitable);
}

asio::awaitable<DWBUffer> Wire::Next(std::int16_t& code, std::uint64_t& bytes) {
  DWBUffer m;
  while (true) {
    const auto r = framer_.Next(m);
    if (r == RequestFramer::Result::Message) break;
    if (r == RequestFramer::Result::Broken) throw std::runtime_error(framer_.Fault());
    const std::size_t n = co_await socket_.async_read_some(asio::buffer(buf_), use_awaitable);
    framer_.Feed(buf_.data(), n);
  }
  bytes += static_cast<std::uint64_t>(m.TamanoBuffer());
  m.GetLong();
  m.GetLong();
  code = m.GetInteger();
  co_return m;
}

asio::awaitable<std::int32_t> Login(std::uint16_t port, const BenchDatabase& db,
                                    ClientStats& stats) {
  const auto giveUp = Clock::now() + std::chrono::seconds(30);
  while (true) {
    Wire w = co_await Connect(port);
    DWBUffer req = Request(12);
    req.PutString(db.user);
    req.PutString(db.password);
    co_await w.Send(Close(std::move(req)));
    DWBUffer reply = co_await Expect(w, 112, stats);
    const std::int32_t user = reply.GetLong();
    if (user > 0) co_return user;
    if (Clock::now() > giveUp) throw std::runtime_error("login refused");
    asio::steady_timer pause(co_await asio::this_coro::executor, std::chrono::milliseconds(50));
    co_await pause.async_wait(use_awaitable);
  }
}

asio::awaitable<void> RunViewer(std::uint16_t port, const BenchDatabase& db, std::int32_t user,
                                ViewerPace pace, ClientStats& stats) {
  const bool timed = pace.runFor.count() > 0;
  const auto until = Clock::now() + pace.runFor;
  for (const MapJob& job : db.maps) {
    if (timed && Clock::now() >= until) break;
    Wire w = co_await Connect(port);
    co_await OpenMap(w, user, job, stats);
    co_await AllCells(w, job, pace, timed ? std::optional(until) : std::nullopt, stats);
  }
}

asio::awaitable<Wire> Connect(std::uint16_t port) {
  asio::ip::tcp::socket s(co_await asio::this_coro::executor);
  co_await s.async_connect({asio::ip::make_address("127.0.0.1"), port}, use_awaitable);
  s.set_option(asio::ip::tcp::no_delay(true));
  co_return Wire(std::move(s));
}

asio::awaitable<void> RunClient(std::uint16_t port, const BenchDatabase& db, int window,
                                StartLine& start, ClientStats& stats) {
  try {
    std::int32_t user = 0;
    try {
      user = co_await Login(port, db, stats);
    } catch (...) {
      if (--start.waiting == 0) {
        start.started = Clock::now();
        start.timer.cancel();
      }
      throw;
    }
    stats.bytes = 0;
    if (--start.waiting == 0) {
      start.started = Clock::now();
      start.timer.cancel();
    } else {
      asio::error_code ec;
      co_await start.timer.async_wait(asio::redirect_error(use_awaitable, ec));
    }
    co_await RunViewer(port, db, user, ViewerPace{window}, stats);
  } catch (const std::exception& e) {
    stats.error = e.what();
  }
}

ClientStats RunClients(const std::vector<std::uint16_t>& ports, const BenchDatabase& db,
                       int clients, int window, double& seconds) {
  asio::io_context ctx(1);
  std::vector<ClientStats> stats(static_cast<std::size_t>(clients));
  StartLine start(ctx.get_executor(), clients);
  for (std::size_t i = 0; i < stats.size(); ++i)
    asio::co_spawn(ctx, RunClient(ports[i % ports.size()], db, window, start, stats[i]),
                   asio::detached);
  ctx.run();
  seconds = std::chrono::duration<double>(Clock::now() - start.started).count();
  ClientStats all;
  for (auto& s : stats) {
    if (!s.error.empty() && all.error.empty()) all.error = s.error;
    all.cells += s.cells;
    all.bytes += s.bytes;
    all.cellMicros.insert(all.cellMicros.end(), s.cellMicros.begin(), s.cellMicros.end());
    all.openMicros.insert(all.openMicros.end(), s.openMicros.begin(), s.openMicros.end());
  }
  return all;
}

double Percentile(std::vector<float> v, double p) {
  if (v.empty()) return 0;
  const auto k = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1));
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(k), v.end());
  return v[k] / 1000.0;
}

double CpuSeconds(int pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (text.empty()) return 0;
  std::istringstream fields(text.substr(text.rfind(')') + 2));  // after the name
  std::string field;
  double ticks = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i)
    if (i >= 14) ticks += std::stod(field);  // utime, stime
  return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

Child StartServer(const std::string& program, const std::vector<std::string>& options,
                  const std::filesystem::path& log) {
  std::vector<std::string> args = {program,    "serve",     "--port", "0",
                                   "--listen", "127.0.0.1", "--log",  log.string()};
  args.insert(args.end(), options.begin(), options.end());
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  Child c;
  if (::posix_spawn(&c.pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
    throw std::runtime_error("cannot start " + program);
  const std::regex listening("listening on 127\\.0\\.0\\.1:([0-9]+)");
  for (int i = 0; i < 300 && c.port == 0; ++i) {
    std::ifstream in(log);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::smatch m;
    if (std::regex_search(text, m, listening)) c.port = static_cast<std::uint16_t>(std::stoi(m[1]));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (c.port == 0) throw std::runtime_error(program + " did not say where it listens");
  return c;
}

}  // namespace orvenda::server::bench
