#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvenda {

// Map from element ID to a slot number, open-addressed with linear probing
// and backward-shift deletion: one flat array of 8-byte buckets, no node per
// element. Every 32-bit ID is a valid key.
class IdIndex {
 public:
  static constexpr uint32_t kNone = UINT32_MAX;

  // Slot of the ID, kNone when absent.
  [[nodiscard]] uint32_t Find(int32_t id) const;
  // Stores or overwrites; answers the slot held before (kNone when new).
  uint32_t Put(int32_t id, uint32_t slot);
  // Removes the ID; false when it was absent.
  bool Erase(int32_t id);
  [[nodiscard]] std::size_t size() const { return size_; }
  void Reserve(std::size_t n);
  void Clear();

 private:
  struct Bucket {
    int32_t id = 0;
    uint32_t slot = kNone;  // kNone marks an empty bucket
  };

  [[nodiscard]] std::size_t Home(int32_t id) const;
  [[nodiscard]] std::size_t Locate(int32_t id) const;  // its bucket or the empty one ending the run
  void Rehash(std::size_t capacity);

  std::vector<Bucket> buckets_;
  std::size_t size_ = 0;
  unsigned groupShift_ = 64;
};

}  // namespace orvenda
