#include "protocol/layerchange.h"

#include "protocol/catalogue.h"
#include "protocol/cellloading.h"
#include "protocol/elementinfo.h"
#include "protocol/mapopening.h"
#include "protocol/serverlink.h"

namespace orvenda {
namespace {

// The values follow the layer's fields in order: the label, thematic and
// direction fields give the element its label, class value and direction.
void ApplyValues(layer& lay, Entidad& ent, const std::vector<std::string>& values) {
  std::size_t k = 0;
  for (const Campo& field : lay.Campos()) {
    if (k >= values.size()) break;
    const std::string& value = values[k++];
    if (!lay.lblField.empty() && SameField(field.Nombre, lay.lblField)) {
      ent.IDLabel = lay.LabelIndex(value);
    }
    if (!lay.ThematicField.empty() && SameField(field.Nombre, lay.ThematicField)) {
      ent.SetThemeValue(value);
    }
    if (!lay.DirectionField.empty() && SameField(field.Nombre, lay.DirectionField)) {
      ent.Direction = DirectionValue(value);
    }
  }
  lay.CalculateThemeObject(ent);
}

void AskAgain(MapViewer& viewer, layer& lay, const LayerChange& c) {
  for (const auto [i, j] : c.cells) {
    if (lay.IsLabelCellRequested(i, j)) SendCellValuesRequest(viewer, lay, i, j, lay.lblField);
    if (lay.IsCellRequested(i, j) && !lay.ThematicField.empty()) {
      SendCellValuesRequest(viewer, lay, i, j, lay.ThematicField);
    }
    if (lay.IsDirectionCellRequested(i, j)) {
      SendCellValuesRequest(viewer, lay, i, j, lay.DirectionField);
    }
  }
}

}  // namespace

void HandleLayerChange(MapViewer& viewer, DWBUffer& message) {
  using namespace layerchange;
  const LayerChange c = ReadLayerChange(message);
  layer* lay = viewer.layers().Item(Key(c.layerId));
  if (!lay) return;  // a layer this map does not hold
  Entidad* ent = lay->Entidades.ItemByID(c.elementId);
  switch (c.operation) {
    case kGridLimits:
      lay->minCol = c.limits[0];
      lay->minRow = c.limits[1];
      lay->maxCol = c.limits[2];
      lay->maxRow = c.limits[3];
      break;
    case kNewElement:
      if (ent) lay->RemoveEntity(c.elementId);
      ent = &lay->Entidades.Add(c.elementId, c.points, lay);
      ApplyValues(*lay, *ent, c.values);
      break;
    case kGeometryChanged:
      if (ent) ent->SetPoints(c.points);
      break;
    case kElementRemoved:
      lay->RemoveEntity(c.elementId);
      break;
    case kValuesChanged:
      if (ent) ApplyValues(*lay, *ent, c.values);
      break;
    case kCellValuesStale:
      AskAgain(viewer, *lay, c);
      break;
    default:
      break;
  }
  viewer.RepaintLayer(c.layerId);
}

void RegisterMapHandlers(MapViewer& viewer) {
  Dispatcher& d = viewer.link().dispatcher();
  MapViewer* v = &viewer;
  d.Register(cmd::kOpenMapReply, [v](DWBUffer& m) { HandleOpenMapReply(*v, m); });
  d.Register(cmd::kMapDefinitionReply, [v](DWBUffer& m) { HandleMapDefinition(*v, m); });
  d.Register(cmd::kAccessLevelsReply, [v](DWBUffer& m) { HandleAccessLevels(*v, m); });
  d.Register(cmd::kFieldsReply, [v](DWBUffer& m) { HandleLayerFields(*v, m); });
  d.Register(cmd::kThemesReply, [v](DWBUffer& m) { HandleThematicClasses(*v, m); });
  d.Register(cmd::kCellReply, [v](DWBUffer& m) { HandleCellReply(*v, m); });
  d.Register(cmd::kCellValuesReply, [v](DWBUffer& m) { HandleCellValuesReply(*v, m); });
  d.Register(cmd::kLayerChanged, [v](DWBUffer& m) { HandleLayerChange(*v, m); });
  RegisterInfoHandlers(viewer);
  viewer.link().SetReconnected([v] { ReopenMap(*v); });
}

}  // namespace orvenda
