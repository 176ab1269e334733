#pragma once
// LenientReader: reads the fields of a request that may be cut short, giving 0 or the
// empty string for whatever is missing. Only used to echo what a refused or malformed
// request carried in its empty reply.

#include <cstdint>
#include <string>

#include "protocol/dwbuffer.h"
#include "protocol/protocolerror.h"

namespace orvenda::server {

class LenientReader {
 public:
  explicit LenientReader(DWBUffer& request) : b_(request) {}

  std::int32_t Long() {
    return Read<std::int32_t>([this] { return b_.GetLong(); });
  }
  std::int16_t Integer() {
    return Read<std::int16_t>([this] { return b_.GetInteger(); });
  }
  std::uint8_t Byte() {
    return Read<std::uint8_t>([this] { return b_.GetByte(); });
  }
  std::string String() {
    return Read<std::string>([this] { return b_.GetString(); });
  }

 private:
  template <typename T, typename Get>
  T Read(Get get) {
    if (!ok_) return T{};
    try {
      return get();
    } catch (const ProtocolError&) {
      ok_ = false;  // once short, everything after is missing too
      return T{};
    }
  }

  DWBUffer& b_;
  bool ok_ = true;
};

}  // namespace orvenda::server
