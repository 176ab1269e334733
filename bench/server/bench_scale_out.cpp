// bench_scale_out: one site served three ways by the real server program: one process on
// SQLite, then one and two processes on PostgreSQL, into which the SQLite site is copied
// with `copy-db`. For each, 64 clients spread over the processes ask for every cell of
// every map (cell replies/s, latency p50/p99), then 16 editors and 48 viewers, also
// spread, measure the push latency: an edit sent -> its 250 at the other connections
// (with two processes, half of them on the other one). Every phase also prints the CPU
// seconds of the server processes, of the PostgreSQL backends and of this program (the
// clients), which is where its time went: all share the machine's cores.
//
//   bench_scale_out --db demo.db --pg CONNINFO [--user demo --password demo]
//                   [--clients 64] [--max-cells 500] [--seconds 5] [--threads 2]
// CONNINFO names an empty database with PostGIS (scripts/test-postgres.sh start DIR
// makes a throwaway one); the site goes into a schema of its own there, dropped at the end.
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>

#include "bench_client.h"
#include "bench_database.h"
#include "bench_edits.h"
#include "store/pg_db.h"
#include "store/site_copy.h"

namespace orvenda::server::bench {
namespace {

struct Options {
  std::string db, pg, user = "demo", password = "demo";
  std::string server = ORVENDA_SERVER_EXE;
  int clients = 64, seconds = 5, threads = 2;
  std::size_t maxCells = 500;
};

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string k = argv[i], v = argv[i + 1];
    if (k == "--db") o.db = v;
    if (k == "--pg") o.pg = v;
    if (k == "--user") o.user = v;
    if (k == "--password") o.password = v;
    if (k == "--clients") o.clients = std::max(2, std::stoi(v));
    if (k == "--seconds") o.seconds = std::max(1, std::stoi(v));
    if (k == "--threads") o.threads = std::max(1, std::stoi(v));
    if (k == "--max-cells") o.maxCells = std::stoul(v);
  }
  return o;
}

// A line layer of its own in the first map, where the editors draw.
EditLoad PrepareEdits(Store& s, const Options& o, std::int32_t map) {
  EditLoad load;
  load.user = o.user;
  load.password = o.password;
  load.map = map;
  load.seconds = o.seconds;
  load.editors = o.clients / 4;
  load.viewers = o.clients - load.editors;
  load.layer = s.CreateLayer(
      {"Bench edits", LayerKind::Polyline, 0.5f, 0.5f, {{"NOMBRE", 200}, {"DIR", 2}}});
  LayerRecord setup;
  setup.id = load.layer;
  setup.labelField = "NOMBRE";
  s.AddLayerToMap(map, setup);
  s.SetAccess(s.FindUser(o.user)->id, load.layer, AccessLevel::Draw);
  return load;
}

// CPU seconds of the servers, of the database's backends and of this program.
struct Cpu {
  double servers = 0, database = 0, clients = 0;
};

Cpu CpuNow(const std::vector<Child>& children, PgDb* db) {
  Cpu c;
  for (const Child& child : children) c.servers += CpuSeconds(child.pid);
  if (db) {
    PgResult r =
        db->Query("SELECT pid FROM pg_stat_activity WHERE backend_type = 'client backend'");
    for (int i = 0; i < r.Rows(); ++i) c.database += CpuSeconds(static_cast<int>(r.Integer(i, 0)));
  }
  c.clients = CpuSeconds(::getpid());
  return c;
}

void Phase(const char* name, const std::vector<Child>& children, PgDb* db,
           const std::function<std::string()>& run) {
  const Cpu before = CpuNow(children, db);
  const std::string figures = run();
  const Cpu after = CpuNow(children, db);
  std::printf("  %-7s %s  cpu s: servers %.1f, PostgreSQL %.1f, clients %.1f\n", name,
              figures.c_str(), after.servers - before.servers, after.database - before.database,
              after.clients - before.clients);
  std::fflush(stdout);
}

std::string Format(const char* format, auto... values) {
  char line[256];
  std::snprintf(line, sizeof line, format, values...);
  return line;
}

