// Helpers of the server tests: a fresh folder per test, a file's text, the fixtures,
// an element's vertices as the store keeps them, and the kind of a store's refusal.
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <random>
#include <string>

#include "store/grid.h"
#include "store/store.h"

namespace orvenda::server::test {

class TempDir {
 public:
  TempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("orvenda-server-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// The whole text of a file; empty when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

#ifdef ORVENDA_SERVER_FIXTURES
inline std::filesystem::path Fixture(const std::string& name) {
  return std::filesystem::path(ORVENDA_SERVER_FIXTURES) / name;
}
#endif

// The vertices of an element, read from the cell of its box's corner.
inline std::vector<Point> PointsOf(Store& s, std::int32_t layer, std::int32_t id) {
  const auto box = s.ElementExtent(layer, id).value();
  const auto cell = CellOfPoint({box.minX, box.minY}, s.FindLayerInfo(layer)->grid);
  for (const CellElement& e : s.CellElements(layer, cell))
    if (e.id == id) return e.points;
  return {};
}

// The kind of the StoreError that `act` throws; nothing when it throws none.
inline std::optional<StoreFault> FaultOf(const std::function<void()>& act) {
  try {
    act();
  } catch (const StoreError& e) {
    return e.Kind();
  }
  return std::nullopt;
}

}  // namespace orvenda::server::test
