#include "protocol/savemapmessages.h"

#include "protocol/catalogue.h"
#include "protocol/messagefields.h"

namespace orvenda {
namespace {

// Bytes of a layer record with empty texts and no themes: a lower bound that keeps a
// hostile layer count from allocating anything.
constexpr std::int64_t kMinLayerBytes = 80;
constexpr std::int64_t kMinThemeBytes = 18;

void PutTheme(DWBUffer& b, const SavedTheme& t) {
  b.PutLong(t.drawColor);
  b.PutInteger(t.drawStyle);
  b.PutInteger(t.drawWidth);
  b.PutLong(t.fillColor);
  b.PutInteger(t.fillStyle);
  b.PutString(t.min);
  b.PutString(t.max);
}

SavedTheme GetTheme(DWBUffer& b) {
  SavedTheme t;
  t.drawColor = b.GetLong();
  t.drawStyle = b.GetInteger();
  t.drawWidth = b.GetInteger();
  t.fillColor = b.GetLong();
  t.fillStyle = b.GetInteger();
  t.min = b.GetString();
  t.max = b.GetString();
  return t;
}

void PutLayer(DWBUffer& b, const SavedLayer& l) {
  b.PutString(l.name);
  b.PutLong(l.id);
  b.PutInteger(l.kind);
  b.PutLong(l.minCol);
  b.PutLong(l.minRow);
  b.PutLong(l.maxCol);
  b.PutSingle(l.maxRow);
  b.PutSingle(l.gridDeltaX);
  b.PutSingle(l.gridDeltaY);
  b.PutInteger(l.userVisibility);
  b.PutSingle(l.zoomMin);
  b.PutSingle(l.zoomMax);
  b.PutLong(l.drawColor);
  b.PutInteger(l.drawStyle);
  b.PutInteger(l.drawWidth);
  b.PutLong(l.fillColor);
  b.PutInteger(l.fillStyle);
  b.PutString(l.lblField);
  b.PutSingle(l.lblZoomMin);
  b.PutSingle(l.lblZoomMax);
  b.PutInteger(l.userLabelVisibility);
  b.PutInteger(l.lblBold ? -1 : 0);
  b.PutLong(l.lblColor);
  b.PutString(l.thematicField);
  b.PutInteger(l.thematicType);
  b.PutInteger(static_cast<std::int16_t>(l.themes.size()));
  for (const SavedTheme& t : l.themes) PutTheme(b, t);
}

SavedLayer GetLayer(DWBUffer& b) {
  SavedLayer l;
  l.name = b.GetString();
  l.id = b.GetLong();
  l.kind = b.GetInteger();
  l.minCol = b.GetLong();
  l.minRow = b.GetLong();
  l.maxCol = b.GetLong();
  l.maxRow = b.GetSingle();
  l.gridDeltaX = b.GetSingle();
  l.gridDeltaY = b.GetSingle();
  l.userVisibility = b.GetInteger();
  l.zoomMin = b.GetSingle();
  l.zoomMax = b.GetSingle();
  l.drawColor = b.GetLong();
  l.drawStyle = b.GetInteger();
  l.drawWidth = b.GetInteger();
  l.fillColor = b.GetLong();
  l.fillStyle = b.GetInteger();
  l.lblField = b.GetString();
  l.lblZoomMin = b.GetSingle();
  l.lblZoomMax = b.GetSingle();
  l.userLabelVisibility = b.GetInteger();
  l.lblBold = b.GetInteger() != 0;
  l.lblColor = b.GetLong();
  l.thematicField = b.GetString();
  l.thematicType = b.GetInteger();
  l.themes.resize(CheckedCount(b, b.GetInteger(), kMinThemeBytes, "themes"));
  for (SavedTheme& t : l.themes) t = GetTheme(b);
  return l;
}

}  // namespace

DWBUffer WriteSaveMap(const SaveMapRequest& r) {
  DWBUffer b = StartMessage(cmd::kSaveMap);
  b.PutLong(r.userId);
  b.PutLong(r.mapCode);
  b.PutString(r.name);
  b.PutSingle(r.minX);
  b.PutSingle(r.minY);
  b.PutSingle(r.maxX);
  b.PutSingle(r.maxY);
  b.PutLong(r.backgroundColor);
  b.PutInteger(r.projection);
  b.PutInteger(static_cast<std::int16_t>(r.layers.size()));
  for (const SavedLayer& l : r.layers) PutLayer(b, l);
  b.cerrarMensaje(0);
  return b;
}

SaveMapRequest ReadSaveMap(DWBUffer& b) {
  SaveMapRequest r;
  r.userId = b.GetLong();
  r.mapCode = b.GetLong();
  r.name = b.GetString();
  r.minX = b.GetSingle();
  r.minY = b.GetSingle();
  r.maxX = b.GetSingle();
  r.maxY = b.GetSingle();
  r.backgroundColor = b.GetLong();
  r.projection = b.GetInteger();
  r.layers.resize(CheckedCount(b, b.GetInteger(), kMinLayerBytes, "layers"));
  for (SavedLayer& l : r.layers) l = GetLayer(b);
  return r;
}

DWBUffer WriteSaveMapResult(std::int16_t result) {
  DWBUffer b = StartMessage(cmd::kSaveMapReply);
  b.PutInteger(result);
  b.cerrarMensaje(0);
  return b;
}

}  // namespace orvenda
