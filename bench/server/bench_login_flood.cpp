// bench_login_flood: a login flood against the real server, started in this process on
// an ephemeral loopback port with the defaults of `orvenda-server serve`. `hostile`
// connections from `addresses` loopback addresses (127.1.x.y) send wrong-password
// logins (request 12) one after another: half guess the password of the account
// "victim", half name accounts that do not exist, and one in four of these closes as
// soon as its login is sent. After `warmup` seconds an honest
// user of another account ("bench", from 127.0.0.1) logs in, opens the map (10, 1, 11)
// and asks for cells (2) one at a time until the end. The same honest user first runs
// alone for comparison. Prints figures and never judges them.
//
//   bench_login_flood [--hostile 500] [--addresses 250] [--seconds 10] [--warmup 3]
//                     [--max-connections 256]
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
#include <random>
#include <sstream>
#include <thread>

#include "bench_client.h"
#include "bench_database.h"
#include "net/server.h"
#include "store/password.h"

namespace orvenda::server::bench {
namespace {

using Clock = std::chrono::steady_clock;
using asio::use_awaitable;

struct Options {
  int hostile = 500, addresses = 250, seconds = 10, warmup = 3, maxConnections = 256;
};

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string k = argv[i];
    const int v = std::max(1, std::stoi(argv[i + 1]));
    if (k == "--hostile") o.hostile = v;
    if (k == "--addresses") o.addresses = std::min(v, 250 * 250);
    if (k == "--seconds") o.seconds = v;
    if (k == "--warmup") o.warmup = v;
    if (k == "--max-connections") o.maxConnections = v;
  }
  o.warmup = std::min(o.warmup, o.seconds - 1);
  return o;
}

DWBUffer Message(std::int16_t code) {
  DWBUffer b;
  b.CrearHeader();
  b.PutInteger(code);
  return b;
}

DWBUffer LoginRequest(const std::string& user, const std::string& password) {
  DWBUffer b = Message(12);
  b.PutString(user);
  b.PutString(password);
  b.cerrarMensaje(0);
  return b;
}

struct Flood {
  std::atomic<bool> stop{false};
  std::atomic<std::uint64_t> attempts{0}, failures{0};
};

// One hostile connection after another from one address, each a wrong-password login
// read to its end (the server closes it), or left at once.
asio::awaitable<void> Hostile(std::uint16_t port, int k, int addresses, Flood& f) {
  const auto ex = co_await asio::this_coro::executor;
  const int a = k % addresses;
  const auto source = asio::ip::make_address_v4("127.1." + std::to_string(a / 250) + "." +
                                                std::to_string(1 + a % 250));
  const asio::ip::tcp::endpoint server(asio::ip::make_address_v4("127.0.0.1"), port);
  std::array<std::uint8_t, 512> buf{};
  for (int i = 0; !f.stop; ++i) {
    asio::error_code ec;
    asio::ip::tcp::socket s(ex);
    s.open(asio::ip::tcp::v4(), ec);
    if (!ec) s.bind({source, 0}, ec);
    if (!ec) co_await s.async_connect(server, asio::redirect_error(use_awaitable, ec));
    const DWBUffer login = LoginRequest(
        k % 2 == 0 ? "victim" : "nobody-" + std::to_string(k) + "-" + std::to_string(i),
        "guess-" + std::to_string(i));
    if (!ec)
      co_await asio::async_write(s, asio::buffer(login.bytes()),
                                 asio::redirect_error(use_awaitable, ec));
    if (k % 4 == 3 && !ec) {
      ++f.attempts;
      continue;
    }
    while (!ec)
      co_await s.async_read_some(asio::buffer(buf), asio::redirect_error(use_awaitable, ec));
    ++(ec == asio::error::eof ? f.attempts : f.failures);
    if (ec != asio::error::eof) {
      asio::steady_timer pause(ex, std::chrono::milliseconds(10));
      co_await pause.async_wait(asio::redirect_error(use_awaitable, ec));
    }
  }
}

struct Honest {
  Clock::time_point deadline;
  std::vector<float> loginMillis;  // one per try until accepted
  float loggedInMillis = 0;        // from the first try to the accepting reply
  int shutOut = 0;                 // tries closed without a reply
  float openMillis = 0;
  std::vector<float> cellMillis;
  std::string error;
};

