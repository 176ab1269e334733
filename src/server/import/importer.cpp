#include "import/importer.h"

#include <algorithm>
#include <cmath>

#include "import/cell_size.h"
#include "model/gridrule.h"
#include "store/grid.h"

namespace orvenda::server {
namespace {

void AddDerived(SourceData& data, const std::vector<DerivedField>& derived) {
  const std::vector<FieldDef> sourceFields = data.fields;
  for (const DerivedField& d : derived) data.fields.push_back(d.field);
  for (SourceFeature& f : data.features) {
    const std::vector<Value> own = f.values;
    for (const DerivedField& d : derived) f.values.push_back(d.compute(sourceFields, own));
  }
}

std::vector<Box> PartBoxes(const SourceData& data, double& maxAbsLat) {
  std::vector<Box> boxes;
  maxAbsLat = 0;
  for (const SourceFeature& f : data.features)
    for (const auto& part : f.parts) {
      boxes.push_back(BoxOf(part));
      maxAbsLat = std::max({maxAbsLat, std::fabs(boxes.back().minY), std::fabs(boxes.back().maxY)});
    }
  return boxes;
}

}  // namespace

ImportReport ImportLayer(Store& store, const ImportOptions& o) {
  if (o.mapCode && !store.FindMapDefinition(*o.mapCode))
    throw StoreError(StoreFault::UnknownRecord, "unknown map " + std::to_string(*o.mapCode));
  ImportOptions named = o;
  if (named.layerName.empty()) named.layerName = o.source.stem().string();
  return ImportData(store, ReadSource(o.source, o.read), named);
}

ImportReport ImportData(Store& store, SourceData data, const ImportOptions& o) {
  std::int16_t projection = 0;
  if (o.mapCode) {
    auto map = store.FindMapDefinition(*o.mapCode);
    if (!map)
      throw StoreError(StoreFault::UnknownRecord, "unknown map " + std::to_string(*o.mapCode));
    projection = map->projection;
  }
  AddDerived(data, o.derived);

  ImportReport r;
  r.kind = data.kind;
  r.fields = data.fields;
  r.features = data.features.size();
  r.skippedParts = data.skippedParts;
  r.sourceCrs = data.sourceCrs;
  double maxAbsLat = 0;
  const std::vector<Box> boxes = PartBoxes(data, maxAbsLat);
  if (o.cellSize) {
    if (!IsValidCellSize(*o.cellSize))
      throw StoreError(StoreFault::BadValue,
                       "cell size " + std::to_string(*o.cellSize) + " is not above 0");
    r.cellSize = *o.cellSize;
    r.maxElementsInCell = MaxElementsPerCell(boxes, r.cellSize);
  } else {
    const CellSizeChoice c = ChooseCellSize(boxes, GoalForZoom(o.zoomMax, projection, maxAbsLat));
    r.cellSize = c.size;
    r.cellsPerView = c.cellsPerView;
    r.maxElementsInCell = c.maxElementsInCell;
    r.goalsMet = c.goalsMet;
  }

  NewLayer layer;
  layer.name = o.layerName;
  layer.kind = data.kind;
  layer.cellWidth = layer.cellHeight = r.cellSize;
  layer.fields = data.fields;
  store.Transaction([&] {
    r.layerId = store.CreateLayer(layer);
    for (const SourceFeature& f : data.features)
      for (const auto& part : f.parts) {
        store.AddElementTyped(r.layerId, part, f.values);
        ++r.elements;
      }
    if (o.mapCode) {
      LayerRecord setup;
      setup.id = r.layerId;
      setup.zoomMin = o.zoomMin;
      setup.zoomMax = o.zoomMax;
      store.AddLayerToMap(*o.mapCode, setup);
    }
  });
  return r;
}

}  // namespace orvenda::server
