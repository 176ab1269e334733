#pragma once
// The database the benchmark serves: a given one (the demo database) or one generated
// here, with the cells every client will ask for.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "store/store.h"

namespace orvenda::server::bench {

struct CellJob {
  std::int32_t layer;
  CellKey cell;
};

struct MapJob {
  std::int32_t code = 0;
  std::vector<std::int32_t> layers;  // in drawing order
  std::vector<CellJob> cells;        // every cell of every layer's grid
};

struct BenchDatabase {
  std::filesystem::path path;
  std::string description;
  std::string user, password;
  std::vector<MapJob> maps;
};

// Generates a database of three layers (points, lines, areas) over a 2 x 2 degree
// region at `path`, with the user "bench" / "bench" allowed to view everything.
void GenerateDatabase(const std::filesystem::path& path);

// Lists the maps `user` may open and the cells of their layers; at most `maxCells`
// cells per map (the first ones, row by row).
std::vector<MapJob> CollectJobs(Store& store, const std::string& user, std::size_t maxCells);

}  // namespace orvenda::server::bench
