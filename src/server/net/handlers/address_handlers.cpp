// Find address: 230 -> 231, the street segments for a street name and house number,
// each with its box and the address point on it.
#include <charconv>
#include <string>

#include "net/handlers/families.h"
#include "net/handlers/reply.h"
#include "protocol/catalogue.h"
#include "protocol/querymessages.h"

namespace orvenda::server {
namespace {

constexpr std::size_t kMostCandidates = 100;

// The house number: decimal digits with an optional minus sign, spaces around it
// allowed; nothing else.
std::optional<std::int64_t> HouseNumber(const std::string& text) {
  const auto b = text.find_first_not_of(' ');
  if (b == std::string::npos) return std::nullopt;
  const auto e = text.find_last_not_of(' ') + 1;
  std::int64_t n = 0;
  const auto [end, ec] = std::from_chars(text.data() + b, text.data() + e, n);
  if (ec != std::errc() || end != text.data() + e) return std::nullopt;
  return n;
}

}  // namespace

DWBUffer EmptyAddressReply(LenientReader& request) {
  AddressQuery echo;
  echo.layerId = request.Long();
  echo.street = request.String();
  echo.number = request.String();
  return WriteAddressCandidates({echo, {}});
}

std::optional<DWBUffer> HandleFindAddress(DWBUffer& request, HandlerContext& ctx) {
  constexpr const char* kWhat = "find address (230)";
  AddressQuery q;
  if (!ReadRequest(ctx, kWhat, [&] { q = ReadFindAddress(request); })) return std::nullopt;
  if (!ctx.CanRead(q.layerId, kWhat)) return std::nullopt;
  const auto number = HouseNumber(q.number);
  if (!number) {
    ctx.Refused(kWhat, "street number '" + q.number + "' is not a number");
    return std::nullopt;
  }
  AddressCandidates a{q, {}};
  for (const AddressCandidate& c :
       ctx.store.FindAddress(q.layerId, q.street, *number, kMostCandidates)) {
    a.candidates.push_back({c.id, c.street, c.firstNumber, c.secondNumber, c.box.minX, c.box.minY,
                            c.box.maxX, c.box.maxY, c.point.x, c.point.y});
  }
  return WriteAddressCandidates(a);
}

}  // namespace orvenda::server
