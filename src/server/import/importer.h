// Import of one vector layer into the store: read (ogr_source), choose the cell size
// (cell_size), create the layer, store every part as an element in one transaction,
// and optionally add the layer to a map.
#pragma once

#include <functional>
#include <optional>

#include "import/ogr_source.h"
#include "store/store.h"

namespace orvenda::server {

// A field computed from the source's own values (e.g. a state code cut from a
// county code); appended after the source's fields.
struct DerivedField {
  FieldDef field;
  std::function<Value(const std::vector<FieldDef>&, const std::vector<Value>&)> compute;
};

struct ImportOptions {
  std::filesystem::path source;
  SourceOptions read;
  std::string layerName;          // default: the source's file name without extension
  std::optional<float> cellSize;  // default: chosen from zoomMax and density
  float zoomMin = 0;
  float zoomMax = 1e37f;                // view height limit, thousands of map units
  std::optional<std::int32_t> mapCode;  // add the layer to this map
  std::vector<DerivedField> derived;
  // Generalised copies as further layers of the map (import/levels.h); needs mapCode.
  bool levels = false;
};

// One generalised copy added by an import with levels.
struct ImportedLevel {
  std::int32_t layerId = 0;
  std::string name;
  float zoomMin = 0, zoomMax = 0;
  double tolerance = 0;  // degrees
  std::size_t vertices = 0;
};

struct ImportReport {
  std::int32_t layerId = 0;
  LayerKind kind = LayerKind::Point;
  std::vector<FieldDef> fields;
  std::size_t features = 0;
  std::size_t elements = 0;
  std::size_t skippedParts = 0;
  float cellSize = 0;
  std::size_t cellsPerView = 0;
  std::size_t maxElementsInCell = 0;
  bool goalsMet = true;
  std::string sourceCrs;
  std::size_t vertices = 0;
  float zoomMax = 0;                  // of the original: lowered when copies take over
  std::vector<ImportedLevel> levels;  // coarsest first
};

// Throws StoreError (bad source, layer name taken, unknown map...); on error nothing
// is stored.
ImportReport ImportLayer(Store& store, const ImportOptions& options);

// The name of the generalised copy `n` (1 the finest) of a layer.
std::string LevelName(const std::string& layerName, std::size_t n);

// The same for data already in memory (generated demo layers); options.source and
// options.read are not used, and options.layerName is required.
ImportReport ImportData(Store& store, SourceData data, const ImportOptions& options);

}  // namespace orvenda::server
