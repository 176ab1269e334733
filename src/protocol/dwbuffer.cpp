#include "protocol/dwbuffer.h"

#include <stdexcept>

#include "protocol/protocolerror.h"
#include "protocol/wsckfunciones.h"

namespace orvenda {

void DWBUffer::buffer(Bytes bytes) {
  bytes_ = std::move(bytes);
  cursor_ = 1;
}

void DWBUffer::CrearHeader() {
  bytes_.assign(kHeaderSize, 0);
  std::copy(framing::kMagic.begin(), framing::kMagic.end(), bytes_.begin());
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
  const auto image = LongToBytes(value);
  std::copy(image.begin(), image.end(), bytes_.begin() + framing::kMagic.size());
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

// Every image comes from wsckfunciones, so a message holds exactly what those
// routines produce and read.
void DWBUffer::PutInteger(std::int16_t value) { Append(IntegerToBytes(value)); }
void DWBUffer::PutLong(std::int32_t value) { Append(LongToBytes(value)); }
void DWBUffer::PutByte(std::uint8_t value) { Append(&value, 1); }
void DWBUffer::PutSingle(float value) { Append(SingleToBytes(value)); }
void DWBUffer::PutDouble(double value) { Append(DoubleToBytes(value)); }

void DWBUffer::PutString(std::string_view utf8) {
  const std::vector<std::uint8_t> ansi = StringToBytes(utf8);
  if (ansi.size() > 32767) {
    throw StringTooLong("string of " + std::to_string(ansi.size()) + " characters exceeds 32767");
  }
  PutInteger(static_cast<std::int16_t>(ansi.size()));
  Append(ansi.data(), ansi.size());
}

std::int16_t DWBUffer::GetInteger() { return BytesToInteger(bytes_, Take(2)); }
std::int32_t DWBUffer::GetLong() { return BytesToLong(bytes_, Take(4)); }
std::uint8_t DWBUffer::GetByte() { return bytes_[Take(1)]; }
float DWBUffer::GetSingle() { return BytesToSingle(bytes_, Take(4)); }
double DWBUffer::GetDouble() { return BytesToDouble(bytes_, Take(8)); }

std::string DWBUffer::GetString() {
  const std::int16_t n = GetInteger();
  if (n < 0) throw MalformedField("negative string length " + std::to_string(n));
  if (n == 0) return {};
  const auto count = static_cast<std::size_t>(n);
  return BytesToString(bytes_, Take(count), count);
}

bool DWBUffer::IsHeaderCorrect() const {
  return bytes_.size() >= framing::kMagic.size() &&
         std::equal(framing::kMagic.begin(), framing::kMagic.end(), bytes_.begin());
}

std::int32_t DWBUffer::getLength() const {
  if (bytes_.size() < kHeaderSize)
    throw MessageTooShort("no length field in a buffer of " + std::to_string(bytes_.size()) +
                          " bytes");
  return BytesToLong(bytes_, framing::kMagic.size());
}

}  // namespace orvenda
