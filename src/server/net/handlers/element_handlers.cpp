// One element or one field: 4 -> 104 (attribute values), 15 -> 115 (extent), and
// 6 -> 106 (the values of a field, for the layer setup dialog).
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "net/handlers/families.h"
#include "net/handlers/reply.h"
#include "protocol/catalogue.h"
#include "store/field_types.h"

namespace orvenda::server {
namespace {

// A value is written with its field's type code and the encoding of that code. A code
// the client cannot read would break the whole reply, so such a value goes as text.
void PutAttribute(DWBUffer& b, const AttributeValue& a) {
  const bool known = FieldWireOf(a.type) != FieldWire::Unknown;
  b.PutInteger(known ? a.type : std::int16_t{8});
  PutFieldValue(b, a.type, a.value);
}

struct ElementRef {
  std::int32_t layer = 0;
  std::int32_t element = 0;
};

// The layer and element of requests 4 and 15, when the layer is one the
// connection may read.
std::optional<ElementRef> ReadElementRequest(DWBUffer& request, HandlerContext& ctx,
                                             const char* what) {
  ElementRef ref;
  if (!ReadRequest(ctx, what, [&] {
        ref.layer = request.GetLong();
        ref.element = request.GetLong();
      })) {
    return std::nullopt;
  }
  if (!ctx.CanRead(ref.layer, what)) return std::nullopt;
  return ref;
}

}  // namespace

DWBUffer EmptyElementAttributesReply(LenientReader& request) {
  const std::int32_t layer = request.Long();
  const std::int32_t element = request.Long();
  DWBUffer b = StartReply(cmd::kElementAttributesReply);
  b.PutLong(layer);
  b.PutLong(element);
  b.PutInteger(-1);  // no values
  return FinishReply(std::move(b));
}

DWBUffer EmptyElementExtentReply(LenientReader& request) {
  const std::int32_t layer = request.Long();
  const std::int32_t element = request.Long();
  DWBUffer b = StartReply(cmd::kElementExtentReply);
  b.PutLong(layer);
  b.PutLong(element);
  for (int i = 0; i < 4; ++i) b.PutDouble(0);
  return FinishReply(std::move(b));
}

DWBUffer EmptyFieldValuesReply(LenientReader& request) {
  const std::int32_t layer = request.Long();
  const std::string field = request.String();
  const std::int16_t kind = request.Integer();
  DWBUffer b = StartReply(cmd::kFieldValuesReply);
  b.PutLong(layer);
  b.PutString(field);
  b.PutInteger(kind);
  if (kind == 1) b.PutInteger(0);
  if (kind == 2) {
    b.PutString("");
    b.PutString("");
  }
  return FinishReply(std::move(b));
}

std::optional<DWBUffer> HandleElementAttributes(DWBUffer& request, HandlerContext& ctx) {
  const auto ref = ReadElementRequest(request, ctx, "element attributes (4)");
  if (!ref) return std::nullopt;
  const auto [layer, element] = *ref;
  const auto values = ctx.store.ElementAttributes(layer, element);
  if (!values) return std::nullopt;  // no such element: n = -1, not worth a log line
  DWBUffer b = StartReply(cmd::kElementAttributesReply);
  b.PutLong(layer);
  b.PutLong(element);
  const auto n = static_cast<std::int16_t>(std::min<std::size_t>(values->size(), 32767));
  b.PutInteger(n);
  for (std::int16_t i = 0; i < n; ++i) PutAttribute(b, (*values)[static_cast<std::size_t>(i)]);
  return FinishReply(std::move(b));
}

std::optional<DWBUffer> HandleElementExtent(DWBUffer& request, HandlerContext& ctx) {
  const auto ref = ReadElementRequest(request, ctx, "element extent (15)");
  if (!ref) return std::nullopt;
  const auto [layer, element] = *ref;
  auto box = ctx.store.ElementExtent(layer, element);
  if (!box) {
    // Nothing to zoom to: the whole map is the least surprising view.
    const auto map = ctx.store.FindMapDefinition(ctx.conn.mapCode);
    box = map ? map->extents : Box{};
  }
  DWBUffer b = StartReply(cmd::kElementExtentReply);
  b.PutLong(layer);
  b.PutLong(element);
  b.PutDouble(box->minX);
  b.PutDouble(box->minY);
  b.PutDouble(box->maxX);
  b.PutDouble(box->maxY);
  return FinishReply(std::move(b));
}

std::optional<DWBUffer> HandleFieldValues(DWBUffer& request, HandlerContext& ctx) {
  constexpr const char* kWhat = "field values (6)";
  std::int32_t layer = 0;
  std::string field;
  std::int16_t kind = 0;
  if (!ReadRequest(ctx, kWhat, [&] {
        layer = request.GetLong();
        field = request.GetString();
        kind = request.GetInteger();
      })) {
    return std::nullopt;
  }
  if (!ctx.CanRead(layer, kWhat)) return std::nullopt;
  DWBUffer b = StartReply(cmd::kFieldValuesReply);
  b.PutLong(layer);
  b.PutString(field);
  b.PutInteger(kind);
  if (kind == 1) {
    const auto values = ctx.store.DistinctValues(layer, field, 32767);
    if (!values) {
      ctx.Refused(kWhat, "layer " + std::to_string(layer) + " has no field '" + field + "'");
      return std::nullopt;
    }
    // Bound the reply as well as the count: long texts could make it huge.
    constexpr std::int32_t kMaxReply = 4 * 1024 * 1024;
    std::int16_t n = 0;
    DWBUffer list;
    list.CrearHeader();
    for (const auto& v : *values) {
      if (list.TamanoBuffer() > kMaxReply) break;
      PutTextCut(list, v);
      ++n;
    }
    b.PutInteger(n);
    b.Add2Buffer(std::span(list.bytes()).subspan(DWBUffer::kHeaderSize));
  } else if (kind == 2) {
    const auto range = ctx.store.FindValueRange(layer, field);
    PutTextCut(b, range ? range->lowest : "");
    PutTextCut(b, range ? range->highest : "");
  }
  return FinishReply(std::move(b));
}

}  // namespace orvenda::server
