// bench_hostile: honest viewers' cells while hostile connections attack the server.
// The real program (`orvenda-server serve`, with its defaults) runs as a child process
// on an ephemeral loopback port, so that its own memory can be read from
// /proc/PID/status (VmRSS now, VmHWM the peak). `clients` honest viewers (all from
// 127.0.0.1, one login each before anything is timed) ask for cells one request at a
// time, pausing `pause-ms` between a reply and the next request, first alone (the quiet
// run) and then while `hostile` connections from `addresses` loopback addresses
// (127.1.x.y) attack for `warmup` + `seconds` seconds. Each hostile connection, once
// ended, is replaced by another of its kind; a quarter of them each send random
// bytes; a header and part of a message that never finishes (held until the server
// ends it); the header of a message of 2^31-1 bytes; a wrong-password login (at
// the account "victim" or at names that do not exist). Prints figures and never
// judges them.
//
//   bench_hostile [--clients 64] [--hostile 500] [--addresses 250] [--seconds 5]
//                 [--warmup 2] [--pause-ms 20] [--server PATH]
//                 [--kinds garbage,half,huge,login]
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <asio/co_spawn.hpp>
#include <asio/detached.hpp>
#include <asio/io_context.hpp>
#include <asio/redirect_error.hpp>
#include <asio/steady_timer.hpp>
#include <asio/use_awaitable.hpp>
#include <asio/write.hpp>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <sstream>
#include <thread>

#include "bench_client.h"
#include "bench_database.h"
#include "protocol/byteimage.h"
#include "store/password.h"

extern char** environ;

namespace orvenda::server::bench {
namespace {

using Clock = std::chrono::steady_clock;
using asio::use_awaitable;

struct Options {
  int clients = 64, hostile = 500, addresses = 250, seconds = 5, warmup = 2, pauseMs = 20;
  std::string server = ORVENDA_SERVER_EXE;
  std::vector<int> kinds = {0, 1, 2, 3};  // garbage, half, huge, login
};

const char* const kKinds[] = {"garbage", "half", "huge", "login"};

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string k = argv[i], v = argv[i + 1];
    if (k == "--server") {
      o.server = v;
      continue;
    }
    if (k == "--kinds") {
      o.kinds.clear();
      for (int n = 0; n < 4; ++n)
        if (v.find(kKinds[n]) != std::string::npos) o.kinds.push_back(n);
      if (o.kinds.empty()) o.kinds = {0};
      continue;
    }
    const int n = std::max(0, std::stoi(v));
    if (k == "--clients") o.clients = std::max(1, n);
    if (k == "--hostile") o.hostile = n;
    if (k == "--addresses") o.addresses = std::clamp(n, 1, 250 * 250);
    if (k == "--seconds") o.seconds = std::max(1, n);
    if (k == "--warmup") o.warmup = n;
    if (k == "--pause-ms") o.pauseMs = n;
  }
  return o;
}

// VmRSS and VmHWM (the peak) of the process, in MiB.
struct Memory {
  double rss = 0, peak = 0;
};

Memory ReadMemory(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  Memory m;
  for (std::string line; std::getline(in, line);) {
    const auto kib = [&] { return std::stod(line.substr(6)) / 1024.0; };
    if (line.rfind("VmRSS:", 0) == 0) m.rss = kib();
    if (line.rfind("VmHWM:", 0) == 0) m.peak = kib();
  }
  return m;
}

DWBUffer Header(std::int16_t code, std::int32_t declared) {
  DWBUffer b;
  b.CrearHeader();
  b.PutInteger(code);
  b.cerrarMensaje(0);
  DWBUffer::Bytes bytes = b.bytes();
  const auto length = byteimage::ToBytes(declared);
  std::copy(length.begin(), length.end(), bytes.begin() + 4);
  return DWBUffer(bytes);
}

struct Attack {
  std::atomic<bool> stop{false};
  std::atomic<std::uint64_t> connected{0}, endedByServer{0}, refusedConnect{0};
};

