// Saving a map's setup: 240 -> 241. The request is not counted, but the client shows
// the result of every 241, so each 240 gets exactly one.
#include <algorithm>
#include <set>
#include <string>
#include <string_view>

#include "net/handlers/families.h"
#include "net/handlers/reply.h"
#include "protocol/savemapmessages.h"

namespace orvenda::server {
namespace {

constexpr const char* kWhat = "save map (240)";
// The mark of the class that applies to any value; the layer's own style is that class.
constexpr std::string_view kAnyValue = "MICanyMIC";

// None is the empty name, whether it comes as "" or as the map definition's " ".
std::string FieldName(const std::string& wire) { return wire == " " ? std::string() : wire; }

// Only what a user may set up travels on; the grid, kind, name and fields in the record
// are the client's copy of the store's own and are left alone.
LayerRecord SetupOf(const SavedLayer& l) {
  LayerRecord r;
  r.id = l.id;
  r.userVisibility = l.userVisibility;
  r.zoomMin = l.zoomMin;
  r.zoomMax = l.zoomMax;
  r.style = {l.drawColor, l.drawStyle, l.drawWidth, l.fillColor, l.fillStyle};
  r.labelField = FieldName(l.lblField);
  r.labelZoomMin = l.lblZoomMin;
  r.labelZoomMax = l.lblZoomMax;
  r.userLabelVisibility = l.userLabelVisibility;
  r.labelBold = l.lblBold;
  r.labelColor = l.lblColor;
  r.thematicField = FieldName(l.thematicField);
  r.thematicType = l.thematicType;
  for (const SavedTheme& t : l.themes) {
    if (t.min == kAnyValue) continue;
    r.themes.push_back(
        {t.min, t.max, {t.drawColor, t.drawStyle, t.drawWidth, t.fillColor, t.fillStyle}});
  }
  return r;
}

// Fills def.layers with the layers the save keeps, or tells why it is refused. The
// client lists every layer of the map definition, those its user cannot view too; such
// a layer may stay only where the open map already holds it: saving over keeps it,
// saving as a new map leaves it out, as nobody puts a layer they cannot see into a map
// of their own. Runs inside the save's transaction, so the rights it reads are those
// the save is made under.
std::string Admit(HandlerContext& ctx, const SaveMapRequest& r, SaveMode mode, MapDefinition& def) {
  const std::int32_t account = ctx.conn.userId;
  const std::string who = "account " + std::to_string(account);
  if (mode == SaveMode::Over && !ctx.store.MayChangeMap(account, def.code))
    return who + " may not change map " + std::to_string(def.code);
  std::optional<MapDefinition> open;
  std::set<std::int32_t> seen;
  std::string leftOut;
  bool viewable = false;
  for (const SavedLayer& l : r.layers) {
    // Checked here too, before a repeated layer could be left out again and again.
    if (!seen.insert(l.id).second)
      throw StoreError(StoreFault::BadValue, "layer " + std::to_string(l.id) + " listed twice");
    if (ctx.store.AccessLevelOf(account, l.id) != AccessLevel::NoAccess) {
      viewable = true;
      def.layers.push_back(SetupOf(l));
      continue;
    }
    if (!open) open = ctx.store.FindMapDefinition(ctx.conn.mapCode);
    const bool held = open && std::ranges::any_of(
                                  open->layers, [&](const LayerRecord& o) { return o.id == l.id; });
    if (!held) {
      if (!ctx.store.FindLayerInfo(l.id))
        throw StoreError(StoreFault::UnknownLayer, "unknown layer " + std::to_string(l.id));
      return who + " may not view layer " + std::to_string(l.id) + ", which map " +
             std::to_string(ctx.conn.mapCode) + " does not hold";
    }
    if (mode == SaveMode::AsNew) {
      leftOut += " " + std::to_string(l.id);
      continue;
    }
    def.layers.push_back(SetupOf(l));
  }
  if (!viewable) return "the map would hold no layer that " + who + " may view";
  if (!leftOut.empty())
    ctx.Log("save as leaves out the layers " + who + " may not view:" + leftOut);
  return {};
}

}  // namespace

DWBUffer EmptySaveMapReply(LenientReader&) { return WriteSaveMapResult(savemap::kUnexpected); }

std::optional<DWBUffer> HandleSaveMap(DWBUffer& request, HandlerContext& ctx) {
  SaveMapRequest r;
  if (!ReadRequest(ctx, kWhat, [&] {
        r = ReadSaveMap(request);
        // A count that does not match its records leaves bytes over; what was read
        // then is not what the client meant.
        if (request.Remaining() != 0)
          throw MalformedField(std::to_string(request.Remaining()) + " bytes after the last layer");
      })) {
    return std::nullopt;
  }
  const auto refuse = [&](const std::string& why) {
    ctx.Refused(kWhat, why);
    return WriteSaveMapResult(savemap::kInvalidName);
  };
  const ConnectionState& conn = ctx.conn;
  if (!conn.mapOpen) return refuse("no map open on this connection");
  // The handle of this connection's own login, never an identity the request claims.
  if (r.userId != conn.handle) return refuse("user ID is not this connection's");
  const auto user = ctx.store.FindUserById(conn.userId);
  if (!user) return refuse("account " + std::to_string(conn.userId) + " removed");
  if (user->guest) return refuse("a guest account cannot save maps");
  if (r.mapCode != 0 && r.mapCode != conn.mapCode)
    return refuse("map " + std::to_string(r.mapCode) + " is not the one open on this connection");

  // Map code 0 asks for a new map, but it is also a real map's code (the demo's World).
  // Map 0 sent under its own name can only mean saving over it: that name is taken.
  SaveMode mode = r.mapCode != 0 ? SaveMode::Over : SaveMode::AsNew;
  if (r.mapCode == 0 && conn.mapCode == 0) {
    const auto open = ctx.store.FindMapDefinition(0);
    if (open && open->name == r.name) mode = SaveMode::Over;
  }
  MapDefinition def;
  def.code = r.mapCode;
  def.name = r.name;
  def.extents = {r.minX, r.minY, r.maxX, r.maxY};
  def.backgroundColor = r.backgroundColor;
  def.projection = r.projection;
  std::string refusal;
  SavedMap saved;
  ctx.store.Transaction([&] {
    refusal = Admit(ctx, r, mode, def);
    if (refusal.empty()) saved = ctx.store.SaveMap(def, mode, conn.userId);
  });
  if (!refusal.empty()) return refuse(refusal);
  if (saved.result == SavedMap::InvalidName)
    return refuse("map name '" + r.name + "' is empty, not valid or another map's");
  ctx.Log("map " + std::to_string(saved.code) + " '" + r.name + "' saved " +
          (mode == SaveMode::AsNew ? "as a new map" : "over") + " by account " +
          std::to_string(conn.userId) + " with " + std::to_string(def.layers.size()) + " layers");
  return WriteSaveMapResult(savemap::kSaved);
}

}  // namespace orvenda::server
