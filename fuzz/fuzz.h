#pragma once
// What the harnesses share: a check that ends the run (libFuzzer keeps the input; the
// corpus replay fails), and the front of an input read as the sizes of the pieces in
// which the rest arrives.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace orvenda::fuzz {

using Bytes = std::vector<std::uint8_t>;

inline void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

inline constexpr std::size_t kSizeBytes = 4;

// Hands `data` over in pieces whose sizes (1 to 256) are the kSizeBytes bytes in front of
// it, taken in turn; false when the input is shorter than those.
inline bool InPieces(const std::uint8_t* data, std::size_t size,
                     const std::function<void(const Bytes&)>& deliver) {
  if (size < kSizeBytes) return false;
  std::size_t turn = 0;
  for (std::size_t pos = kSizeBytes; pos < size;) {
    const std::size_t n = std::min<std::size_t>(size - pos, data[turn++ % kSizeBytes] + 1u);
    deliver(Bytes(data + pos, data + pos + n));
    pos += n;
  }
  return true;
}

}  // namespace orvenda::fuzz