// One hostile connection after another of `kind`, from one loopback address.
asio::awaitable<void> Hostile(std::uint16_t port, int k, int kind, int addresses, Attack& a) {
  const auto ex = co_await asio::this_coro::executor;
  const int n = k % addresses;
  const auto source = asio::ip::make_address_v4("127.1." + std::to_string(n / 250) + "." +
                                                std::to_string(1 + n % 250));
  const asio::ip::tcp::endpoint server(asio::ip::make_address_v4("127.0.0.1"), port);
  std::mt19937 random(static_cast<unsigned>(k));
  std::array<std::uint8_t, 512> in{};
  for (int i = 0; !a.stop; ++i) {
    DWBUffer::Bytes out;
    switch (kind) {
      case 0:  // random bytes
        out.resize(16 + random() % 4000);
        for (auto& b : out) b = static_cast<std::uint8_t>(random());
        break;
      case 1: {  // a request of 1000 bytes cut short, never finished
        out = Header(2, 1000).bytes();
        out.resize(out.size() + 100, 0);
        break;
      }
      case 2:  // a declared length of 2^31 - 1
        out = Header(2, 0x7FFFFFFF).bytes();
        out.resize(out.size() + 64, 0x41);
        break;
      default: {  // a wrong password
        DWBUffer login;
        login.CrearHeader();
        login.PutInteger(12);
        login.PutString((k / 4) % 2 == 0 ? "victim" : "nobody-" + std::to_string(k));
        login.PutString("guess-" + std::to_string(i));
        login.cerrarMensaje(0);
        out = login.bytes();
      }
    }
    asio::error_code ec;
    asio::ip::tcp::socket s(ex);
    s.open(asio::ip::tcp::v4(), ec);
    if (!ec) s.bind({source, 0}, ec);
    if (!ec) co_await s.async_connect(server, asio::redirect_error(use_awaitable, ec));
    if (ec) {
      ++a.refusedConnect;
      asio::steady_timer pause(ex, std::chrono::milliseconds(10));
      co_await pause.async_wait(asio::redirect_error(use_awaitable, ec));
      continue;
    }
    ++a.connected;
    co_await asio::async_write(s, asio::buffer(out), asio::redirect_error(use_awaitable, ec));
    while (!ec && !a.stop)
      co_await s.async_read_some(asio::buffer(in), asio::redirect_error(use_awaitable, ec));
    if (ec) ++a.endedByServer;
  }
}

struct Run {
  double p50 = 0, p99 = 0, perSecond = 0;
  std::uint64_t cells = 0;
  std::string error;
};

asio::awaitable<void> LoginInto(std::uint16_t port, const BenchDatabase& db, std::int32_t& user,
                                ClientStats& stats) {
  try {
    user = co_await Login(port, db, stats);
  } catch (const std::exception& e) {
    stats.error = e.what();
  }
}

Run RunViewers(std::uint16_t port, const BenchDatabase& db, const std::vector<std::int32_t>& users,
               const ViewerPace& pace) {
  asio::io_context io(1);
  std::vector<ClientStats> stats(users.size());
  for (std::size_t i = 0; i < users.size(); ++i)
    asio::co_spawn(io, RunViewer(port, db, users[i], pace, stats[i]), asio::detached);
  const auto t0 = Clock::now();
  io.run();
  const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
  std::vector<float> all;
  Run r;
  for (const auto& s : stats) {
    all.insert(all.end(), s.cellMicros.begin(), s.cellMicros.end());
    r.cells += s.cells;
    if (r.error.empty()) r.error = s.error;
  }
  r.p50 = Percentile(all, 0.5);
  r.p99 = Percentile(all, 0.99);
  r.perSecond = static_cast<double>(r.cells) / seconds;
  return r;
}

void Print(const char* what, const Run& r) {
  std::printf("%-16s %9llu %10.0f %8.2f %8.2f%s%s\n", what,
              static_cast<unsigned long long>(r.cells), r.perSecond, r.p50, r.p99,
              r.error.empty() ? "" : "  error: ", r.error.c_str());
}

