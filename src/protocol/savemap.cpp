#include "protocol/savemap.h"

#include "protocol/serverlink.h"

namespace orvenda {
namespace {

SavedLayer LayerRecord(layer& lay) {
  SavedLayer l;
  l.name = lay.Nombre;
  l.id = lay.IDLayer;
  l.kind = static_cast<std::int16_t>(lay.Tipo);
  l.minCol = lay.minCol;
  l.minRow = lay.minRow;
  l.maxCol = lay.maxCol;
  l.maxRow = static_cast<float>(lay.maxRow);
  l.gridDeltaX = lay.GridDeltaX;
  l.gridDeltaY = lay.GridDeltaY;
  l.userVisibility = lay.UserVisibility();
  l.zoomMin = lay.ZoomMin;
  l.zoomMax = lay.ZoomMax;
  ThematicMap& themes = lay.ThematicMap();
  // The layer's default drawing is its first class, whatever it holds.
  const Theme first = themes.count() > 0 ? themes.Item(1) : Theme{};
  l.drawColor = static_cast<std::int32_t>(first.DrawColor);
  l.drawStyle = static_cast<std::int16_t>(first.DrawStyle);
  l.drawWidth = static_cast<std::int16_t>(first.DrawWidth);
  l.fillColor = static_cast<std::int32_t>(first.FillColor);
  l.fillStyle = static_cast<std::int16_t>(first.FillStyle);
  l.lblField = lay.lblField;
  l.lblZoomMin = lay.lblZoomMin;
  l.lblZoomMax = lay.lblZoomMax;
  l.userLabelVisibility = lay.UserLabelVisibility();
  l.lblBold = lay.lblBold;
  l.lblColor = static_cast<std::int32_t>(lay.lblColor);
  l.thematicField = lay.ThematicField;
  l.thematicType = lay.ThematicType;
  // Every class but the ones for any value; the count sent is the number of
  // records written, so a missing or repeated default class keeps the layout whole.
  for (const Theme& t : themes) {
    if (t.min == kAnyValueClass) continue;
    l.themes.push_back(
        {static_cast<std::int32_t>(t.DrawColor), static_cast<std::int16_t>(t.DrawStyle),
         static_cast<std::int16_t>(t.DrawWidth), static_cast<std::int32_t>(t.FillColor),
         static_cast<std::int16_t>(t.FillStyle), t.min, t.max});
  }
  return l;
}

}  // namespace

std::optional<SaveMapRequest> SaveMapSetup(MapViewer& viewer, std::int32_t IDUser,
                                           const std::string& MapName) {
  const MapProperties& map = viewer.map();
  if (!map.layerscargados || viewer.layers().count() == 0) return std::nullopt;
  SaveMapRequest r;
  r.userId = IDUser;
  r.mapCode = MapName.empty() ? map.MapCode : 0;
  r.name = MapName.empty() ? map.Nombre : MapName;
  r.minX = static_cast<float>(map.MapExtents.MinX);
  r.minY = static_cast<float>(map.MapExtents.MinY);
  r.maxX = static_cast<float>(map.MapExtents.MaxX);
  r.maxY = static_cast<float>(map.MapExtents.MaxY);
  r.backgroundColor = map.BackgroundColor;
  r.projection = map.Projection;
  for (layer& lay : viewer.layers()) r.layers.push_back(LayerRecord(lay));
  return r;
}

bool SendSaveMap(MapViewer& viewer, std::int32_t IDUser, const std::string& MapName) {
  const auto request = SaveMapSetup(viewer, IDUser, MapName);
  return request && viewer.link().SendToServer(WriteSaveMap(*request));
}

const char* SaveMapResultText(std::int16_t result) {
  switch (result) {
    case savemap::kSaved:
      return "Mapa guardado con éxito!";
    case savemap::kInvalidName:
      return "Nombre Inválido. Intente de nuevo";
    case savemap::kUnexpected:
      return "Error inesperado.";
    default:
      return nullptr;
  }
}

void RegisterSaveMapReply(ServerLink& link, std::function<void(std::int16_t)> saved) {
  link.dispatcher().RegisterSaveResult([&link, saved = std::move(saved)](std::int16_t result) {
    if (const char* text = SaveMapResultText(result)) {
      link.dispatcher().Tell(text, "Orvenda", MessageIcon::None);
    }
    if (saved) link.AfterReceive([saved, result] { saved(result); });
  });
}

}  // namespace orvenda
