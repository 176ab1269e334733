#include "test_backend.h"

#include <cstdlib>
#include <map>
#include <mutex>
#include <random>

#include "store/pg_db.h"
#include "store/site_copy.h"
#include "store/sqlite_db.h"
#include "temp_dir.h"

namespace orvenda::server::test {
namespace {

std::string ClusterConninfo() {
  const char* file = std::getenv("ORVENDA_TEST_PG");
  if (!file || !*file) return {};
  std::string text = ReadFile(file);
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  if (text.empty())
    throw StoreError(StoreFault::StorageFailure, "no test cluster in " + std::string(file));
  return text;
}

}  // namespace

bool TestingPostgres() {
  static const bool pg = !ClusterConninfo().empty();
  return pg;
}

std::string ConninfoOf(const std::filesystem::path& file) {
  static std::mutex mutex;
  static std::map<std::filesystem::path, std::string> schemas;
  const std::lock_guard lock(mutex);
  auto& conninfo = schemas[file];
  if (conninfo.empty()) {
    const std::string cluster = ClusterConninfo();
    std::random_device rd;
    const std::string schema = "t" + std::to_string(rd()) + "_" + std::to_string(rd());
    PgDb(cluster).Exec("CREATE SCHEMA " + schema);
    conninfo = cluster + " options='-c search_path=" + schema + ",public'";
  }
  return conninfo;
}

std::string StoreAt(const std::filesystem::path& file) {
  return TestingPostgres() ? "pg:" + ConninfoOf(file) : file.string();
}

std::unique_ptr<Store> OpenTestStore(const std::filesystem::path& file) {
  return OpenStoreAt(StoreAt(file)).store;
}

std::vector<std::string> DatabaseArgs(const std::filesystem::path& file) {
  if (TestingPostgres()) return {"--pg", ConninfoOf(file)};
  return {"--db", file.string()};
}

void ExecSql(const std::filesystem::path& file, const std::string& sql) {
  if (TestingPostgres())
    PgDb(ConninfoOf(file)).Exec(sql);
  else
    SqliteDb(file).Exec(sql);
}

}  // namespace orvenda::server::test
