#include "import/importer.h"

#include <algorithm>
#include <cmath>

#include "import/cell_size.h"
#include "model/gridrule.h"
#include "store/grid.h"

namespace orvenda::server {
namespace {

void addDerived(SourceData& data, const std::vector<DerivedField>& derived) {
  const std::vector<FieldDef> sourceFields = data.fields;
  for (const DerivedField& d : derived) data.fields.push_back(d.field);
  for (SourceFeature& f : data.features) {
    const std::vector<Value> own = f.values;
    for (const DerivedField& d : derived) f.values.push_back(d.compute(sourceFields, own));
  }
}

std::vector<Box> partBoxes(const SourceData& data, double& maxAbsLat) {
  std::vector<Box> boxes;
  maxAbsLat = 0;
  for (const SourceFeature& f : data.features)
    for (const auto& part : f.parts) {
      boxes.push_back(boxOf(part));
      maxAbsLat = std::max({maxAbsLat, std::fabs(boxes.back().minY), std::fabs(boxes.back().maxY)});
    }
  return boxes;
}

}  // namespace

ImportReport importLayer(Store& store, const ImportOptions& o) {
  if (o.mapCode && !store.mapDefinition(*o.mapCode))
    throw StoreError(StoreFault::UnknownRecord, "unknown map " + std::to_string(*o.mapCode));
  ImportOptions named = o;
  if (named.layerName.empty()) named.layerName = o.source.stem().string();
  return importData(store, readSource(o.source, o.read), named);
}

ImportReport importData(Store& store, SourceData data, const ImportOptions& o) {
  std::int16_t projection = 0;
  if (o.mapCode) {
    auto map = store.mapDefinition(*o.mapCode);
    if (!map)
      throw StoreError(StoreFault::UnknownRecord, "unknown map " + std::to_string(*o.mapCode));
    projection = map->projection;
  }
  addDerived(data, o.derived);

  ImportReport r;
  r.kind = data.kind;
  r.fields = data.fields;
  r.features = data.features.size();
  r.skippedParts = data.skippedParts;
  r.sourceCrs = data.sourceCrs;
  double maxAbsLat = 0;
  const std::vector<Box> boxes = partBoxes(data, maxAbsLat);
  if (o.cellSize) {
    if (!IsValidCellSize(*o.cellSize))
      throw StoreError(StoreFault::BadValue,
                       "cell size " + std::to_string(*o.cellSize) + " is not above 0");
    r.cellSize = *o.cellSize;
    r.maxElementsInCell = maxElementsPerCell(boxes, r.cellSize);
  } else {
    const CellSizeChoice c = chooseCellSize(boxes, goalForZoom(o.zoomMax, projection, maxAbsLat));
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
  store.transaction([&] {
    r.layerId = store.createLayer(layer);
    for (const SourceFeature& f : data.features)
      for (const auto& part : f.parts) {
        store.addElementTyped(r.layerId, part, f.values);
        ++r.elements;
      }
    if (o.mapCode) {
      LayerRecord setup;
      setup.id = r.layerId;
      setup.zoomMin = o.zoomMin;
      setup.zoomMax = o.zoomMax;
      store.addLayerToMap(*o.mapCode, setup);
    }
  });
  return r;
}

}  // namespace orvenda::server
