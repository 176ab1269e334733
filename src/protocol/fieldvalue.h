#pragma once
// Attribute values on the wire. Both ends must agree on how a value of each field
// type travels, or a reply that carries one value of a type the reader decodes
// differently is garbage from that value on; this is the one place that says it.

#include <cstdint>
#include <string>
#include <variant>

#include "protocol/dwbuffer.h"

namespace orvenda {

// The encodings of a value, by the ADO type code of its field.
enum class FieldWire { Integer, Long, Single, Double, String, Unknown };

FieldWire FieldWireOf(std::int16_t fieldType);

// Types whose values are texts (the others are numbers of some width).
inline bool IsTextFieldType(std::int16_t fieldType) {
  return FieldWireOf(fieldType) == FieldWire::String;
}

// A value as the server stores it: nothing (NULL), a whole number, a real or a text.
using FieldValue = std::variant<std::monostate, std::int64_t, double, std::string>;

// Writes `value` encoded by `fieldType`: numbers are rounded and held within what the
// wire field carries, NULL goes as 0 or as the empty text, a text that is not a number
// goes as 0 in a numeric field. A type of no known encoding travels as a text; callers
// that also send the type code send 8 for it then, so the reader can follow.
void PutFieldValue(DWBUffer& b, std::int16_t fieldType, const FieldValue& value);

// Reads one value encoded by `fieldType` as the client keeps it: numbers as their
// decimal text (reals in their shortest exact form), texts unchanged. Throws
// MalformedField for a type of no known encoding: nothing after it can be read.
std::string GetFieldValue(DWBUffer& b, std::int16_t fieldType);

// The text of a stored value: decimal integers, shortest round-trip reals, the text
// itself, and nothing for NULL.
std::string FieldValueText(const FieldValue& value);

// Whether a typed text is a value of a field of `type`: any text for text types;
// for numbers the whole text read as one, where what the key filter lets through
// before a digit ("", "-", ".", "-.") counts as 0; whole-number types also need
// the value whole and within their 16 or 32 bits, Single and Double within their
// range. A type of no known encoding takes no value.
bool FieldValueFits(std::int16_t type, const std::string& text);
// The text a value that fits goes out as: numbers in the plain form the server
// reads (whole numbers in decimal, reals in their shortest form, what counts as 0
// as "0", blanks as the empty text, which stores nothing); texts unchanged.
std::string FieldValueToSend(std::int16_t type, const std::string& text);

// Writes a text that may be longer than a wire string holds (values read from a
// database), cut to the longest that fits instead of failing the whole message.
void PutTextCut(DWBUffer& b, std::string_view utf8);

// The key filter of typed values (FldVerify): whether `key` (a character code) may be
// added to `text` in a field of `type`. Control keys pass in every number field.
bool FldVerify(const std::string& text, int key, std::int16_t type);

}  // namespace orvenda
