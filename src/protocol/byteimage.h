#pragma once
// Byte images of the protocol's numeric types, the one implementation behind
// wsckfunciones and DWBUffer. Every number travels little-endian, the header's length
// field included, whatever the host's own byte order.

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace orvenda::byteimage {

// Between the host's order and the wire's; the same step both ways.
template <std::size_t N>
void ToWireOrder(std::array<std::uint8_t, N>& bytes) {
  if constexpr (std::endian::native == std::endian::big) std::reverse(bytes.begin(), bytes.end());
}

template <typename T>
std::array<std::uint8_t, sizeof(T)> ToBytes(T value) {
  std::array<std::uint8_t, sizeof(T)> out;
  std::memcpy(out.data(), &value, sizeof(T));
  ToWireOrder(out);
  return out;
}

// Reads sizeof(T) bytes from `bytes`; the caller guarantees they are there.
template <typename T>
T FromBytes(const std::uint8_t* bytes) {
  std::array<std::uint8_t, sizeof(T)> raw;
  std::memcpy(raw.data(), bytes, sizeof(T));
  ToWireOrder(raw);
  T value;
  std::memcpy(&value, raw.data(), sizeof(T));
  return value;
}

}  // namespace orvenda::byteimage
