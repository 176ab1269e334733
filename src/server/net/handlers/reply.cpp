#include "net/handlers/reply.h"

#include "protocol/codepage.h"

namespace orvenda::server {

void PutText(DWBUffer& b, std::string_view utf8) {
  constexpr std::size_t kMax = 32767;
  if (utf8.size() <= kMax || Cp1252Length(utf8) <= kMax) {
    b.PutString(utf8);
    return;
  }
  b.PutString(Cp1252ToUtf8(Utf8ToCp1252(utf8).substr(0, kMax)));
}

}  // namespace orvenda::server