// The server's log lines about hostile connections (from 127.1.x.y): how many it took
// and why each one ended.
void PrintHostileLog(const std::filesystem::path& log) {
  std::ifstream in(log);
  std::size_t connected = 0, closed = 0;
  std::map<std::string, std::size_t> why;
  const std::string marker = "requests: ";
  for (std::string line; std::getline(in, line);) {
    if (line.find(" 127.1.") == std::string::npos) continue;
    if (line.ends_with("] connected")) ++connected;
    const auto at = line.find(marker);
    if (at == std::string::npos || line.find("] closed after ") == std::string::npos) continue;
    ++closed;
    ++why[line.substr(at + marker.size())];
  }
  std::printf("server log, hostile connections: %zu taken, %zu ended, by reason:\n", connected,
              closed);
  std::vector<std::pair<std::size_t, std::string>> rows;
  for (const auto& [text, n] : why) rows.emplace_back(n, text);
  std::sort(rows.rbegin(), rows.rend());
  for (std::size_t i = 0; i < rows.size() && i < 10; ++i)
    std::printf("  %8zu  %s\n", rows[i].first, rows[i].second.c_str());
}

int Main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // figures as they come, also through a pipe
  const Options o = Parse(argc, argv);
  const auto temp = std::filesystem::temp_directory_path() /
                    ("orvenda-bench-hostile-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(temp);
  BenchDatabase db{temp / "generated.db", "", "bench", "bench", {}};
  GenerateDatabase(db.path);
  {
    auto store = OpenStore(db.path);
    store->AddUser("victim", HashPassword("not a guess"), false);
    db.maps = CollectJobs(*store, db.user, 4096);
  }
  const auto log = temp / "server.log";
  const Child server = StartServer(o.server, {"--db", db.path.string()}, log);
  const Memory started = ReadMemory(server.pid);
  std::string kinds;
  for (const int k : o.kinds) kinds += std::string(" ") + kKinds[k];
  std::printf(
      "orvenda-server under hostile load: %s serve (pid %d, its defaults), generated database; "
      "%d honest viewers from 127.0.0.1, one cell request at a time, %d ms between a reply and "
      "the next request, %d s alone, then %d s after %d s of attack by %d hostile connections "
      "from %d addresses (127.1.x.y):%s\n",
      o.server.c_str(), server.pid, o.clients, o.pauseMs, o.seconds, o.seconds, o.warmup, o.hostile,
      o.addresses, kinds.c_str());

  std::vector<std::int32_t> users(static_cast<std::size_t>(o.clients));
  std::vector<ClientStats> logins(users.size());
  {
    asio::io_context io(1);
    for (std::size_t i = 0; i < users.size(); ++i)
      asio::co_spawn(io, LoginInto(server.port, db, users[i], logins[i]), asio::detached);
    io.run();
  }
  for (const auto& l : logins)
    if (!l.error.empty()) throw std::runtime_error("honest login: " + l.error);
  const Memory loggedIn = ReadMemory(server.pid);
  const ViewerPace pace{1, std::chrono::seconds(o.seconds), std::chrono::milliseconds(o.pauseMs)};
  std::printf("run              replies  replies/s   p50 ms   p99 ms\n");
  const double cpu0 = CpuSeconds(server.pid), own0 = CpuSeconds(::getpid());
  const auto quietStart = Clock::now();
  const Run quiet = RunViewers(server.port, db, users, pace);
  Print("quiet", quiet);
  const double quietSeconds = std::chrono::duration<double>(Clock::now() - quietStart).count();
  const double cpu1 = CpuSeconds(server.pid), own1 = CpuSeconds(::getpid());
  const Memory afterQuiet = ReadMemory(server.pid);

  Attack attack;
  auto hostileIo = std::make_unique<asio::io_context>(1);
  for (int k = 0; k < o.hostile; ++k)
    asio::co_spawn(*hostileIo,
                   Hostile(server.port, k, o.kinds[static_cast<std::size_t>(k) % o.kinds.size()],
                           o.addresses, attack),
                   asio::detached);
  std::thread hostileThread([&] { hostileIo->run(); });
  std::atomic<bool> sampling{true};
  std::vector<double> samples;  // RSS once a second from the start of the attack
  double maxRss = 0;
  std::thread sampler([&] {
    for (int tick = 0; sampling; ++tick) {
      const double rss = ReadMemory(server.pid).rss;
      maxRss = std::max(maxRss, rss);
      if (tick % 10 == 0) samples.push_back(rss);
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  });
  const auto attackStart = Clock::now();
  std::this_thread::sleep_for(std::chrono::seconds(o.warmup));
  const Run attacked = RunViewers(server.port, db, users, pace);
  const double attackSeconds = std::chrono::duration<double>(Clock::now() - attackStart).count();
  const double cpu2 = CpuSeconds(server.pid), own2 = CpuSeconds(::getpid());
  attack.stop = true;
  hostileIo->stop();
  hostileThread.join();
  sampling = false;
  sampler.join();
  const Memory endOfAttack = ReadMemory(server.pid);
  Print("under attack", attacked);
  std::printf("p99 under attack / quiet: %.2f; p50: %.2f; replies/s: %.2f\n",
              attacked.p99 / std::max(quiet.p99, 1e-9), attacked.p50 / std::max(quiet.p50, 1e-9),
              attacked.perSecond / std::max(quiet.perSecond, 1e-9));
  std::printf(
      "CPU seconds per second (2 cores here, shared with whatever else runs): server %.2f quiet, "
      "%.2f under attack; this process (viewers and attackers) %.2f quiet, %.2f under attack\n",
      (cpu1 - cpu0) / quietSeconds, (cpu2 - cpu1) / attackSeconds, (own1 - own0) / quietSeconds,
      (own2 - own1) / attackSeconds);
  std::printf(
      "hostile side: %llu connections made, %llu ended by the server, %llu connects failed\n",
      static_cast<unsigned long long>(attack.connected.load()),
      static_cast<unsigned long long>(attack.endedByServer.load()),
      static_cast<unsigned long long>(attack.refusedConnect.load()));
  hostileIo.reset();  // closes the hostile sockets still open

  std::this_thread::sleep_for(std::chrono::seconds(1));
  const Memory after = ReadMemory(server.pid);
  std::string perSecond;
  for (const double s : samples)
    perSecond += (perSecond.empty() ? "" : " ") + std::to_string(int(s));
  std::printf(
      "server memory (VmRSS of pid %d, MiB): started %.1f, after the %d logins %.1f, after the "
      "quiet run %.1f; during the attack %s (once a second), at most %.1f; at its end %.1f; 1 s "
      "after %.1f. Peak (VmHWM): %.1f before the attack, %.1f at the end (each of the 2 "
      "hashing threads takes 64 MiB while it checks a password)\n",
      server.pid, started.rss, o.clients, loggedIn.rss, afterQuiet.rss, perSecond.c_str(), maxRss,
      endOfAttack.rss, after.rss, afterQuiet.peak, after.peak);
  ::kill(server.pid, SIGTERM);
  int status = 0;
  bool ended = false;
  for (int i = 0; i < 200 && !ended; ++i) {
    ended = ::waitpid(server.pid, &status, WNOHANG) == server.pid;
    if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (!ended) {
    ::kill(server.pid, SIGKILL);
    ::waitpid(server.pid, &status, 0);
  }
  std::printf("server after SIGTERM: %s\n",
              !ended              ? "still running 10 s later, killed"
              : WIFEXITED(status) ? ("exit status " + std::to_string(WEXITSTATUS(status))).c_str()
                                  : "ended by a signal");
  PrintHostileLog(log);
  std::filesystem::remove_all(temp);
  return 0;
}

}  // namespace
}  // namespace orvenda::server::bench

int main(int argc, char** argv) { return orvenda::server::bench::Main(argc, argv); }
