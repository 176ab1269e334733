// Attribute field type codes (the ADO data type values the client knows) and the
// conversions between typed values and the texts that clients and administrators send.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "protocol/fieldvalue.h"
#include "store/store.h"

namespace orvenda::server {

bool IsKnownFieldType(std::int16_t type);

// The position of the field called `name` in a layer's fields, the name compared
// without regard to (ASCII) case, as every request that names a field is read.
std::optional<std::size_t> FindField(const std::vector<FieldDef>& fields, const std::string& name);
bool IsNumericFieldType(std::int16_t type);

// Converts a text to a value of the field's type. An empty (or all-blank) text is
// NULL. Returns nullopt when the text is not a number of the type or does not fit in
// what the wire carries for it (e.g. 40000 for a 16-bit Integer).
std::optional<Value> ParseFieldValue(std::int16_t type, const std::string& text);

// Checks that a value fits the field's type; integers may be given for real fields.
// Returns the value converted to the type's storage (integer or real or text).
std::optional<Value> CoerceFieldValue(std::int16_t type, const Value& v);

// The text form of a stored value: decimal integers, shortest round-trip reals,
// text as is, and an empty text for NULL.
std::string ValueText(const Value& v);

}  // namespace orvenda::server