float MillisSince(Clock::time_point t0) {
  return std::chrono::duration<float, std::milli>(Clock::now() - t0).count();
}

// Logs in (trying again 100 ms after a refusal or a connection closed unanswered, as
// a user clicking again would, at most 20 times), opens the map and asks its cells one at a time,
// round and round, until the deadline.
asio::awaitable<void> HonestUser(std::uint16_t port, const MapJob& job, Honest& h) {
  try {
    std::int32_t user = -1;
    std::uint64_t bytes = 0;
    std::int16_t code = 0;
    const auto first = Clock::now();
    while (user < 1 && h.loginMillis.size() < 20) {
      if (!h.loginMillis.empty()) {
        asio::steady_timer pause(co_await asio::this_coro::executor,
                                 std::chrono::milliseconds(100));
        co_await pause.async_wait(use_awaitable);
      }
      const auto t0 = Clock::now();
      try {
        Wire w = co_await Connect(port);
        co_await w.Send(LoginRequest("bench", "bench"));
        user = (co_await w.Next(code, bytes)).GetLong();
      } catch (const std::exception&) {
        ++h.shutOut;  // closed without a reply: over the connection limit
      }
      h.loginMillis.push_back(MillisSince(t0));
    }
    h.loggedInMillis = MillisSince(first);
    if (user < 1) throw std::runtime_error("login refused 20 times");
    const auto t0 = Clock::now();
    Wire w = co_await Connect(port);
    DWBUffer open = Message(10);
    open.PutLong(user);
    open.PutLong(job.code);
    open.cerrarMensaje(0);
    co_await w.Send(open);
    if ((co_await w.Next(code, bytes)).GetInteger() != 0) throw std::runtime_error("map refused");
    DWBUffer def = Message(1);
    def.PutLong(job.code);
    def.cerrarMensaje(0);
    co_await w.Send(def);
    co_await w.Next(code, bytes);
    DWBUffer levels = Message(11);
    levels.PutLong(user);
    levels.PutInteger(static_cast<std::int16_t>(job.layers.size()));
    for (const auto id : job.layers) levels.PutLong(id);
    levels.cerrarMensaje(0);
    co_await w.Send(levels);
    co_await w.Next(code, bytes);
    h.openMillis = MillisSince(t0);
    for (std::size_t i = 0; Clock::now() < h.deadline; ++i) {
      const CellJob& c = job.cells[i % job.cells.size()];
      DWBUffer req = Message(2);
      req.PutLong(c.layer);
      req.PutLong(c.cell.row);
      req.PutLong(c.cell.column);
      req.cerrarMensaje(0);
      const auto sent = Clock::now();
      co_await w.Send(req);
      co_await w.Next(code, bytes);
      if (code != 102) throw std::runtime_error("cell reply " + std::to_string(code));
      h.cellMillis.push_back(MillisSince(sent));
    }
  } catch (const std::exception& e) {
    h.error = e.what();
  }
}

Honest RunHonest(std::uint16_t port, const MapJob& job, std::chrono::seconds length) {
  Honest h;
  h.deadline = Clock::now() + length;
  asio::io_context io;
  asio::co_spawn(io, HonestUser(port, job, h), asio::detached);
  io.run();
  return h;
}

void Print(const char* what, const Honest& h) {
  std::string tries;
  for (const float ms : h.loginMillis) tries += (tries.empty() ? "" : ", ") + std::to_string(ms);
  std::printf(
      "%s: logged in after %.1f ms, %zu tries (%d closed unanswered; ms: %s), map open %.1f ms, "
      "%zu cells, cell reply "
      "p50 %.2f ms p99 "
      "%.2f ms%s%s\n",
      what, h.loggedInMillis, h.loginMillis.size(), h.shutOut, tries.c_str(), h.openMillis,
      h.cellMillis.size(), Percentile(h.cellMillis, 0.5), Percentile(h.cellMillis, 0.99),
      h.error.empty() ? "" : ", error: ", h.error.c_str());
}

std::size_t CountLines(const std::filesystem::path& log, const std::string& text) {
  std::ifstream in(log);
  std::size_t n = 0;
  for (std::string line; std::getline(in, line);) n += line.find(text) != std::string::npos;
  return n;
}

