#include "protocol/mapopening.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "protocol/catalogue.h"
#include "protocol/serverlink.h"

namespace orvenda {
namespace {

// A single space on the wire means "no field".
std::string FieldName(DWBUffer& m) {
  std::string name = m.GetString();
  return name == " " ? std::string() : name;
}

// Field records: the thematic field takes its type; "DIR" makes a direction
// field on line and area layers, but only while the map is being defined.
void ReadFieldRecords(DWBUffer& m, layer& lay, bool applyDirectionRule) {
  const std::int16_t count = m.GetInteger();
  for (int f = 0; f < count; ++f) {
    const std::string name = m.GetString();
    const std::int16_t type = m.GetInteger();
    if (SameField(name, lay.ThematicField)) lay.ThematicFieldType = type;
    if (applyDirectionRule && SameField(name, "DIR") && lay.Tipo != pointlayer &&
        lay.Tipo != ImageLayer) {
      lay.DirectionField = "DIR";
      lay.SetUserDirectionVisibility(0);
    }
    lay.Campos().Add(name, type);
  }
}

void ReadThemeRecords(DWBUffer& m, ThematicMap& themes) {
  const std::int16_t count = m.GetInteger();
  for (int k = 0; k < count; ++k) ReadThemeRecord(m, themes);
}

void ReadLayerRecord(MapViewer& viewer, DWBUffer& m, std::vector<std::int32_t>& ids) {
  const std::string name = m.GetString();
  const std::int32_t id = m.GetLong();
  const std::int16_t kind = m.GetInteger();
  ids.push_back(id);
  layer& lay = viewer.layers().Add(name, Key(id), kind, &viewer);
  lay.minCol = m.GetLong();
  lay.minRow = m.GetLong();
  lay.maxCol = m.GetLong();
  lay.maxRow = m.GetLong();
  lay.GridDeltaX = m.GetSingle();
  lay.GridDeltaY = m.GetSingle();
  lay.SetUserVisibility(m.GetInteger());
  lay.ZoomMin = m.GetSingle();
  lay.ZoomMax = m.GetSingle();

  const auto drawColor = static_cast<std::uint32_t>(m.GetLong());
  const std::int16_t drawStyle = m.GetInteger();
  const std::int16_t drawWidth = m.GetInteger();
  const auto fillColor = static_cast<std::uint32_t>(m.GetLong());
  const std::int16_t fillStyle = m.GetInteger();
  lay.ThematicMap().Add(drawStyle, drawWidth, drawColor, fillColor, fillStyle, kAnyValueClass, "");

  lay.lblField = FieldName(m);
  lay.lblZoomMin = m.GetSingle();
  lay.lblZoomMax = m.GetSingle();
  lay.SetUserLabelVisibility(m.GetInteger());
  // The definition says 1 for bold; a map saved by request 240 may hold the -1 that
  // request sends for it.
  const std::int16_t bold = m.GetInteger();
  lay.lblBold = bold == 1 || bold == -1;
  lay.lblColor = static_cast<std::uint32_t>(m.GetLong());
  lay.lblAllowDuplicates = false;
  lay.ThematicField = FieldName(m);
  lay.ThematicType = m.GetInteger();
  ReadFieldRecords(m, lay, true);
  ReadThemeRecords(m, lay.ThematicMap());
}

}  // namespace

bool SameField(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::toupper(static_cast<unsigned char>(x)) ==
           std::toupper(static_cast<unsigned char>(y));
  });
}

void ReadThemeRecord(DWBUffer& m, ThematicMap& themes) {
  const std::string lower = m.GetString();
  const std::string upper = m.GetString();
  const auto drawColor = static_cast<std::uint32_t>(m.GetLong());
  const std::int16_t drawStyle = m.GetInteger();
  const std::int16_t drawWidth = m.GetInteger();
  const auto fillColor = static_cast<std::uint32_t>(m.GetLong());
  const std::int16_t fillStyle = m.GetInteger();
  themes.Add(drawStyle, drawWidth, drawColor, fillColor, fillStyle, lower, upper);
}

