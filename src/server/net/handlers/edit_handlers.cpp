// Edits: 205, 206, 207 (a new point, line or area), 208 (new vertices, perhaps a line
// broken in two), 210 (erase) and 220 (new values). None is answered: the author, like
// every other viewer of the layer, learns of a stored edit from message 250, pushed
// only after the edit's transaction has committed. A refused edit is logged, changes
// nothing and pushes nothing.
#include <algorithm>
#include <memory>
#include <string>
#include <utility>

#include "net/handlers/edit_commit.h"
#include "net/handlers/families.h"
#include "protocol/catalogue.h"
#include "protocol/editmessages.h"
#include "store/shared_site.h"

namespace orvenda::server {
namespace {

using WirePoints = std::vector<::orvenda::Point>;

std::vector<Point> FromWire(const WirePoints& points) {
  std::vector<Point> out;
  out.reserve(points.size());
  for (const auto& p : points) out.push_back({p.X, p.Y});
  return out;
}

WirePoints ToWire(const std::vector<Point>& points) {
  WirePoints out;
  out.reserve(points.size());
  for (const Point& p : points) out.push_back({p.x, p.y});
  return out;
}

// Makes `points` an element of `kind` as the store keeps it, or says why it cannot be
// one: a point is one vertex, a line two or more, an area three distinct ones or more
// in a closed ring (the first vertex repeated last, as imported areas are kept and
// reply 102 sends them). Message 250 counts vertices in 16 bits, so an element of more
// could never reach the viewers. The store checks the coordinates themselves.
std::optional<std::string> ShapeFault(LayerKind kind, std::vector<Point>& points) {
  const std::size_t n = points.size();
  if (kind == LayerKind::Image) return "image layers are not edited";
  if (kind == LayerKind::Point && n != 1) return "a point needs exactly 1 vertex";
  if (kind == LayerKind::Polyline && n < 2) return "a line needs at least 2 vertices";
  if (kind == LayerKind::Polygon) {
    auto key = [](const Point& p) { return std::pair(p.x, p.y); };
    std::vector<std::pair<double, double>> distinct;
    for (const Point& p : points) distinct.push_back(key(p));
    std::sort(distinct.begin(), distinct.end());
    if (std::unique(distinct.begin(), distinct.end()) - distinct.begin() < 3)
      return "an area needs at least 3 distinct vertices";
    if (key(points.front()) != key(points.back())) points.push_back(points.front());
  }
  if (points.size() > layerchange::kMaxCount)
    return std::to_string(points.size()) + " vertices, more than message 250 carries";
  return std::nullopt;
}

std::vector<std::string> ValueTexts(Store& store, std::int32_t layerId, std::int32_t elementId) {
  std::vector<std::string> texts;
  for (const AttributeValue& a :
       store.ElementAttributes(layerId, elementId).value_or(std::vector<AttributeValue>{}))
    texts.push_back(FieldValueText(a.value));
  return texts;
}

LayerChange Change(std::int16_t operation, std::int32_t layerId, std::int32_t elementId) {
  LayerChange c;
  c.operation = operation;
  c.layerId = layerId;
  c.elementId = elementId;
  return c;
}

LayerChange NewElementChange(Store& store, std::int32_t layerId, std::int32_t elementId,
                             const std::vector<Point>& points) {
  LayerChange c = Change(layerchange::kNewElement, layerId, elementId);
  c.points = ToWire(points);
  c.values = ValueTexts(store, layerId, elementId);
  return c;
}

// The layer's limits in the order of fields 4 to 7 of its record in reply 101.
LayerChange GridChange(std::int32_t layerId, const LayerGrid& g) {
  LayerChange c = Change(layerchange::kGridLimits, layerId, 0);
  c.limits = {g.firstRow, g.firstColumn, g.lastRow, g.lastColumn};
  return c;
}

[[noreturn]] void NoElement(std::int32_t layerId, std::int32_t elementId) {
  throw StoreError(StoreFault::UnknownRecord, "no element " + std::to_string(elementId) +
                                                  " in layer " + std::to_string(layerId));
}

// 205, 206 and 207 differ only in their layout and the kind of layer they add to.
void AddElement(DWBUffer& request, HandlerContext& ctx, std::int16_t code, LayerKind wanted,
                const char* what) {
  const NewElementEdit e = ReadNewElement(request, code);
  const auto kind = AdmitEdit(ctx, what, e.layerId, AccessLevel::Draw);
  if (!kind) return;
  if (*kind != wanted) {
    ctx.Refused(what, "layer " + std::to_string(e.layerId) + " is of kind " +
                          std::to_string(static_cast<int>(*kind)));
    return;
  }
  std::vector<Point> points = FromWire(e.points);  // the client's cells are not used
  if (const auto fault = ShapeFault(*kind, points)) {
    ctx.Refused(what, *fault);
    return;
  }
  CommitEdit(ctx, what, e.layerId, [&] {
    const ElementWrite w = ctx.store.AddElement(e.layerId, points, e.values);
    std::vector<LayerChange> changes = {NewElementChange(ctx.store, e.layerId, w.id, points)};
    if (w.gridChanged) changes.push_back(GridChange(e.layerId, w.grid));
    return changes;
  });
}

}  // namespace

// A layer of the open map on which the user holds at least `needed`, read from the
// store on every edit (not the few seconds old level that reads use): a right revoked
// a moment ago stops the next edit.
std::optional<LayerKind> AdmitEdit(HandlerContext& ctx, const char* what, std::int32_t layerId,
                                   AccessLevel needed) {
  if (!ctx.conn.mapOpen) {
    ctx.Refused(what, "no map open on this connection");
    return std::nullopt;
  }
  const auto layer = ctx.conn.mapLayers.find(layerId);
  if (layer == ctx.conn.mapLayers.end()) {
    ctx.Refused(what, "layer " + std::to_string(layerId) + " is not in map " +
                          std::to_string(ctx.conn.mapCode));
    return std::nullopt;
  }
  const AccessLevel level = ctx.store.AccessLevelOf(ctx.conn.userId, layerId);
  if (level < needed) {
    ctx.Refused(what, "account " + std::to_string(ctx.conn.userId) + " has level " +
                          std::to_string(static_cast<int>(level)) + " on layer " +
                          std::to_string(layerId) + ", " +
                          std::to_string(static_cast<int>(needed)) + " needed");
    return std::nullopt;
  }
  return layer->second;
}

void CommitEdit(HandlerContext& ctx, const char* what, std::int32_t layerId,
                const std::function<std::vector<LayerChange>()>& write) {
  // A database shared with other processes takes the changes into its log and hands
  // them, in commit order, to the feed of every process, this one's included.
  SharedSite* shared = ctx.store.Shared();
  ctx.services.changes.InOrder([&] {
    std::vector<std::shared_ptr<const DWBUffer>> messages;
    std::string done;
    ctx.store.Transaction([&] {
      for (const LayerChange& c : write()) {
        auto m = std::make_shared<const DWBUffer>(WriteLayerChange(c));
        if (shared) {
          const auto& bytes = m->bytes();
          shared->LogChange(
              c.layerId, c.elementId, c.operation,
              std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        } else {
          messages.push_back(std::move(m));
        }
        done += " " + std::to_string(c.operation) + ":" + std::to_string(c.elementId);
      }
    });
    for (auto& m : messages) ctx.services.changes.Publish(layerId, std::move(m));
    ctx.Log(std::string("stored ") + what + " in layer " + std::to_string(layerId) + ", changes" +
            done);
  });
}

std::vector<LayerChange> ValuesChanged(Store& store, std::int32_t layerId, std::int32_t elementId) {
  std::vector<LayerChange> changes = {Change(layerchange::kValuesChanged, layerId, elementId),
                                      Change(layerchange::kCellValuesStale, layerId, elementId)};
  changes[0].values = ValueTexts(store, layerId, elementId);
  for (const CellKey& c : store.ElementCells(layerId, elementId))
    changes[1].cells.push_back({c.row, c.column});
  return changes;
}

std::optional<DWBUffer> HandleNewPoint(DWBUffer& request, HandlerContext& ctx) {
  AddElement(request, ctx, cmd::kNewPoint, LayerKind::Point, "new point (205)");
  return std::nullopt;
}

std::optional<DWBUffer> HandleNewLine(DWBUffer& request, HandlerContext& ctx) {
  AddElement(request, ctx, cmd::kNewLine, LayerKind::Polyline, "new line (206)");
  return std::nullopt;
}

std::optional<DWBUffer> HandleNewArea(DWBUffer& request, HandlerContext& ctx) {
  AddElement(request, ctx, cmd::kNewArea, LayerKind::Polygon, "new area (207)");
  return std::nullopt;
}

std::optional<DWBUffer> HandleChangeGeometry(DWBUffer& request, HandlerContext& ctx) {
  constexpr const char* kWhat = "changed geometry (208)";
  const GeometryEdit e = ReadGeometryEdit(request);
  // The layer's own kind decides, not the one the request names.
  const auto kind = AdmitEdit(ctx, kWhat, e.layerId, AccessLevel::Draw);
  if (!kind) return std::nullopt;
  std::vector<Point> first = FromWire(e.points), second;
  const auto p = static_cast<std::int64_t>(first.size());
  if (*kind == LayerKind::Polyline && e.breakAt > 1 && e.breakAt < p) {
    // Vertex k ends the edited element and starts the new one.
    second.assign(first.begin() + (e.breakAt - 1), first.end());
    first.resize(static_cast<std::size_t>(e.breakAt));
  }
  auto fault = ShapeFault(*kind, first);
  if (!fault && !second.empty()) fault = ShapeFault(*kind, second);
  if (fault) {
    ctx.Refused(kWhat, *fault);
    return std::nullopt;
  }
  CommitEdit(ctx, kWhat, e.layerId, [&] {
    const auto w = ctx.store.SetGeometry(e.layerId, e.elementId, first);
    if (!w) NoElement(e.layerId, e.elementId);
    std::vector<LayerChange> changes = {
        Change(layerchange::kGeometryChanged, e.layerId, e.elementId)};
    changes.back().points = ToWire(first);
    std::optional<LayerGrid> grid;
    if (w->gridChanged) grid = w->grid;
    if (!second.empty()) {
      std::vector<Value> values;
      const auto attributes = ctx.store.ElementAttributes(e.layerId, e.elementId);
      if (!attributes) NoElement(e.layerId, e.elementId);
      for (const AttributeValue& a : *attributes) values.push_back(a.value);
      const ElementWrite added = ctx.store.AddElementTyped(e.layerId, second, values);
      changes.push_back(NewElementChange(ctx.store, e.layerId, added.id, second));
      if (added.gridChanged) grid = added.grid;
    }
    if (grid) changes.push_back(GridChange(e.layerId, *grid));
    return changes;
  });
  return std::nullopt;
}

std::optional<DWBUffer> HandleErase(DWBUffer& request, HandlerContext& ctx) {
  constexpr const char* kWhat = "erase (210)";
  const EraseEdit e = ReadErase(request);
  if (!AdmitEdit(ctx, kWhat, e.layerId, AccessLevel::Draw)) return std::nullopt;
  CommitEdit(ctx, kWhat, e.layerId, [&] {
    if (!ctx.store.RemoveElement(e.layerId, e.elementId)) NoElement(e.layerId, e.elementId);
    return std::vector<LayerChange>{Change(layerchange::kElementRemoved, e.layerId, e.elementId)};
  });
  return std::nullopt;
}

std::optional<DWBUffer> HandleChangeValues(DWBUffer& request, HandlerContext& ctx) {
  constexpr const char* kWhat = "changed values (220)";
  const ValuesEdit e = ReadValuesEdit(request);
  if (!AdmitEdit(ctx, kWhat, e.layerId, AccessLevel::Editor)) return std::nullopt;
  CommitEdit(ctx, kWhat, e.layerId, [&] {
    if (!ctx.store.SetAttributes(e.layerId, e.elementId, e.values))
      NoElement(e.layerId, e.elementId);
    return ValuesChanged(ctx.store, e.layerId, e.elementId);
  });
  return std::nullopt;
}

}  // namespace orvenda::server
