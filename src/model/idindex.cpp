#include "model/idindex.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace orvenda {

std::size_t IdIndex::Home(int32_t id) const {
  // IDs arrive mostly in runs of consecutive numbers: each run of 16 keeps
  // neighbouring buckets (one cache line pair), while the runs themselves are
  // spread over the table by Fibonacci hashing, so strided IDs do not pile up.
  const auto key = static_cast<uint32_t>(id);
  const uint64_t h = static_cast<uint64_t>(key >> 4) * 0x9E3779B97F4A7C15ULL;
  const std::size_t group = groupShift_ >= 64 ? 0 : static_cast<std::size_t>(h >> groupShift_);
  return (group << 4) | (key & 15u);
}

std::size_t IdIndex::Locate(int32_t id) const {
  const std::size_t mask = buckets_.size() - 1;
  std::size_t at = Home(id);
  while (buckets_[at].slot != kNone && buckets_[at].id != id) {
    at = (at + 1) & mask;
  }
  return at;
}

uint32_t IdIndex::Find(int32_t id) const {
  if (size_ == 0) {
    return kNone;
  }
  return buckets_[Locate(id)].slot;
}

uint32_t IdIndex::Put(int32_t id, uint32_t slot) {
  if (slot == kNone) {
    throw std::length_error("too many elements for one collection");
  }
  if ((size_ + 1) * 2 > buckets_.size()) {  // keep the load at most one half
    Rehash(std::max<std::size_t>(16, buckets_.size() * 2));
  }
  Bucket& b = buckets_[Locate(id)];
  const uint32_t previous = b.slot;
  if (previous == kNone) {
    ++size_;
  }
  b = {id, slot};
  return previous;
}

bool IdIndex::Erase(int32_t id) {
  if (size_ == 0) {
    return false;
  }
  const std::size_t mask = buckets_.size() - 1;
  std::size_t hole = Locate(id);
  if (buckets_[hole].slot == kNone) {
    return false;
  }
  // Shift later members of the run back so that no probe stops early.
  for (std::size_t at = (hole + 1) & mask; buckets_[at].slot != kNone; at = (at + 1) & mask) {
    const std::size_t home = Home(buckets_[at].id);
    // Movable when its home is not in the cyclic range (hole, at].
    const bool homeAfterHole = ((at - home) & mask) < ((at - hole) & mask);
    if (!homeAfterHole) {
      buckets_[hole] = buckets_[at];
      hole = at;
    }
  }
  buckets_[hole] = Bucket{};
  --size_;
  return true;
}

void IdIndex::Reserve(std::size_t n) {
  if (n * 2 > buckets_.size()) {
    Rehash(std::bit_ceil(std::max<std::size_t>(16, n * 2)));
  }
}

void IdIndex::Clear() {
  buckets_.clear();
  size_ = 0;
  groupShift_ = 64;
}

void IdIndex::Rehash(std::size_t capacity) {
  std::vector<Bucket> old;
  old.swap(buckets_);
  buckets_.assign(capacity, Bucket{});
  // capacity is a power of two, at least 16: 16 buckets per group.
  groupShift_ = 64 - (static_cast<unsigned>(std::countr_zero(capacity)) - 4);
  for (const Bucket& b : old) {
    if (b.slot != kNone) {
      buckets_[Locate(b.id)] = b;
    }
  }
}

}  // namespace orvenda
