// Queries that this server does not answer yet (find by condition, multiple selection,
// find address). They are counted requests, so each still gets the reply that means
// "nothing found", echoing what the request asked.
#include "net/handlers/families.h"
#include "net/handlers/reply.h"
#include "protocol/catalogue.h"

namespace orvenda::server {

DWBUffer EmptyFindReply(LenientReader& request) {
  const std::int32_t layer = request.Long();
  const std::string field = request.String();
  const std::int16_t type = request.Integer();
  const std::uint8_t operation = request.Byte();
  const std::string first = request.String();
  const std::string second = request.String();
  DWBUffer b = StartReply(cmd::kFindByConditionReply);
  b.PutLong(layer);
  b.PutString(field);
  b.PutInteger(type);
  b.PutByte(operation);
  b.PutString(first);
  b.PutString(second);
  b.PutLong(0);
  return FinishReply(std::move(b));
}

DWBUffer EmptySelectionReply(LenientReader& request) {
  DWBUffer b = StartReply(cmd::kMultipleSelectionReply);
  b.PutLong(request.Long());
  b.PutLong(1);     // one row...
  b.PutInteger(1);  // ...of one column...
  b.PutLong(0);     // ...whose element 0 means that nothing matched
  return FinishReply(std::move(b));
}

DWBUffer EmptyAddressReply(LenientReader& request) {
  const std::int32_t layer = request.Long();
  const std::string street = request.String();
  const std::string number = request.String();
  DWBUffer b = StartReply(cmd::kFindAddressReply);
  b.PutLong(layer);
  b.PutString(street);
  b.PutString(number);
  b.PutLong(0);
  return FinishReply(std::move(b));
}

}  // namespace orvenda::server
