#pragma once
// DWBUffer: one protocol message, header included, with a read cursor and typed
// put/get operations. Puts append at the end; gets read at the cursor.
//
// Layout: "MIC " (4 bytes), Long total length (header included), Integer command
// code, then the command's fields. Positions and the cursor count from 1.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/framing.h"

namespace orvenda {

class DWBUffer {
 public:
  using Bytes = std::vector<std::uint8_t>;
  static constexpr std::int32_t kHeaderSize = framing::kHeaderSize;

  DWBUffer() = default;
  explicit DWBUffer(Bytes bytes) : bytes_(std::move(bytes)) {}

  // A copy of the message bytes, ready for the socket.
  Bytes buffer() const { return bytes_; }
  // Replaces the message bytes; the cursor goes back to 1.
  void buffer(Bytes bytes);
  // The bytes without a copy.
  const Bytes& bytes() const { return bytes_; }

  std::int16_t status() const { return status_; }
  void status(std::int16_t value) { status_ = value; }

  void ClearBuffer() { CrearHeader(); }
  // The content becomes exactly "MIC " and four zero bytes; cursor 1.
  void CrearHeader();
  // Appends the bytes; a buffer without content gets the header first.
  void Add2Buffer(std::span<const std::uint8_t> bytes);
  // Copies `count` bytes starting at `position`, or at the cursor when position
  // is 0 (the cursor then moves by count even when the bytes are not all there).
  // With too few bytes `out` becomes empty; with count 0 it is left as it was.
  void GetFromBuffer(Bytes& out, std::int32_t count, std::int32_t position);
  // Discards the bytes before the cursor; cursor 1.
  void Flush();
  // Bytes held, header included; 0 for a buffer without content.
  std::int32_t TamanoBuffer() const { return static_cast<std::int32_t>(bytes_.size()); }
  // Writes the length field: the given length when it is 1 or more, otherwise the
  // current size. The buffer must hold a header.
  void cerrarMensaje(std::int32_t length);

  void PutInteger(std::int16_t value);
  void PutLong(std::int32_t value);
  void PutByte(std::uint8_t value);
  // Throws StringTooLong above 32767 characters.
  void PutString(std::string_view utf8);
  void PutSingle(float value);
  void PutDouble(double value);

  // Each get throws MessageTooShort when the message ends before the value does.
  std::int16_t GetInteger();
  std::int32_t GetLong();
  std::uint8_t GetByte();
  // Throws MalformedField for a negative character count.
  std::string GetString();
  float GetSingle();
  double GetDouble();
  // The next n bytes without a copy, for reading many values with one check; the
  // view lasts until the buffer changes. Throws MessageTooShort like the gets.
  std::span<const std::uint8_t> GetBytes(std::size_t n) { return {bytes_.data() + Take(n), n}; }

  // True when the first four bytes are "MIC " (byte values, so case matters).
  bool IsHeaderCorrect() const;
  // The length field, whatever the cursor. Throws MessageTooShort without a header.
  std::int32_t getLength() const;

  std::int32_t cursor() const { return cursor_; }
  // Bytes from the cursor to the end.
  std::int32_t Remaining() const;

 private:
  void Append(const std::uint8_t* data, std::size_t n);
  // Advances the cursor by n and returns the index (0-based) where the value
  // starts; throws MessageTooShort when the message does not hold it.
  std::size_t Take(std::size_t n);
  template <std::size_t N>
  void Append(const std::array<std::uint8_t, N>& image) {
    Append(image.data(), N);
  }

  Bytes bytes_;
  std::int32_t cursor_ = 1;
  std::int16_t status_ = 0;
};

}  // namespace orvenda
