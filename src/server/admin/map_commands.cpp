// map create|add-layer|list and layer list|set.
#include <ostream>

#include "admin/admin_commands.h"
#include "admin/arguments.h"
#include "admin/layer_setup_options.h"
#include "store/setup_rules.h"

namespace orvenda::server {
namespace {

std::set<std::string> WithDb(std::set<std::string> s) {
  s.insert("db");
  return s;
}

int MapCreate(const Arguments& a, CommandIo& io) {
  MapDefinition m;
  m.code =
      static_cast<std::int32_t>(ParseInteger(a.Word(1, "map code"), "map code", 0, 0x7FFFFFFF));
  m.name = a.Word(2, "map name");
  a.ExpectWords(3);
  m.extents = {-180, -90, 180, 90};
  if (auto v = a.Value("extent")) {
    const auto p = SplitList(*v, 4, "extent (MINX,MINY,MAXX,MAXY)");
    m.extents = {ParseNumber(p[0], "extent"), ParseNumber(p[1], "extent"),
                 ParseNumber(p[2], "extent"), ParseNumber(p[3], "extent")};
    if (m.extents.minX >= m.extents.maxX || m.extents.minY >= m.extents.maxY ||
        m.extents.minX < -180 || m.extents.maxX > 180 || m.extents.minY < -90 ||
        m.extents.maxY > 90)
      throw CommandError(kExitInvalid, "extent must lie in -180,-90,180,90 with MIN < MAX");
  }
  if (auto v = a.Value("background")) m.backgroundColor = ParseColor(*v, "background colour");
  if (auto v = a.Value("projection")) {
    const auto p = ParseInteger(*v, "projection", 0, 160);
    if (!IsValidProjection(p))
      throw CommandError(kExitInvalid,
                         "projection must be 0 (latitude/longitude), 1 (Albers) or 100 + UTM zone");
    m.projection = static_cast<std::int16_t>(p);
  }
  auto store = OpenDatabase(a);
  if (store->FindMapDefinition(m.code))
    throw CommandError(kExitInvalid, "map " + std::to_string(m.code) + " already exists");
  store->CreateMap(m);
  io.out << "map " << m.code << " '" << m.name << "' created\n";
  return kExitOk;
}

int MapAddLayer(const Arguments& a, CommandIo& io) {
  auto store = OpenDatabase(a);
  const MapDefinition map = ResolveMap(*store, a.Word(1, "map code"));
  const LayerInfo layer = ResolveLayer(*store, a.Word(2, "layer"));
  a.ExpectWords(3);
  for (const LayerRecord& l : map.layers)
    if (l.id == layer.id)
      throw CommandError(
          kExitInvalid, "layer '" + layer.name + "' is already in map " + std::to_string(map.code));
  LayerRecord setup;
  setup.id = layer.id;
  setup.zoomMax = 1e37f;
  ApplySetupOptions(a, layer, setup);
  store->AddLayerToMap(map.code, setup);
  io.out << "layer '" << layer.name << "' added to map " << map.code << "\n";
  return kExitOk;
}

int MapList(const Arguments& a, CommandIo& io) {
  a.ExpectWords(1);
  auto store = OpenDatabase(a);
  for (const MapSummary& s : store->ListMaps()) {
    const auto m = store->FindMapDefinition(s.code);
    io.out << m->code << "\t" << m->name << "\tprojection " << m->projection << "\t"
           << m->layers.size() << " layer(s):";
    for (const LayerRecord& l : m->layers) io.out << " " << l.name;
    io.out << "\n";
  }
  return kExitOk;
}

int LayerList(const Arguments& a, CommandIo& io) {
  a.ExpectWords(1);
  auto store = OpenDatabase(a);
  for (const LayerInfo& l : store->ListLayers()) {
    io.out << l.id << "\t" << l.name << "\tkind " << static_cast<int>(l.kind) << "\tcell "
           << l.grid.cellWidth << "\t" << l.elementCount << " element(s)\tfields:";
    for (const FieldDef& f : l.fields) io.out << " " << f.name << "(" << f.type << ")";
    io.out << "\n";
  }
  return kExitOk;
}

int LayerSet(const Arguments& a, CommandIo& io) {
  auto store = OpenDatabase(a);
  const MapDefinition map = ResolveMap(*store, a.Word(1, "map code"));
  const LayerInfo layer = ResolveLayer(*store, a.Word(2, "layer"));
  a.ExpectWords(3);
  for (LayerRecord setup : map.layers) {
    if (setup.id != layer.id) continue;
    ApplySetupOptions(a, layer, setup);
    store->UpdateLayerSetup(map.code, setup);
    io.out << "layer '" << layer.name << "' of map " << map.code << " updated\n";
    return kExitOk;
  }
  throw CommandError(kExitNotFound,
                     "layer '" + layer.name + "' is not in map " + std::to_string(map.code));
}

}  // namespace

LayerInfo ResolveLayer(Store& store, const std::string& nameOrId) {
  if (auto l = store.FindLayer(nameOrId)) return *l;
  if (!nameOrId.empty() && nameOrId.find_first_not_of("0123456789") == std::string::npos &&
      nameOrId.size() < 10)
    if (auto l = store.FindLayerInfo(std::stoi(nameOrId))) return *l;
  throw CommandError(kExitNotFound, "unknown layer '" + nameOrId + "'");
}

MapDefinition ResolveMap(Store& store, const std::string& code) {
  const auto c = ParseInteger(code, "map code", 0, 0x7FFFFFFF);
  auto m = store.FindMapDefinition(static_cast<std::int32_t>(c));
  if (!m) throw CommandError(kExitNotFound, "unknown map " + code);
  return *m;
}

int RunMapCommand(const std::vector<std::string>& args, CommandIo& io) {
  std::set<std::string> valued = WithDb(SetupValuedOptions());
  valued.insert({"extent", "background", "projection"});
  const Arguments a(args, valued, SetupFlagOptions());
  const std::string& verb = a.Word(0, "map command (create, add-layer, list)");
  if (verb == "create") return MapCreate(a, io);
  if (verb == "add-layer") return MapAddLayer(a, io);
  if (verb == "list") return MapList(a, io);
  throw CommandError(kExitUsage, "unknown map command '" + verb + "'");
}

int RunLayerCommand(const std::vector<std::string>& args, CommandIo& io) {
  const Arguments a(args, WithDb(SetupValuedOptions()), SetupFlagOptions());
  const std::string& verb = a.Word(0, "layer command (list, set)");
  if (verb == "list") return LayerList(a, io);
  if (verb == "set") return LayerSet(a, io);
  throw CommandError(kExitUsage, "unknown layer command '" + verb + "'");
}

}  // namespace orvenda::server
