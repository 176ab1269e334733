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

// Writes a text that may be longer than a wire string holds (values read from a
// database), cut to the longest that fits instead of failing the whole message.
void PutTextCut(DWBUffer& b, std::string_view utf8);

// Whether a typed value suits a field of `type` before it is sent as that field's value:
// whole numbers must fit the field's width exactly, reals must be finite in it, texts
// always suit, a type of no known rule never does. An empty text, and the beginnings a
// number field lets through while typing ("-", ".", "-."), count as 0.
bool FieldValueFits(std::int16_t type, const std::string& text);

// The key filter of typed values (FldVerify): whether `key` (a character code) may be
// added to `text` in a field of `type`. Control keys pass in every number field.
bool FldVerify(const std::string& text, int key, std::int16_t type);

}  // namespace orvenda
