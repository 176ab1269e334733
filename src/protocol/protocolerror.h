#pragma once
// Faults of the wire codec. Each kind of fault has its own type so that a caller
// can trap exactly the one it expects; all derive from ProtocolError.

#include <stdexcept>
#include <string>

namespace orvenda {

class ProtocolError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A typed get asked for more bytes than the message holds. Nothing else about the
// buffer is promised: a get at the cursor has already moved it (see DWBUffer).
class MessageTooShort : public ProtocolError {
 public:
  using ProtocolError::ProtocolError;
};

// A field holds a value that no well-formed message carries (a negative string length).
class MalformedField : public ProtocolError {
 public:
  using ProtocolError::ProtocolError;
};

// A string too long for its 16-bit character count.
class StringTooLong : public ProtocolError {
 public:
  using ProtocolError::ProtocolError;
};

}  // namespace orvenda
