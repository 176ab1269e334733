#include "import/importer.h"

#include <algorithm>
#include <cmath>

#include "import/cell_size.h"
#include "import/levels.h"
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

// The original and the copies worth keeping, each with its own band of zoom and its
// own cells (a coarse copy gets large cells, the original smaller ones than alone).
ImportReport ImportWithLevels(Store& store, const ImportOptions& o, std::int16_t projection) {
  std::vector<DetailLevel> plan;
  std::vector<SourceData> data = ReadSourceLevels(
      o.source, o.read,
      [&](const Box& extent) {
        plan = PlanLevels(o.zoomMin, o.zoomMax, extent, projection);
        std::vector<double> tolerances;
        for (const DetailLevel& l : plan) tolerances.push_back(l.tolerance);
        return tolerances;
      },
      LevelWorthKeeping);
  const std::size_t keep = data.size() - 1;
  ImportReport r;
  store.Transaction([&] {
    ImportOptions original = o;
    if (keep > 0) original.zoomMax = plan[keep - 1].zoomMin;
    r = ImportData(store, std::move(data[0]), original);
    for (std::size_t k = keep; k-- > 0;) {
      ImportOptions copy = o;
      copy.layerName = LevelName(o.layerName, keep - k);
      copy.zoomMin = plan[k].zoomMin;
      copy.zoomMax = plan[k].zoomMax;
      const std::size_t vertices = VertexCount(data[k + 1]);
      const ImportReport c = ImportData(store, std::move(data[k + 1]), copy);
      r.levels.insert(r.levels.begin(), {c.layerId, copy.layerName, copy.zoomMin, copy.zoomMax,
                                         plan[k].tolerance, vertices});
    }
  });
  return r;
}

}  // namespace

std::string LevelName(const std::string& layerName, std::size_t n) {
  return layerName + " (level " + std::to_string(n) + ")";
}

ImportReport ImportLayer(Store& store, const ImportOptions& o) {
  std::optional<MapDefinition> map;
  if (o.mapCode && !(map = store.FindMapDefinition(*o.mapCode)))
    throw StoreError(StoreFault::UnknownRecord, "unknown map " + std::to_string(*o.mapCode));
  ImportOptions named = o;
  if (named.layerName.empty()) named.layerName = o.source.stem().string();
  if (o.levels) {
    if (!map) throw StoreError(StoreFault::BadValue, "levels of detail need a map to sit in");
    return ImportWithLevels(store, named, map->projection);
  }
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
  r.vertices = VertexCount(data);
  r.zoomMax = o.zoomMax;
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
