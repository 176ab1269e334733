#include "protocol/wsckfunciones.h"

#include "protocol/byteimage.h"
#include "protocol/codepage.h"
#include "protocol/protocolerror.h"

namespace orvenda {
namespace {

void Require(const std::vector<std::uint8_t>& bytes, std::size_t start, std::size_t count) {
  if (start > bytes.size() || bytes.size() - start < count) {
    throw MessageTooShort("byte image needs " + std::to_string(count) + " bytes at " +
                          std::to_string(start) + ", only " + std::to_string(bytes.size()) +
                          " held");
  }
}

template <typename T>
T Read(const std::vector<std::uint8_t>& bytes, std::size_t start) {
  Require(bytes, start, sizeof(T));
  return byteimage::FromBytes<T>(bytes.data() + start);
}

}  // namespace

std::array<std::uint8_t, 2> IntegerToBytes(std::int16_t value) { return byteimage::ToBytes(value); }
std::array<std::uint8_t, 4> LongToBytes(std::int32_t value) { return byteimage::ToBytes(value); }
std::array<std::uint8_t, 4> SingleToBytes(float value) { return byteimage::ToBytes(value); }
std::array<std::uint8_t, 8> DoubleToBytes(double value) { return byteimage::ToBytes(value); }

std::vector<std::uint8_t> StringToBytes(std::string_view utf8) {
  const std::string ansi = Utf8ToCp1252(utf8);
  return {ansi.begin(), ansi.end()};
}

std::int16_t BytesToInteger(const std::vector<std::uint8_t>& bytes, std::size_t start) {
  return Read<std::int16_t>(bytes, start);
}
std::int32_t BytesToLong(const std::vector<std::uint8_t>& bytes, std::size_t start) {
  return Read<std::int32_t>(bytes, start);
}
float BytesToSingle(const std::vector<std::uint8_t>& bytes, std::size_t start) {
  return Read<float>(bytes, start);
}
double BytesToDouble(const std::vector<std::uint8_t>& bytes, std::size_t start) {
  return Read<double>(bytes, start);
}

std::string BytesToString(const std::vector<std::uint8_t>& bytes, std::size_t start,
                          std::size_t count) {
  Require(bytes, start, count);
  return Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(bytes.data() + start), count));
}

}  // namespace orvenda
