// Find by condition: 13 -> 113, the elements of a layer whose field meets one condition,
// each with its value of that field.
#include <string>
#include <utility>
#include <vector>

#include "net/handlers/families.h"
#include "net/handlers/reply.h"
#include "protocol/catalogue.h"
#include "protocol/querymessages.h"
#include "store/field_types.h"

namespace orvenda::server {
namespace {

// Bytes a value may take in reply 113 at most: its texts shrink from UTF-8 to the
// wire's one byte per character, never grow.
std::size_t WireSizeAtMost(std::int16_t type, const FieldValue& value) {
  switch (FieldWireOf(type)) {
    case FieldWire::Integer:
      return 2;
    case FieldWire::Long:
    case FieldWire::Single:
      return 4;
    case FieldWire::Double:
      return 8;
    default:
      return 2 + FieldValueText(value).size();
  }
}

}  // namespace

DWBUffer EmptyFindReply(LenientReader& request) {
  ConditionQuery echo;
  echo.layerId = request.Long();
  echo.condition.field = request.String();
  echo.condition.fieldType = request.Integer();
  echo.condition.op = request.Byte();
  echo.condition.value1 = request.String();
  echo.condition.value2 = request.String();
  return WriteFoundElements(echo, {});
}

// The field is the layer's own: its type, not the one the client sent, decides how
// values compare and travel, and the echo carries that type so the client reads them
// right. An unknown field, operator or a value that is not a number for a numeric
// comparison is refused (logged; n = 0).
std::optional<DWBUffer> HandleFindByCondition(DWBUffer& request, HandlerContext& ctx) {
  constexpr const char* kWhat = "find by condition (13)";
  ConditionQuery q;
  if (!ReadRequest(ctx, kWhat, [&] { q = ReadFindByCondition(request); })) return std::nullopt;
  if (!ctx.CanRead(q.layerId, kWhat)) return std::nullopt;
  const auto layer = ctx.store.FindLayerInfo(q.layerId);
  const auto pos = layer ? FindField(layer->fields, q.condition.field) : std::nullopt;
  if (!pos) {
    ctx.Refused(kWhat,
                "layer " + std::to_string(q.layerId) + " has no field '" + q.condition.field + "'");
    return std::nullopt;
  }
  const std::int16_t type = layer->fields[*pos].type;
  q.condition.fieldType = FieldWireOf(type) == FieldWire::Unknown ? std::int16_t{8} : type;
  const Condition c{q.condition.field, q.condition.op, q.condition.value1, q.condition.value2};
  // The smallest row is an ID and an Integer (6 bytes), so no more can ever fit.
  const std::size_t rowsAtMost = kLongestReply / 6;
  auto found = ctx.store.FindElements(q.layerId, c, rowsAtMost);
  if (!found) return std::nullopt;
  // Beyond the largest message the client takes, rows are left out: the reply lists
  // the first elements by ID and its count says how many it carries.
  std::size_t size = 64 + q.condition.field.size() + c.value1.size() + c.value2.size();
  std::vector<std::pair<std::int32_t, FieldValue>> rows;
  for (FoundElement& f : *found) {
    size += 4 + WireSizeAtMost(type, f.value);
    if (size > kLongestReply) break;
    rows.emplace_back(f.id, std::move(f.value));
  }
  return WriteFoundElements(q, rows);
}

}  // namespace orvenda::server