void SendOpenMap(MapViewer& viewer, std::int32_t IDUser, std::int32_t MapCode) {
  viewer.link().SendToServer(cmd::kOpenMap, [&](DWBUffer& b) {
    b.PutLong(IDUser);
    b.PutLong(MapCode);
  });
}

void SendMapDefinition(MapViewer& viewer, std::int32_t MapCode) {
  viewer.link().SendToServer(cmd::kMapDefinition, [&](DWBUffer& b) { b.PutLong(MapCode); });
}

void SendAccessLevels(MapViewer& viewer, std::int32_t IDUser,
                      const std::vector<std::int32_t>& layerIds) {
  viewer.link().SendToServer(cmd::kAccessLevels, [&](DWBUffer& b) {
    b.PutLong(IDUser);
    b.PutInteger(static_cast<std::int16_t>(layerIds.size()));
    for (std::int32_t id : layerIds) b.PutLong(id);
  });
}

void ReopenMap(MapViewer& viewer) {
  MapProperties& map = viewer.map();
  if (!map.layerscargados) return;
  map.reopening = true;
  SendOpenMap(viewer, map.IDUser, map.MapCode);
}

void HandleOpenMapReply(MapViewer& viewer, DWBUffer& reply) {
  LowerPending(viewer);
  // A map opened again on a new connection is already defined and loaded.
  const bool reopened = std::exchange(viewer.map().reopening, false);
  if (reply.GetInteger() != 0) {
    viewer.link().dispatcher().Tell("Acceso Denegado", "Orvenda Viewer", MessageIcon::Critical);
    return;
  }
  if (!reopened) SendMapDefinition(viewer, viewer.map().MapCode);
}

void HandleMapDefinition(MapViewer& viewer, DWBUffer& reply) {
  LowerPending(viewer);
  MapProperties& map = viewer.map();
  map.Nombre = reply.GetString();
  viewer.PostStatus(0, status::kMapLoading);
  map.MapExtents.MinX = reply.GetSingle();
  map.MapExtents.MinY = reply.GetSingle();
  map.MapExtents.MaxX = reply.GetSingle();
  map.MapExtents.MaxY = reply.GetSingle();
  map.BackgroundColor = reply.GetLong();
  map.Projection = reply.GetInteger();
  viewer.SetupProjection(map.Projection);

  const std::int16_t count = reply.GetInteger();
  std::vector<std::int32_t> ids;
  for (int n = 0; n < count; ++n) ReadLayerRecord(viewer, reply, ids);
  SendAccessLevels(viewer, map.IDUser, ids);
  viewer.PostStatus(0, status::kMapLoading + status::kEnded);
  viewer.MapLoaded();
}

void HandleAccessLevels(MapViewer& viewer, DWBUffer& reply) {
  LowerPending(viewer);
  const std::int16_t count = reply.GetInteger();
  for (int n = 0; n < count; ++n) {
    const std::int32_t id = reply.GetLong();
    const std::int16_t level = reply.GetInteger();
    if (layer* lay = viewer.layers().Item(Key(id))) {
      lay->AccessLevel = static_cast<CONSTACCESSLEVEL>(level);
    }
  }
  viewer.ZoomExtents();
}

void HandleLayerFields(MapViewer& viewer, DWBUffer& reply) {
  LowerPending(viewer);
  layer* lay = viewer.layers().Item(Key(reply.GetLong()));
  if (!lay) return;  // a layer this map does not hold
  ReadFieldRecords(reply, *lay, false);
}

void HandleThematicClasses(MapViewer& viewer, DWBUffer& reply) {
  LowerPending(viewer);
  layer* lay = viewer.layers().Item(Key(reply.GetLong()));
  if (!lay) return;
  ReadThemeRecords(reply, lay->ThematicMap());
}

}  // namespace orvenda
