// Multiple selection with constraints: 14 -> 114, the elements chosen as a table; and
// 221, values set on the rows picked in that table (no reply).
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "net/handlers/edit_commit.h"
#include "net/handlers/families.h"
#include "net/handlers/reply.h"
#include "protocol/catalogue.h"
#include "protocol/querymessages.h"
#include "store/field_types.h"

namespace orvenda::server {
namespace {

SelectionTable NoMatch(std::int32_t layerId) { return {layerId, 1, {{0, {}}}}; }

}  // namespace

DWBUffer EmptySelectionReply(LenientReader& request) {
  return WriteSelectionTable(NoMatch(request.Long()));
}

// The candidates are the elements the client found inside its polygon; with none (a
// selection without polygon) the constraints alone select from the whole layer, and
// with neither there is nothing to select. Candidates that do not exist in the layer
// are dropped (rights are per layer, so a readable layer's elements are all visible).
// The table: the element ID, then the text of each of the layer's fields in the
// layer's order, the same columns as the client's grid header. An unknown field or a
// bad value in a constraint is refused (logged) and answered as "no element matched".
std::optional<DWBUffer> HandleMultipleSelection(DWBUffer& request, HandlerContext& ctx) {
  constexpr const char* kWhat = "multiple selection (14)";
  SelectionQuery q;
  if (!ReadRequest(ctx, kWhat, [&] { q = ReadMultipleSelection(request); })) return std::nullopt;
  if (!ctx.CanRead(q.layerId, kWhat)) return std::nullopt;
  if (q.candidates.empty() && q.constraints.empty()) return WriteSelectionTable(NoMatch(q.layerId));
  std::vector<Condition> conditions;
  for (const Constraint& c : q.constraints)
    conditions.push_back({c.field, c.op, c.value1, c.value2});
  // The smallest row is its ID alone.
  auto matched = ctx.store.MatchElements(q.layerId, q.candidates, conditions, kLongestReply / 4);
  if (!matched) {
    ctx.Refused(kWhat,
                "a constraint names a field that layer " + std::to_string(q.layerId) + " lacks");
    return std::nullopt;
  }
  if (matched->empty()) return WriteSelectionTable(NoMatch(q.layerId));
  SelectionTable t{q.layerId, 1, {}};
  t.columns =
      static_cast<std::int16_t>(std::min<std::size_t>(matched->front().values.size(), 32766) + 1);
  // Beyond the largest reply, rows are left out (the count says how many came).
  std::size_t size = 64;
  for (MatchedElement& m : *matched) {
    SelectionTable::Row row{m.id, {}};
    size += 4;
    for (std::size_t i = 0; i + 1 < static_cast<std::size_t>(t.columns); ++i) {
      row.texts.push_back(FieldValueText(m.values[i].value));
      size += 2 + row.texts.back().size();
    }
    if (size > kLongestReply) break;
    t.rows.push_back(std::move(row));
  }
  return WriteSelectionTable(t);
}

// Request 221 (see src/server/README.md): every value must fit its field's type, as the
// store holds it, or nothing changes; the cells and field types the client sends are
// not used. Rights are read from the store at once, not from the connection's cache.
std::optional<DWBUffer> HandlePickedRowsEdit(DWBUffer& request, HandlerContext& ctx) {
  constexpr const char* kWhat = "picked rows edit (221)";
  PickedRowsEdit e;
  if (!ReadRequest(ctx, kWhat, [&] { e = ReadPickedRowsEdit(request); })) return std::nullopt;
  if (!AdmitEdit(ctx, kWhat, e.layerId, AccessLevel::Editor)) return std::nullopt;
  const auto layer = ctx.store.FindLayerInfo(e.layerId);
  if (!layer) return std::nullopt;
  std::vector<std::pair<std::size_t, std::string>> values;
  for (const auto& v : e.values) {
    const auto pos = FindField(layer->fields, v.field);
    if (!pos) {
      ctx.Refused(kWhat, "layer " + std::to_string(e.layerId) + " has no field '" + v.field + "'");
      return std::nullopt;
    }
    values.emplace_back(*pos, v.value);
  }
  // A value that does not fit throws (logged by the dispatcher); nothing is stored or
  // pushed then.
  CommitEdit(ctx, kWhat, e.layerId, [&] {
    std::vector<LayerChange> changes;
    for (const std::int32_t id : ctx.store.SetFieldValues(e.layerId, e.elementIds, values)) {
      for (LayerChange& c : ValuesChanged(ctx.store, e.layerId, id))
        changes.push_back(std::move(c));
    }
    return changes;
  });
  return std::nullopt;
}

}  // namespace orvenda::server
