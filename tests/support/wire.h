#pragma once
// Helpers for writing protocol tests: whole messages as bytes.

#include <cstdint>
#include <functional>
#include <vector>

#include "protocol/dwbuffer.h"

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

inline Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

}  // namespace orvenda::testing
