#include "protocol/dwbuffer.h"

#include <stdexcept>

#include "protocol/byteimage.h"
#include "protocol/codepage.h"
#include "protocol/protocolerror.h"

namespace orvenda {
namespace {

constexpr std::uint8_t kMagic[4] = {'M', 'I', 'C', ' '};

}  // namespace

void DWBUffer::buffer(Bytes bytes) {
  bytes_ = std::move(bytes);
  cursor_ = 1;
}

void DWBUffer::CrearHeader() {
  bytes_.assign(kHeaderSize, 0);
  std::copy(std::begin(kMagic), std::end(kMagic), bytes_.begin());
  cursor_ = 1;
}

void DWBUffer::Append(const std::uint8_t* data, std::size_t n) {
  if (bytes_.empty()) CrearHeader();
  bytes_.insert(bytes_.end(), data, data + n);
}

void DWBUffer::Add2Buffer(std::span<const std::uint8_t> bytes) {
  Append(bytes.data(), bytes.size());
}

void DWBUffer::GetFromBuffer(Bytes& out, std::int32_t count, std::int32_t position) {
  std::int64_t start = position;
  if (position == 0) {
    start = cursor_;
    cursor_ += count;
  }
  const std::int64_t last = start + count - 1;
  const bool held = start >= 1 && count >= 0 && last <= static_cast<std::int64_t>(bytes_.size());
  if (!held) {
    out.clear();
    return;
  }
  if (count == 0) return;
  out.assign(bytes_.begin() + (start - 1), bytes_.begin() + last);
}

void DWBUffer::Flush() {
  const std::size_t from = static_cast<std::size_t>(cursor_ - 1);
  if (from >= bytes_.size()) {
    bytes_.clear();
  } else {
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(from));
  }
  cursor_ = 1;
}

void DWBUffer::cerrarMensaje(std::int32_t length) {
  if (bytes_.size() < kHeaderSize)
    throw std::logic_error("cerrarMensaje on a buffer without header");
  const std::int32_t value = length < 1 ? TamanoBuffer() : length;
  const auto image = byteimage::ToBytes(value);
  std::copy(image.begin(), image.end(), bytes_.begin() + 4);
}

std::size_t DWBUffer::Take(std::size_t n) {
  const std::size_t start = static_cast<std::size_t>(cursor_ - 1);
  cursor_ += static_cast<std::int32_t>(n);
  if (start > bytes_.size() || bytes_.size() - start < n) {
    throw MessageTooShort("message of " + std::to_string(bytes_.size()) + " bytes ends before " +
                          std::to_string(n) + " bytes at position " + std::to_string(start + 1));
  }
  return start;
}

std::int32_t DWBUffer::Remaining() const {
  const std::int64_t left = static_cast<std::int64_t>(bytes_.size()) - (cursor_ - 1);
  return left > 0 ? static_cast<std::int32_t>(left) : 0;
}

void DWBUffer::PutInteger(std::int16_t value) {
  const auto b = byteimage::ToBytes(value);
  Append(b.data(), b.size());
}
void DWBUffer::PutLong(std::int32_t value) {
  const auto b = byteimage::ToBytes(value);
  Append(b.data(), b.size());
}
void DWBUffer::PutByte(std::uint8_t value) { Append(&value, 1); }
void DWBUffer::PutSingle(float value) {
  const auto b = byteimage::ToBytes(value);
  Append(b.data(), b.size());
}
void DWBUffer::PutDouble(double value) {
  const auto b = byteimage::ToBytes(value);
  Append(b.data(), b.size());
}

void DWBUffer::PutString(std::string_view utf8) {
  const std::string ansi = Utf8ToCp1252(utf8);
  if (ansi.size() > 32767) {
    throw StringTooLong("string of " + std::to_string(ansi.size()) + " characters exceeds 32767");
  }
  PutInteger(static_cast<std::int16_t>(ansi.size()));
  Append(reinterpret_cast<const std::uint8_t*>(ansi.data()), ansi.size());
}

std::int16_t DWBUffer::GetInteger() {
  return byteimage::FromBytes<std::int16_t>(bytes_.data() + Take(2));
}
std::int32_t DWBUffer::GetLong() {
  return byteimage::FromBytes<std::int32_t>(bytes_.data() + Take(4));
}
std::uint8_t DWBUffer::GetByte() { return bytes_[Take(1)]; }
float DWBUffer::GetSingle() { return byteimage::FromBytes<float>(bytes_.data() + Take(4)); }
double DWBUffer::GetDouble() { return byteimage::FromBytes<double>(bytes_.data() + Take(8)); }

std::string DWBUffer::GetString() {
  const std::int16_t n = GetInteger();
  if (n < 0) throw MalformedField("negative string length " + std::to_string(n));
  if (n == 0) return {};
  const std::size_t start = Take(static_cast<std::size_t>(n));
  return Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(bytes_.data() + start), n));
}

bool DWBUffer::IsHeaderCorrect() const {
  return bytes_.size() >= 4 && std::equal(std::begin(kMagic), std::end(kMagic), bytes_.begin());
}

std::int32_t DWBUffer::getLength() const {
  if (bytes_.size() < kHeaderSize)
    throw MessageTooShort("no length field in a buffer of " + std::to_string(bytes_.size()) +
                          " bytes");
  return byteimage::FromBytes<std::int32_t>(bytes_.data() + 4);
}

}  // namespace orvenda
