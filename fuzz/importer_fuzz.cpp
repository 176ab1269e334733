// The importer on a small arbitrary GeoJSON file, read by GDAL from memory into a fresh
// database. A source it cannot take is refused with a StoreError; anything else that
// escapes, and any crash, is a finding. Inputs of odd length are cut at the antimeridian.
#include <cpl_vsi.h>

#include "fuzz.h"
#include "import/importer.h"

using namespace orvenda::server;

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
    orvenda::fuzz::Require(report.elements > 0, "an import stores at least one element");
  } catch (const StoreError&) {
  }
  VSIUnlink(path);
  return 0;
}
