// The importer on a small arbitrary GeoJSON file, read by GDAL from memory into a fresh
// database. A source it cannot take is refused with a StoreError; anything else that
// escapes, and any crash, is a finding. What it stores is what it reports, in longitude
// and latitude. Inputs of odd length are cut at the antimeridian.
#include <cpl_vsi.h>

#include "fuzz.h"
#include "import/importer.h"

using namespace orvenda::server;
using orvenda::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  const char* path = "/vsimem/fuzz.geojson";
  // GDAL reads the input where it is, without a copy.
  VSIFCloseL(VSIFileFromMemBuffer(path, const_cast<GByte*>(data), size, FALSE));
  const auto store = OpenStore(":memory:");
  ImportOptions options;
  options.source = path;
  options.read.splitAtAntimeridian = size % 2 == 1;
  try {
    const ImportReport report = ImportLayer(*store, options);
    const auto info = store->FindLayerInfo(report.layerId);
    Require(report.elements > 0 && info &&
                info->elementCount == static_cast<std::int64_t>(report.elements),
            "an import stores the elements it reports, one at least");
    for (std::int32_t id = 1; id <= info->elementCount; ++id) {
      const auto box = store->ElementExtent(report.layerId, id);
      Require(box && box->minX >= -180 && box->maxX <= 180 && box->minX <= box->maxX &&
                  box->minY >= -90 && box->maxY <= 90 && box->minY <= box->maxY,
              "every element lies in longitude and latitude");
    }
  } catch (const StoreError&) {
  }
  VSIUnlink(path);
  return 0;
}