int Main(int argc, char** argv) {
  const Options o = Parse(argc, argv);
  const auto temp = std::filesystem::temp_directory_path() /
                    ("orvenda-bench-flood-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(temp);
  const auto path = temp / "generated.db";
  GenerateDatabase(path);
  MapJob job;
  {
    auto store = OpenStore(path);
    store->AddUser("victim", HashPassword("not a guess"), false);
    job = CollectJobs(*store, "bench", 4096).at(0);
  }
  ServerConfig config;
  config.port = 0;
  config.maxConnections = o.maxConnections;
  config.logFile = (temp / "server.log").string();
  std::ostringstream fallback;
  ServerLog log(config.logFile, fallback);
  Server server(
      config, [path] { return OpenStore(path); }, log);
  server.Start();
  std::printf(
      "orvenda-server login flood: %d hostile connections from %d addresses (127.1.x.y), "
      "%d s; honest user from 127.0.0.1 after %d s\n"
      "limits: %d connections; %d failures per account, %d per address in %lld s; %d checks under "
      "way "
      "(%d per address); %d hashing threads\n",
      o.hostile, o.addresses, o.seconds, o.warmup, config.maxConnections,
      config.login.accountAttempts, config.login.addressAttempts,
      static_cast<long long>(config.login.window.count() / 1000), config.login.inProgress,
      config.login.inProgressPerAddress, config.passwordThreads);
  const auto honestLength = std::chrono::seconds(o.seconds - o.warmup);
  Print("quiet run", RunHonest(server.Port(), job, honestLength));

  const std::uint64_t hashesBefore = server.PasswordHashes();
  Flood flood;
  asio::io_context hostileIo;
  for (int k = 0; k < o.hostile; ++k)
    asio::co_spawn(hostileIo, Hostile(server.Port(), k, o.addresses, flood), asio::detached);
  const auto started = Clock::now();
  std::thread hostileThread([&] { hostileIo.run(); });
  std::size_t maxConnections = 0;
  int maxInProgress = 0;
  std::atomic<bool> sampling{true};
  std::thread sampler([&] {
    while (sampling) {
      maxConnections = std::max(maxConnections, server.Connections());
      maxInProgress = std::max(maxInProgress, server.LoginsInProgress());
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });
  std::this_thread::sleep_for(std::chrono::seconds(o.warmup));
  const Honest during = RunHonest(server.Port(), job, honestLength);
  flood.stop = true;
  hostileThread.join();
  const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
  sampling = false;
  sampler.join();
  Print("during the flood", during);
  server.Stop();
  server.Wait();

  const auto victimChecks =
      CountLines(config.logFile, "wrong user name or password for user 'victim'");
  const auto hashes = server.PasswordHashes() - hashesBefore;
  std::printf(
      "flood: %.1f s, %llu hostile logins answered (%.0f/s), %llu connections failed; "
      "%llu password hashes (%.1f/s); peak %zu connections, %d checks under way\n"
      "refused without a hash: %zu busy, %zu busy address, %zu account failures, %zu address "
      "failures; dropped (client gone): %zu; connections refused at the limit: %zu, made room for "
      "a newer one: %zu\n"
      "guesses at the password of 'victim': %zu in %.1f s = %.3f/s (the limit allows %d per "
      "%lld s = %.3f/s from any number of addresses)\n",
      seconds, static_cast<unsigned long long>(flood.attempts.load()),
      static_cast<double>(flood.attempts.load()) / seconds,
      static_cast<unsigned long long>(flood.failures.load()),
      static_cast<unsigned long long>(hashes), static_cast<double>(hashes) / seconds,
      maxConnections, maxInProgress, CountLines(config.logFile, "too many logins under way ("),
      CountLines(config.logFile, "too many logins under way from this address"),
      CountLines(config.logFile, "too many failed logins for this account"),
      CountLines(config.logFile, "too many failed logins from this address"),
      CountLines(config.logFile, "while its request waited"),
      CountLines(config.logFile, "refused: too many connections"),
      CountLines(config.logFile, "made room for a newer connection"), victimChecks, seconds,
      static_cast<double>(victimChecks) / seconds, config.login.accountAttempts,
      static_cast<long long>(config.login.window.count() / 1000),
      config.login.accountAttempts * 1000.0 / static_cast<double>(config.login.window.count()));
  std::filesystem::remove_all(temp);
  return 0;
}

}  // namespace
}  // namespace orvenda::server::bench

int main(int argc, char** argv) { return orvenda::server::bench::Main(argc, argv); }
