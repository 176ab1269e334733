// map create|add-layer|list and layer list|set.
#include <ostream>

#include "admin/admin_commands.h"
#include "admin/arguments.h"
#include "admin/layer_setup_options.h"

namespace orvenda::server {
namespace {

std::set<std::string> withDb(std::set<std::string> s) {
  s.insert("db");
  return s;
}

bool validProjection(std::int64_t p) {
  return p == 0 || p == 1 || (p >= 40 && p <= 160 && p != 100);
}

int mapCreate(const Arguments& a, CommandIo& io) {
  MapDefinition m;
  m.code =
      static_cast<std::int32_t>(parseInteger(a.word(1, "map code"), "map code", 0, 0x7FFFFFFF));
  m.name = a.word(2, "map name");
  a.expectWords(3);
  m.extents = {-180, -90, 180, 90};
  if (auto v = a.value("extent")) {
    const auto p = splitList(*v, 4, "extent (MINX,MINY,MAXX,MAXY)");
    m.extents = {parseNumber(p[0], "extent"), parseNumber(p[1], "extent"),
                 parseNumber(p[2], "extent"), parseNumber(p[3], "extent")};
    if (m.extents.minX >= m.extents.maxX || m.extents.minY >= m.extents.maxY ||
        m.extents.minX < -180 || m.extents.maxX > 180 || m.extents.minY < -90 ||
        m.extents.maxY > 90)
      throw CommandError(kExitInvalid, "extent must lie in -180,-90,180,90 with MIN < MAX");
  }
  if (auto v = a.value("background")) m.backgroundColor = parseColor(*v, "background colour");
  if (auto v = a.value("projection")) {
    const auto p = parseInteger(*v, "projection", 0, 160);
    if (!validProjection(p))
      throw CommandError(kExitInvalid,
                         "projection must be 0 (latitude/longitude), 1 (Albers) or 100 + UTM zone");
    m.projection = static_cast<std::int16_t>(p);
  }
  auto store = openDatabase(a);
  if (store->mapDefinition(m.code))
    throw CommandError(kExitInvalid, "map " + std::to_string(m.code) + " already exists");
  store->createMap(m);
  io.out << "map " << m.code << " '" << m.name << "' created\n";
  return kExitOk;
}

int mapAddLayer(const Arguments& a, CommandIo& io) {
  auto store = openDatabase(a);
  const MapDefinition map = resolveMap(*store, a.word(1, "map code"));
  const LayerInfo layer = resolveLayer(*store, a.word(2, "layer"));
  a.expectWords(3);
  for (const LayerRecord& l : map.layers)
    if (l.id == layer.id)
      throw CommandError(
          kExitInvalid, "layer '" + layer.name + "' is already in map " + std::to_string(map.code));
  LayerRecord setup;
  setup.id = layer.id;
  setup.zoomMax = 1e37f;
  applySetupOptions(a, layer, setup);
  store->addLayerToMap(map.code, setup);
  io.out << "layer '" << layer.name << "' added to map " << map.code << "\n";
  return kExitOk;
}

int mapList(const Arguments& a, CommandIo& io) {
  a.expectWords(1);
  auto store = openDatabase(a);
  for (const MapSummary& s : store->listMaps()) {
    const auto m = store->mapDefinition(s.code);
    io.out << m->code << "\t" << m->name << "\tprojection " << m->projection << "\t"
           << m->layers.size() << " layer(s):";
    for (const LayerRecord& l : m->layers) io.out << " " << l.name;
    io.out << "\n";
  }
  return kExitOk;
}

int layerList(const Arguments& a, CommandIo& io) {
  a.expectWords(1);
  auto store = openDatabase(a);
  for (const LayerInfo& l : store->listLayers()) {
    io.out << l.id << "\t" << l.name << "\tkind " << static_cast<int>(l.kind) << "\tcell "
           << l.grid.cellWidth << "\t" << l.elementCount << " element(s)\tfields:";
    for (const FieldDef& f : l.fields) io.out << " " << f.name << "(" << f.type << ")";
    io.out << "\n";
  }
  return kExitOk;
}

int layerSet(const Arguments& a, CommandIo& io) {
  auto store = openDatabase(a);
  const MapDefinition map = resolveMap(*store, a.word(1, "map code"));
  const LayerInfo layer = resolveLayer(*store, a.word(2, "layer"));
  a.expectWords(3);
  for (LayerRecord setup : map.layers) {
    if (setup.id != layer.id) continue;
    applySetupOptions(a, layer, setup);
    store->updateLayerSetup(map.code, setup);
    io.out << "layer '" << layer.name << "' of map " << map.code << " updated\n";
    return kExitOk;
  }
  throw CommandError(kExitNotFound,
                     "layer '" + layer.name + "' is not in map " + std::to_string(map.code));
}

}  // namespace

LayerInfo resolveLayer(Store& store, const std::string& nameOrId) {
  if (auto l = store.findLayer(nameOrId)) return *l;
  if (!nameOrId.empty() && nameOrId.find_first_not_of("0123456789") == std::string::npos &&
      nameOrId.size() < 10)
    if (auto l = store.layerInfo(std::stoi(nameOrId))) return *l;
  throw CommandError(kExitNotFound, "unknown layer '" + nameOrId + "'");
}

MapDefinition resolveMap(Store& store, const std::string& code) {
  const auto c = parseInteger(code, "map code", 0, 0x7FFFFFFF);
  auto m = store.mapDefinition(static_cast<std::int32_t>(c));
  if (!m) throw CommandError(kExitNotFound, "unknown map " + code);
  return *m;
}

int runMapCommand(const std::vector<std::string>& args, CommandIo& io) {
  std::set<std::string> valued = withDb(setupValuedOptions());
  valued.insert({"extent", "background", "projection"});
  const Arguments a(args, valued, setupFlagOptions());
  const std::string& verb = a.word(0, "map command (create, add-layer, list)");
  if (verb == "create") return mapCreate(a, io);
  if (verb == "add-layer") return mapAddLayer(a, io);
  if (verb == "list") return mapList(a, io);
  throw CommandError(kExitUsage, "unknown map command '" + verb + "'");
}

int runLayerCommand(const std::vector<std::string>& args, CommandIo& io) {
  const Arguments a(args, withDb(setupValuedOptions()), setupFlagOptions());
  const std::string& verb = a.word(0, "layer command (list, set)");
  if (verb == "list") return layerList(a, io);
  if (verb == "set") return layerSet(a, io);
  throw CommandError(kExitUsage, "unknown layer command '" + verb + "'");
}

}  // namespace orvenda::server