int Main(int argc, char** argv) {
  const Options o = Parse(argc, argv);
  if (o.db.empty() || o.pg.empty()) {
    std::fprintf(stderr, "usage: bench_scale_out --db SQLITE-SITE --pg CONNINFO [...]\n");
    return 2;
  }
  const auto temp = std::filesystem::temp_directory_path() /
                    ("orvenda-bench-scale-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(temp);
  const auto site = temp / "site.db";
  std::filesystem::copy_file(o.db, site);
  BenchDatabase cells;
  cells.user = o.user;
  cells.password = o.password;
  EditLoad edits;
  {
    auto s = OpenStore(site);
    cells.maps = CollectJobs(*s, o.user, o.maxCells);
    if (cells.maps.empty()) throw std::runtime_error(o.user + " may open no map in " + o.db);
    edits = PrepareEdits(*s, o, cells.maps.front().code);
  }
  std::size_t perPass = 0;
  for (const auto& m : cells.maps) perPass += m.cells.size();

  PgDb admin(o.pg);
  const std::string schema = "orvenda_bench_" + std::to_string(std::random_device{}() % 100000);
  admin.Exec("CREATE SCHEMA " + schema);
  const std::string conninfo = o.pg + " options='-c search_path=" + schema + ",public'";
  const auto copyStart = std::chrono::steady_clock::now();
  const std::string copy =
      o.server + " copy-db " + site.string() + " \"pg:" + conninfo + "\" >/dev/null";
  if (std::system(copy.c_str()) != 0) throw std::runtime_error("copy-db failed: " + copy);
  std::printf(
      "orvenda-server scale-out: %s copied into PostgreSQL in %.1f s; %zu maps, %zu cells per "
      "client pass; %d clients (cells), %d editors + %d viewers (edits); %d threads per "
      "process; loopback\n",
      o.db.c_str(),
      std::chrono::duration<double>(std::chrono::steady_clock::now() - copyStart).count(),
      cells.maps.size(), perPass, o.clients, edits.editors, edits.viewers, o.threads);

  const struct {
    const char* name;
    std::vector<std::string> database;
    int processes;
  } setups[] = {
      {"SQLite, 1 process", {"--db", site.string()}, 1},
      {"PostgreSQL, 1 process", {"--pg", conninfo}, 1},
      {"PostgreSQL, 2 processes", {"--pg", conninfo}, 2},
  };
  int status = 0, started = 0;
  for (const auto& setup : setups) {
    std::vector<Child> children;
    std::vector<std::uint16_t> ports;
    for (int i = 0; i < setup.processes; ++i) {
      std::vector<std::string> options = setup.database;
      options.insert(options.end(), {"--threads", std::to_string(o.threads), "--max-connections",
                                     "1024", "--max-logins-per-address", "64"});
      children.push_back(
          StartServer(o.server, options, temp / ("server-" + std::to_string(started++) + ".log")));
      ports.push_back(children.back().port);
    }
    PgDb* db = setup.database[0] == "--pg" ? &admin : nullptr;
    std::printf("%s\n", setup.name);
    Phase("cells", children, db, [&] {
      double seconds = 0;
      ClientStats all = RunClients(ports, cells, o.clients, 4, seconds);
      if (!all.error.empty()) status = 1;
      return Format("%9.0f cell replies/s, p50 %.2f ms, p99 %.2f ms (%llu in %.1f s)%s%s",
                    static_cast<double>(all.cells) / seconds, Percentile(all.cellMicros, 0.5),
                    Percentile(all.cellMicros, 0.99), static_cast<unsigned long long>(all.cells),
                    seconds, all.error.empty() ? "" : ", error: ", all.error.c_str());
    });
    Phase("edits", children, db, [&] {
      edits.ports = ports;
      const EditFigures f = RunEdits(edits);
      if (!f.error.empty()) status = 1;
      return Format("%9.0f edits/s, push p50 %.2f ms, p99 %.2f ms (author p50 %.2f ms)%s%s",
                    static_cast<double>(f.edits) / f.seconds, Percentile(f.othersMicros, 0.5),
                    Percentile(f.othersMicros, 0.99), Percentile(f.authorMicros, 0.5),
                    f.error.empty() ? "" : ", error: ", f.error.c_str());
    });
    for (const Child& c : children) {
      ::kill(c.pid, SIGTERM);
      ::waitpid(c.pid, nullptr, 0);
    }
  }
  admin.Exec("DROP SCHEMA " + schema + " CASCADE");
  std::filesystem::remove_all(temp);
  return status;
}

}  // namespace
}  // namespace orvenda::server::bench

int main(int argc, char** argv) { return orvenda::server::bench::Main(argc, argv); }
