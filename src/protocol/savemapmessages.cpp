#include "protocol/savemapmessages.h"

#include "protocol/catalogue.h"
#include "protocol/messagefields.h"

namespace orvenda {
namespace {

// Bytes of a layer record with empty texts and no themes: a lower bound that keeps a
// hostile layer count from allocating anything.
constexpr std::int64_t kMinLayerBytes = 80;
constexpr std::int64_t kMinThemeBytes = 18;

template <typename IO, typename Theme>
void ThemeFields(IO& io, Theme& t) {
  io(t.drawColor);
  io(t.drawStyle);
  io(t.drawWidth);
  io(t.fillColor);
  io(t.fillStyle);
  io(t.min);
  io(t.max);
}

// Everything of a layer record but its themes.
template <typename IO, typename Layer>
void LayerFields(IO& io, Layer& l) {
  io(l.name);
  io(l.id);
  io(l.kind);
  io(l.minCol);
  io(l.minRow);
  io(l.maxCol);
  io(l.maxRow);
  io(l.gridDeltaX);
  io(l.gridDeltaY);
  io(l.userVisibility);
  io(l.zoomMin);
  io(l.zoomMax);
  io(l.drawColor);
  io(l.drawStyle);
  io(l.drawWidth);
  io(l.fillColor);
  io(l.fillStyle);
  io(l.lblField);
  io(l.lblZoomMin);
  io(l.lblZoomMax);
  io(l.userLabelVisibility);
  io.Bold(l.lblBold);
  io(l.lblColor);
  io(l.thematicField);
  io(l.thematicType);
}

template <typename IO, typename Request>
void MapFields(IO& io, Request& r) {
  io(r.userId);
  io(r.mapCode);
  io(r.name);
  io(r.minX);
  io(r.minY);
  io(r.maxX);
  io(r.maxY);
  io(r.backgroundColor);
  io(r.projection);
}

}  // namespace

DWBUffer WriteSaveMap(const SaveMapRequest& r) {
  DWBUffer b = StartMessage(cmd::kSaveMap);
  FieldWriter put{b};
  MapFields(put, r);
  b.PutInteger(static_cast<std::int16_t>(r.layers.size()));
  for (const SavedLayer& l : r.layers) {
    LayerFields(put, l);
    b.PutInteger(static_cast<std::int16_t>(l.themes.size()));
    for (const SavedTheme& t : l.themes) ThemeFields(put, t);
  }
  b.cerrarMensaje(0);
  return b;
}

SaveMapRequest ReadSaveMap(DWBUffer& b) {
  SaveMapRequest r;
  FieldReader get{b};
  MapFields(get, r);
  r.layers.resize(CheckedCount(b, b.GetInteger(), kMinLayerBytes, "layers"));
  for (SavedLayer& l : r.layers) {
    LayerFields(get, l);
    l.themes.resize(CheckedCount(b, b.GetInteger(), kMinThemeBytes, "themes"));
    for (SavedTheme& t : l.themes) ThemeFields(get, t);
  }
  return r;
}

DWBUffer WriteSaveMapResult(std::int16_t result) {
  DWBUffer b = StartMessage(cmd::kSaveMapReply);
  b.PutInteger(result);
  b.cerrarMensaje(0);
  return b;
}

}  // namespace orvenda
