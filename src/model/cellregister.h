#pragma once

#include <cstdint>
#include <span>
#include <unordered_set>
#include <vector>

namespace orvenda {

// One grid cell (i, j) as the layer records it.
struct CellIndex {
  int32_t i = 0;
  int32_t j = 0;
  bool operator==(const CellIndex&) const = default;
};

// The cells of a layer requested from the server for one purpose (elements,
// labels or directions), in the order they were recorded. Recording does not
// check for duplicates (callers ask Contains first); Contains answers from a
// hash set instead of scanning the list.
class CellRegister {
 public:
  void Record(int32_t i, int32_t j);
  [[nodiscard]] bool Contains(int32_t i, int32_t j) const;
  [[nodiscard]] int32_t count() const { return static_cast<int32_t>(cells_.size()); }
  [[nodiscard]] std::span<const CellIndex> Cells() const { return cells_; }
  void Clear();

 private:
  static uint64_t Key(int32_t i, int32_t j) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(i)) << 32) | static_cast<uint32_t>(j);
  }

  std::vector<CellIndex> cells_;
  std::unordered_set<uint64_t> known_;
};

}  // namespace orvenda
