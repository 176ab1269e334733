#pragma once
// Helpers for writing protocol tests: whole messages as bytes.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "protocol/catalogue.h"
#include "protocol/dwbuffer.h"
#include "protocol/version.h"

namespace orvenda::testing {

using Bytes = std::vector<std::uint8_t>;

// A whole message of `code` with the given fields.
inline Bytes Message(std::int16_t code, const std::function<void(DWBUffer&)>& fields = {}) {
  DWBUffer b;
  b.CrearHeader();
  b.PutInteger(code);
  if (fields) fields(b);
  b.cerrarMensaje(0);
  return b.buffer();
}

// A login reply accepting `user`, asking for library version `required`, with
// these maps (code, name).
inline Bytes LoginReply(std::int32_t user, Version required,
                        const std::vector<std::pair<std::int32_t, std::string>>& maps) {
  return Message(cmd::kLoginReply, [&](DWBUffer& b) {
    b.PutLong(user);
    b.PutInteger(required.major);
    b.PutInteger(required.minor);
    b.PutInteger(required.revision);
    b.PutInteger(static_cast<std::int16_t>(maps.size()));
    for (const auto& [code, name] : maps) {
      b.PutLong(code);
      b.PutString(name);
    }
  });
}

// One field of Wire(): a number or a text.
struct WireValue {
  WireValue(int v) : number(v) {}
  WireValue(double v) : number(v) {}
  WireValue(const char* v) : text(v) {}
  WireValue(std::string v) : text(std::move(v)) {}
  double number = 0;
  std::string text;
};

// Puts fields in wire order, one type letter each (spaces are ignored): B Byte,
// I Integer, L Long, F Single, D Double, S String.
inline void PutFields(DWBUffer& b, std::string_view types, const std::vector<WireValue>& values) {
  std::size_t k = 0;
  for (const char t : types) {
    if (t == ' ') continue;
    const WireValue& v = values.at(k++);
    if (t == 'B') b.PutByte(static_cast<std::uint8_t>(v.number));
    if (t == 'I') b.PutInteger(static_cast<std::int16_t>(v.number));
    if (t == 'L') b.PutLong(static_cast<std::int32_t>(v.number));
    if (t == 'F') b.PutSingle(static_cast<float>(v.number));
    if (t == 'D') b.PutDouble(v.number);
    if (t == 'S') b.PutString(v.text);
  }
}

// A whole message of `code` whose fields are given by PutFields' letters.
inline Bytes Wire(std::int16_t code, std::string_view types, const std::vector<WireValue>& values) {
  return Message(code, [&](DWBUffer& b) { PutFields(b, types, values); });
}

inline Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

}  // namespace orvenda::testing
