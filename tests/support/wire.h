#pragma once
// Helpers for writing protocol tests: whole messages as bytes.

#include <cstdint>
#include <functional>
#include <string>
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

inline Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

}  // namespace orvenda::testing
