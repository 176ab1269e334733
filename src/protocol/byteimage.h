#pragma once
// Byte images of the protocol's numeric types. Every number travels little-endian,
// the header's length field included, whatever the host's own byte order.

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace orvenda::byteimage {

template <typename T>
std::array<std::uint8_t, sizeof(T)> ToBytes(T value) {
  std::array<std::uint8_t, sizeof(T)> out;
  std::memcpy(out.data(), &value, sizeof(T));
  if constexpr (std::endian::native == std::endian::big) {
    for (std::size_t i = 0; i < sizeof(T) / 2; ++i) std::swap(out[i], out[sizeof(T) - 1 - i]);
  }
  return out;
}

// Reads sizeof(T) bytes from `bytes`; the caller guarantees they are there.
template <typename T>
T FromBytes(const std::uint8_t* bytes) {
  std::array<std::uint8_t, sizeof(T)> raw;
  std::memcpy(raw.data(), bytes, sizeof(T));
  if constexpr (std::endian::native == std::endian::big) {
    for (std::size_t i = 0; i < sizeof(T) / 2; ++i) std::swap(raw[i], raw[sizeof(T) - 1 - i]);
  }
  T value;
  std::memcpy(&value, raw.data(), sizeof(T));
  return value;
}

}  // namespace orvenda::byteimage
