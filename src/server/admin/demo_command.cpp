// demo-db PATH [--cache DIR] [--replace], or demo-db --pg CONNINFO [--cache DIR]
#include <chrono>
#include <ostream>

#include "admin/admin_commands.h"
#include "admin/arguments.h"
#include "demo/demo_database.h"

namespace orvenda::server {

int RunDemoDbCommand(const std::vector<std::string>& args, CommandIo& io) {
  const Arguments a(args, {"cache", "pg"}, {"replace"});
  DemoOptions o;
  o.pg = a.Value("pg").value_or("");
  if (o.pg.empty()) o.database = a.Word(0, "database path");
  a.ExpectWords(o.pg.empty() ? 1 : 0);
  if (auto c = a.Value("cache")) o.cache = *c;
  o.replace = a.Flag("replace");
  const auto start = std::chrono::steady_clock::now();
  BuildDemoDatabase(o, io.out);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  io.out << "built in " << took.count() << " s";
  if (o.pg.empty()) io.out << ", " << std::filesystem::file_size(o.database) / 1024 << " KiB";
  io.out << "\n";
  return kExitOk;
}

}  // namespace orvenda::server
