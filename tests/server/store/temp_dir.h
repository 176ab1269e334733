// A fresh folder per test, removed afterwards.
#pragma once

#include <filesystem>
#include <random>
#include <string>

namespace orvenda::server::test {

class TempDir {
 public:
  TempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("orvenda-store-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

inline std::filesystem::path fixture(const std::string& name) {
  return std::filesystem::path(ORVENDA_SERVER_FIXTURES) / name;
}

}  // namespace orvenda::server::test
