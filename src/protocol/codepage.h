#pragma once
// Strings are UTF-8 inside the program and Windows-1252 on the wire.

#include <string>
#include <string_view>

namespace orvenda {

// Each character becomes one Windows-1252 byte; a character that the code page
// cannot hold, or a malformed UTF-8 sequence, becomes '?'.
std::string Utf8ToCp1252(std::string_view utf8);

// Every byte maps to one character. The five bytes that Windows-1252 leaves
// undefined map to the C1 control of the same number, so nothing is lost.
std::string Cp1252ToUtf8(std::string_view cp1252);

// Number of characters the text will have on the wire.
std::size_t Cp1252Length(std::string_view utf8);

}  // namespace orvenda
