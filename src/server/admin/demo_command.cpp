// demo-db PATH [--cache DIR] [--replace]
#include <chrono>
#include <ostream>

#include "admin/admin_commands.h"
#include "admin/arguments.h"
#include "demo/demo_database.h"

namespace orvenda::server {

int runDemoDbCommand(const std::vector<std::string>& args, CommandIo& io) {
  const Arguments a(args, {"cache"}, {"replace"});
  DemoOptions o;
  o.database = a.word(0, "database path");
  a.expectWords(1);
  if (auto c = a.value("cache")) o.cache = *c;
  o.replace = a.flag("replace");
  const auto start = std::chrono::steady_clock::now();
  buildDemoDatabase(o, io.out);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  io.out << "built in " << took.count() << " s, " << std::filesystem::file_size(o.database) / 1024
         << " KiB\n";
  return kExitOk;
}

}  // namespace orvenda::server
