#pragma once

#include <bit>
#include <cstdint>
#include <string_view>

namespace orvenda {

// An owned text in eight bytes, for a value that every element of a layer
// carries and that is mostly a handful of characters ("0", "1250", "PUBLICA"):
// up to seven bytes live in place, a longer text on the heap behind its
// length. In place, the first byte holds the length shifted left with the low
// bit set; a heap block is at least 8-aligned, so a pointer's low bit is 0.
class ShortText {
 public:
  ShortText() = default;
  ~ShortText() { Release(); }
  ShortText(const ShortText&) = delete;
  ShortText& operator=(const ShortText&) = delete;

  [[nodiscard]] std::string_view View() const;
  void Assign(std::string_view text);

 private:
  static_assert(std::endian::native == std::endian::little,
                "the in-place tag lies in the pointer's low byte");
  static constexpr std::size_t kInPlace = 7;

  [[nodiscard]] bool InPlace() const { return (bytes_[0] & 1U) != 0; }
  [[nodiscard]] char* Heap() const;
  void Release();

  alignas(char*) unsigned char bytes_[8] = {};  // all zero: a null pointer, the empty text
};

}  // namespace orvenda
