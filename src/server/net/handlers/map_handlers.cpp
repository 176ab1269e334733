// Opening a map: 10 -> 110 (the login handle and the map), 1 -> 101 (the map
// definition), 11 -> 111 (the user's access level on each layer).
#include <string>

#include "net/handlers/families.h"
#include "net/handlers/reply.h"
#include "protocol/catalogue.h"

namespace orvenda::server {
namespace {

constexpr std::int16_t kGranted = 0;
constexpr std::int16_t kUnknownUser = 1;
constexpr std::int16_t kMapRefused = 2;

DWBUffer OpenMapReply(std::int16_t result) {
  DWBUffer b = StartReply(cmd::kOpenMapReply);
  b.PutInteger(result);
  return FinishReply(std::move(b));
}

// The wire's "none" for a label or thematic field is a single space.
void PutFieldName(DWBUffer& b, const std::string& name) {
  PutTextCut(b, name.empty() ? " " : name);
}

void PutStyle(DWBUffer& b, const DrawingStyle& s) {
  b.PutLong(s.lineColor);
  b.PutInteger(s.lineStyle);
  b.PutInteger(s.lineWidth);
  b.PutLong(s.fillColor);
  b.PutInteger(s.fillStyle);
}

template <typename T>
std::int16_t Count16(const std::vector<T>& v) {
  return static_cast<std::int16_t>(std::min<std::size_t>(v.size(), 32767));
}

void PutLayer(DWBUffer& b, const LayerRecord& l) {
  PutTextCut(b, l.name);
  b.PutLong(l.id);
  b.PutInteger(static_cast<std::int16_t>(l.kind));
  b.PutLong(l.grid.firstRow);
  b.PutLong(l.grid.firstColumn);
  b.PutLong(l.grid.lastRow);
  b.PutLong(l.grid.lastColumn);
  b.PutSingle(l.grid.cellWidth);
  b.PutSingle(l.grid.cellHeight);
  b.PutInteger(l.userVisibility);
  b.PutSingle(l.zoomMin);
  b.PutSingle(l.zoomMax);
  PutStyle(b, l.style);
  PutFieldName(b, l.labelField);
  b.PutSingle(l.labelZoomMin);
  b.PutSingle(l.labelZoomMax);
  b.PutInteger(l.userLabelVisibility);
  b.PutInteger(l.labelBold ? 1 : 0);
  b.PutLong(l.labelColor);
  PutFieldName(b, l.thematicField);
  b.PutInteger(l.thematicType);
  const std::int16_t m = Count16(l.fields);
  b.PutInteger(m);
  for (std::int16_t i = 0; i < m; ++i) {
    PutTextCut(b, l.fields[static_cast<std::size_t>(i)].name);
    b.PutInteger(l.fields[static_cast<std::size_t>(i)].type);
  }
  const std::int16_t k = Count16(l.themes);
  b.PutInteger(k);
  for (std::int16_t i = 0; i < k; ++i) {
    const ThemeClass& t = l.themes[static_cast<std::size_t>(i)];
    PutTextCut(b, t.lower);
    PutTextCut(b, t.upper);
    PutStyle(b, t.style);
  }
}

// Edits and pushed changes follow the layers of the open map; a map saved over since
// it was opened is taken again by its next request 1.
void NoteLayers(ConnectionState& conn, const std::optional<MapDefinition>& def) {
  conn.mapLayers.clear();
  conn.sentElements.clear();  // the viewer builds its layers afresh
  if (!def) return;
  for (const LayerRecord& l : def->layers) conn.mapLayers.emplace(l.id, l.kind);
}

}  // namespace

DWBUffer EmptyOpenMapReply(LenientReader&) { return OpenMapReply(kUnknownUser); }

DWBUffer EmptyMapDefinitionReply(LenientReader&) {
  DWBUffer b = StartReply(cmd::kMapDefinitionReply);
  b.PutString("");
  for (int i = 0; i < 4; ++i) b.PutSingle(0);
  b.PutLong(0xFFFFFF);
  b.PutInteger(0);
  b.PutInteger(0);  // no layers
  return FinishReply(std::move(b));
}

DWBUffer EmptyAccessLevelsReply(LenientReader&) {
  DWBUffer b = StartReply(cmd::kAccessLevelsReply);
  b.PutInteger(0);
  return FinishReply(std::move(b));
}

std::optional<DWBUffer> HandleOpenMap(DWBUffer& request, HandlerContext& ctx) {
  constexpr const char* kWhat = "open map (10)";
  std::int32_t handle = 0, map = 0;
  if (!ReadRequest(ctx, kWhat, [&] {
        handle = request.GetLong();
        map = request.GetLong();
      })) {
    return std::nullopt;
  }
  const auto account = ctx.AccountOf(handle, kWhat, true);
  if (!account) return OpenMapReply(kUnknownUser);
  bool mayOpen = false;
  std::optional<MapDefinition> def;
  try {
    mayOpen = ctx.store.CanOpenMap(*account, map);
    if (mayOpen) def = ctx.store.FindMapDefinition(map);
  } catch (const StoreError& e) {
    // Answered here, not by the dispatcher: the handle attached above must go back.
    ctx.services.handles.Detach(handle);
    ctx.StoreFailed(kWhat, e);
    return OpenMapReply(kMapRefused);
  }
  if (!mayOpen) {
    ctx.services.handles.Detach(handle);
    ctx.Refused(kWhat,
                "account " + std::to_string(*account) + " may not open map " + std::to_string(map));
    return OpenMapReply(kMapRefused);
  }
  // A second 10 on the same connection moves it to the new map and handle.
  if (ctx.conn.handle != 0) ctx.services.handles.Detach(ctx.conn.handle);
  ctx.conn.handle = handle;
  ctx.conn.userId = *account;
  ctx.conn.mapCode = map;
  ctx.conn.mapOpen = true;
  ctx.conn.access.clear();  // another account may have opened it before
  NoteLayers(ctx.conn, def);
  ctx.Log("map " + std::to_string(map) + " opened by account " + std::to_string(*account));
  return OpenMapReply(kGranted);
}

std::optional<DWBUffer> HandleMapDefinition(DWBUffer& request, HandlerContext& ctx) {
  constexpr const char* kWhat = "map definition (1)";
  std::int32_t map = 0;
  if (!ReadRequest(ctx, kWhat, [&] { map = request.GetLong(); })) return std::nullopt;
  if (!ctx.conn.mapOpen || map != ctx.conn.mapCode) {
    ctx.Refused(kWhat, "map " + std::to_string(map) + " was not opened on this connection");
    return std::nullopt;
  }
  const auto def = ctx.store.FindMapDefinition(map);
  if (!def) {
    ctx.Refused(kWhat, "no map " + std::to_string(map));
    return std::nullopt;
  }
  NoteLayers(ctx.conn, def);
  DWBUffer b = StartReply(cmd::kMapDefinitionReply);
  PutTextCut(b, def->name);
  b.PutSingle(static_cast<float>(def->extents.minX));
  b.PutSingle(static_cast<float>(def->extents.minY));
  b.PutSingle(static_cast<float>(def->extents.maxX));
  b.PutSingle(static_cast<float>(def->extents.maxY));
  b.PutLong(def->backgroundColor);
  b.PutInteger(def->projection);
  const std::int16_t n = Count16(def->layers);
  b.PutInteger(n);
  for (std::int16_t i = 0; i < n; ++i) PutLayer(b, def->layers[static_cast<std::size_t>(i)]);
  return FinishReply(std::move(b));
}

std::optional<DWBUffer> HandleAccessLevels(DWBUffer& request, HandlerContext& ctx) {
  constexpr const char* kWhat = "access levels (11)";
  std::int32_t handle = 0;
  std::vector<std::int32_t> layers;
  if (!ReadRequest(ctx, kWhat, [&] {
        handle = request.GetLong();
        const std::int16_t n = request.GetInteger();
        for (std::int16_t i = 0; i < n; ++i) layers.push_back(request.GetLong());
      })) {
    return std::nullopt;
  }
  const auto account = ctx.AccountOf(handle, kWhat);
  if (!account) return std::nullopt;
  DWBUffer b = StartReply(cmd::kAccessLevelsReply);
  b.PutInteger(static_cast<std::int16_t>(layers.size()));
  for (const std::int32_t id : layers) {
    b.PutLong(id);
    b.PutInteger(static_cast<std::int16_t>(ctx.store.AccessLevelOf(*account, id)));
  }
  return FinishReply(std::move(b));
}

}  // namespace orvenda::server
