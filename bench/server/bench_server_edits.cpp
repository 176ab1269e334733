// bench_server_edits: edits pushed live. Starts the real server in this process on an
// ephemeral loopback port (two network threads) over the generated database of
// bench_server, opens its map on `editors` + `viewers` connections, and lets each
// editor add lines and change their values, one edit in flight, for `seconds`. Every
// connection reads every message 250; prints edits/s and the time from an edit's send
// to its 250 at the other connections (p50/p99), and at its author.
//
//   bench_server_edits [--editors 16] [--viewers 48] [--seconds 5] [--threads 2]
#include <algorithm>
#include <cstdio>
#include <random>
#include <sstream>

#include "bench_client.h"
#include "bench_database.h"
#include "bench_edits.h"
#include "net/server.h"

namespace orvenda::server::bench {
namespace {

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

int Main(int argc, char** argv) {
  const Options o = Parse(argc, argv);
  const auto temp = std::filesystem::temp_directory_path() /
                    ("orvenda-bench-edits-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(temp);
  const auto path = temp / "generated.db";
  GenerateDatabase(path);
  EditLoad load;
  load.editors = o.editors;
  load.viewers = o.viewers;
  load.seconds = o.seconds;
  {
    auto store = OpenStore(path);
    load.layer = store->FindLayer("Calles")->id;
    store->SetAccess(store->FindUser("bench")->id, load.layer, AccessLevel::Draw);
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
  load.ports = {server.Port()};
  EditFigures f = RunEdits(load);
  server.Stop();
  server.Wait();
  std::filesystem::remove_all(temp);

  std::printf(
      "orvenda-server edits: %d editors and %d viewers of one map, %d server threads, "
      "loopback; new lines and new values in turn, one edit in flight per editor\n",
      o.editors, o.viewers, o.threads);
  std::printf(
      "  edits  seconds  edits/s  others p50 ms  others p99 ms  author p50 ms  author p99 ms\n");
  std::printf("%7llu %8.2f %8.0f %14.2f %14.2f %14.2f %14.2f%s%s\n",
              static_cast<unsigned long long>(f.edits), f.seconds,
              static_cast<double>(f.edits) / f.seconds, Percentile(f.othersMicros, 0.5),
              Percentile(f.othersMicros, 0.99), Percentile(f.authorMicros, 0.5),
              Percentile(f.authorMicros, 0.99),
              f.error.empty() ? "" : "  error: ", f.error.c_str());
  return f.error.empty() ? 0 : 1;
}

}  // namespace
}  // namespace orvenda::server::bench

int main(int argc, char** argv) { return orvenda::server::bench::Main(argc, argv); }
