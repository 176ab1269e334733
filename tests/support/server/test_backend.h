// The backend the server tests run against. By default SQLite files; when the
// environment names the test cluster's connection file (ORVENDA_TEST_PG, set by
// ctest for the "pg." copies of the tests), PostgreSQL, each store in a schema of
// its own in the cluster's database.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "store/store.h"

namespace orvenda::server::test {

bool TestingPostgres();
// Where a test keeps the store it would keep in `file`: the file itself, or "pg:" and
// the connection string of a fresh schema (the same one for the same file).
std::string StoreAt(const std::filesystem::path& file);
// Only for PostgreSQL: the connection string of StoreAt(file).
std::string ConninfoOf(const std::filesystem::path& file);
std::unique_ptr<Store> OpenTestStore(const std::filesystem::path& file);
// The command-line words that name that store: --db FILE or --pg CONNINFO.
std::vector<std::string> DatabaseArgs(const std::filesystem::path& file);
// Runs statements without results on the store's database (a test that damages it on
// purpose).
void ExecSql(const std::filesystem::path& file, const std::string& sql);

}  // namespace orvenda::server::test
