#pragma once
// Conversions between protocol values and their byte images. Arrays are 0-based
// here; `start` is the index of the first byte to read.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvenda {

std::array<std::uint8_t, 2> IntegerToBytes(std::int16_t value);
std::array<std::uint8_t, 4> LongToBytes(std::int32_t value);
std::array<std::uint8_t, 4> SingleToBytes(float value);
std::array<std::uint8_t, 8> DoubleToBytes(double value);
// One Windows-1252 byte per character of the UTF-8 text; empty for "".
std::vector<std::uint8_t> StringToBytes(std::string_view utf8);

// Each reader requires the bytes from `start` to be inside `bytes`; it throws
// MessageTooShort otherwise.
std::int16_t BytesToInteger(const std::vector<std::uint8_t>& bytes, std::size_t start);
std::int32_t BytesToLong(const std::vector<std::uint8_t>& bytes, std::size_t start);
float BytesToSingle(const std::vector<std::uint8_t>& bytes, std::size_t start);
double BytesToDouble(const std::vector<std::uint8_t>& bytes, std::size_t start);
// `count` Windows-1252 bytes from `start`, returned as UTF-8.
std::string BytesToString(const std::vector<std::uint8_t>& bytes, std::size_t start,
                          std::size_t count);

}  // namespace orvenda
