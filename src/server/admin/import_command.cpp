// import SOURCE --db PATH [--layer-name N] [--source-layer L] [--source-crs CRS]
//        [--cell-size DEGREES] [--zoom MIN,MAX] [--map CODE] [--where FILTER]
//        [--split-antimeridian] [--levels]
#include <ostream>

#include "admin/admin_commands.h"
#include "admin/arguments.h"
#include "import/importer.h"
#include "model/gridrule.h"

namespace orvenda::server {

int RunImportCommand(const std::vector<std::string>& args, CommandIo& io) {
  const Arguments a(
      args, {"db", "layer-name", "source-layer", "source-crs", "cell-size", "zoom", "map", "where"},
      {"split-antimeridian", "levels"});
  ImportOptions o;
  o.source = a.Word(0, "source file");
  a.ExpectWords(1);
  o.layerName = a.Value("layer-name").value_or("");
  o.read.layer = a.Value("source-layer").value_or("");
  o.read.sourceCrs = a.Value("source-crs").value_or("");
  o.read.where = a.Value("where").value_or("");
  o.read.splitAtAntimeridian = a.Flag("split-antimeridian");
  o.levels = a.Flag("levels");
  if (auto v = a.Value("cell-size")) {
    // Checked as the layer will hold it: 1e-50 is 0 as a float.
    const auto size = static_cast<float>(ParseNumber(*v, "cell size"));
    if (!IsValidCellSize(size) || size > 180)
      throw CommandError(kExitInvalid, "cell size must be above 0 and at most 180");
    o.cellSize = size;
  }
  if (auto v = a.Value("zoom")) {
    const auto p = SplitList(*v, 2, "zoom (MIN,MAX)");
    const double lo = ParseNumber(p[0], "zoom"), hi = ParseNumber(p[1], "zoom");
    if (lo < 0 || hi < lo || hi > 1e37)
      throw CommandError(kExitInvalid, "zoom must be MIN,MAX with 0 <= MIN <= MAX");
    o.zoomMin = static_cast<float>(lo);
    o.zoomMax = static_cast<float>(hi);
  }
  if (o.levels && !a.Value("map"))
    throw CommandError(kExitUsage, "--levels needs --map: the levels are layers of a map");
  auto store = OpenDatabase(a);
  if (auto v = a.Value("map")) o.mapCode = ResolveMap(*store, *v).code;
  const std::string name = o.layerName.empty() ? o.source.stem().string() : o.layerName;
  if (store->FindLayer(name))
    throw CommandError(kExitInvalid, "layer '" + name + "' already exists (use --layer-name)");
  const ImportReport r = ImportLayer(*store, o);
  io.out << "layer " << r.layerId << " '" << name << "': " << r.features << " feature(s), "
         << r.elements << " element(s), kind " << static_cast<int>(r.kind) << ", cell "
         << r.cellSize << " degrees, at most " << r.maxElementsInCell << " element(s) per cell";
  if (r.cellsPerView) io.out << ", " << r.cellsPerView << " cell(s) per largest view";
  io.out << "\n";
  if (o.levels) {
    io.out << "  zoom " << o.zoomMin << " to " << r.zoomMax << ": " << r.vertices << " vertices\n";
    for (const ImportedLevel& l : r.levels)
      io.out << "layer " << l.layerId << " '" << l.name << "': zoom " << l.zoomMin << " to "
             << l.zoomMax << ", " << l.vertices << " vertices, within " << l.tolerance
             << " degrees\n";
    if (r.levels.empty()) io.out << "no level of detail would save half the vertices\n";
  }
  if (!r.sourceCrs.empty()) io.out << "reprojected from " << r.sourceCrs << "\n";
  if (r.skippedParts)
    io.out << r.skippedParts << " part(s) of another kind or out of range left out\n";
  if (!r.goalsMet)
    io.err << "warning: the layer is too dense for its largest view; lower its zoom "
              "maximum so that fewer cells are requested per view\n";
  return kExitOk;
}

}  // namespace orvenda::server
