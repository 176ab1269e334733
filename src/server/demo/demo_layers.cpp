#include "demo/demo_layers.h"

#include <ostream>

namespace orvenda::server {
namespace {

constexpr std::int32_t Rgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }
constexpr float kNoLimit = 1e37f;
constexpr std::int16_t kSolid = 0, kTransparent = 1, kNoOutline = 5;

ThemeClass Range(const char* lo, const char* hi, std::int32_t colour, std::int16_t width) {
  return {lo, hi, {colour, kSolid, width, colour, kSolid}};
}

ThemeClass ThemeOfValue(const std::string& v, std::int32_t line, std::int16_t width,
                        std::int32_t fill) {
  return {v, "", {line, kSolid, width, fill, kSolid}};
}

// A colour wheel for classes that are only told apart (states).
std::int32_t PaletteColour(std::size_t i) {
  static const std::int32_t colours[] = {
      Rgb(141, 211, 199), Rgb(255, 255, 179), Rgb(190, 186, 218), Rgb(251, 128, 114),
      Rgb(128, 177, 211), Rgb(253, 180, 98),  Rgb(179, 222, 105), Rgb(252, 205, 229),
      Rgb(217, 217, 217), Rgb(188, 128, 189), Rgb(204, 235, 197), Rgb(255, 237, 111)};
  return colours[i % std::size(colours)];
}

}  // namespace

void DemoBuilder::Report(const std::string& name, const ImportReport& r) {
  log_ << "  " << name << ": " << r.elements << " elements, cell " << r.cellSize
       << " degrees, at most " << r.maxElementsInCell << " per cell";
  if (r.cellsPerView) log_ << ", " << r.cellsPerView << " cells per largest view";
  log_ << (r.goalsMet ? "" : " (too dense for its zoom range)") << "\n";
  for (const ImportedLevel& l : r.levels)
    log_ << "    " << l.name << ": zoom " << l.zoomMin << " to " << l.zoomMax << ", " << l.vertices
         << " of " << r.vertices << " vertices\n";
}

void DemoBuilder::SetUp(std::int32_t map, std::int32_t layer,
                        const std::function<void(LayerRecord&)>& setup) {
  const MapDefinition def = store_.FindMapDefinition(map).value();
  for (LayerRecord r : def.layers)
    if (r.id == layer) {
      setup(r);
      store_.UpdateLayerSetup(map, r);
    }
}

std::int32_t DemoBuilder::Add(ImportOptions o, std::int32_t map,
                              const std::function<void(LayerRecord&)>& setup) {
  o.mapCode = map;
  const ImportReport r = ImportLayer(store_, o);
  Report(o.layerName, r);
  SetUp(map, r.layerId, setup);
  for (const ImportedLevel& l : r.levels) SetUp(map, l.layerId, setup);
  return r.layerId;
}

std::int32_t DemoBuilder::AddGenerated(const std::string& name, const SourceData& data,
                                       std::int32_t map, float zoomMax,
                                       const std::function<void(LayerRecord&)>& setup) {
  ImportOptions o;
  o.layerName = name;
  o.zoomMax = zoomMax;
  o.mapCode = map;
  const ImportReport r = ImportData(store_, data, o);
  Report(name, r);
  SetUp(map, r.layerId, setup);
  return r.layerId;
}

void DemoBuilder::WorldMap() {
  log_ << "World (code 0, latitude/longitude)\n";
  store_.CreateMap({0, "World", {-180, -90, 180, 90}, Rgb(198, 226, 255), 0, {}});
  const auto atlas = cache_ / "node_modules" / "world-atlas";
  ImportOptions land;
  land.source = atlas / "land-50m.json";
  land.read.layer = "land";
  land.read.splitAtAntimeridian = true;  // drawn on the sphere by d3
  land.layerName = "Land";
  land.levels = true;  // the whole world in a few vertices a pixel
  Add(land, 0, [](LayerRecord& r) {
    r.style = {Rgb(150, 150, 130), kSolid, 1, Rgb(245, 240, 220), kSolid};
  });
  ImportOptions countries;
  countries.source = atlas / "countries-50m.json";
  countries.read.layer = "countries";
  countries.read.splitAtAntimeridian = true;  // drawn on the sphere by d3
  countries.layerName = "Countries";
  countries.levels = true;
  Add(countries, 0, [](LayerRecord& r) {
    r.style = {Rgb(120, 120, 120), kSolid, 1, Rgb(245, 240, 220), kTransparent};
    r.labelField = "name";
    r.labelZoomMax = 0.07f;  // views up to 70 degrees high
    r.userLabelVisibility = 1;
    r.labelColor = Rgb(90, 60, 30);
  });
  ImportOptions major;
  major.source = cache_ / "cities.geojson";
  major.read.where = "population >= 1000000";
  major.layerName = "Major cities";
  Add(major, 0, [](LayerRecord& r) {
    r.style = {Rgb(200, 0, 0), kSolid, 4, Rgb(200, 0, 0), kSolid};
    r.labelField = "name";
    r.labelZoomMax = 0.05f;
    r.userLabelVisibility = 1;
    r.labelBold = true;
  });
  // Every city of GeoNames, seen from views up to 10 degrees high and classified by
  // population.
  ImportOptions cities;
  cities.source = cache_ / "cities.geojson";
  cities.layerName = "Cities";
  cities.zoomMax = 0.01f;
  citiesLayer_ = Add(cities, 0, [](LayerRecord& r) {
    r.labelField = "name";
    r.labelZoomMax = 0.004f;
    r.userLabelVisibility = 1;
    r.thematicField = "population";
    r.thematicType = 2;
    r.themes = {Range("0", "99999", Rgb(120, 120, 120), 2),
                Range("100000", "999999", Rgb(230, 120, 0), 3),
                Range("1000000", "100000000", Rgb(200, 0, 0), 4)};
  });
}

void DemoBuilder::UnitedStatesMap() {
  log_ << "United States (code 1, Albers)\n";
  store_.CreateMap({1, "United States", {-125, 24, -66, 50}, Rgb(220, 235, 250), 1, {}});
  const auto atlas = cache_ / "node_modules" / "us-atlas";
  ImportOptions states;
  states.source = atlas / "states-10m.json";
  states.read.layer = "states";
  states.read.splitAtAntimeridian = true;  // drawn on the sphere by d3
  states.layerName = "States";
  Add(states, 1, [](LayerRecord& r) {
    r.style = {Rgb(60, 60, 60), kSolid, 2, Rgb(250, 250, 240), kSolid};
    r.labelField = "name";
    r.labelZoomMax = 3000;  // views up to 3,000 km high
    r.userLabelVisibility = 1;
    r.labelBold = true;
  });
  // Counties carry the code of their state (the first two digits of their FIPS code)
  // and are coloured by it.
  ImportOptions counties;
  counties.source = atlas / "counties-10m.json";
  counties.read.layer = "counties";
  counties.read.splitAtAntimeridian = true;  // drawn on the sphere by d3
  counties.layerName = "Counties";
  counties.zoomMax = 2500;
  counties.derived.push_back({{"STATE", 202}, [](const auto& fields, const auto& values) -> Value {
                                for (std::size_t i = 0; i < fields.size(); ++i)
                                  if (fields[i].name == "id")
                                    if (const auto* s = std::get_if<std::string>(&values[i]))
                                      return s->substr(0, 2);
                                return std::monostate{};
                              }});
  const auto countiesLayer = Add(counties, 1, [](LayerRecord& r) {
    r.style = {Rgb(150, 150, 150), kSolid, 1, Rgb(250, 250, 240), kSolid};
    r.labelField = "name";
    r.labelZoomMax = 600;
    r.userLabelVisibility = 1;
  });
  const auto codes = store_.DistinctValues(countiesLayer, "STATE", 100).value();
  SetUp(1, countiesLayer, [&](LayerRecord& r) {
    r.thematicField = "STATE";
    r.thematicType = 1;
    for (std::size_t i = 0; i < codes.size(); ++i)
      r.themes.push_back(ThemeOfValue(codes[i], Rgb(150, 150, 150), 1, PaletteColour(i)));
  });
  ImportOptions cities;
  cities.source = cache_ / "cities.geojson";
  cities.read.where = "country = 'US' AND population >= 50000";
  cities.layerName = "US cities";
  Add(cities, 1, [](LayerRecord& r) {
    r.style = {Rgb(0, 0, 160), kSolid, 3, Rgb(0, 0, 160), kSolid};
    r.labelField = "name";
    r.labelZoomMax = 1200;
    r.userLabelVisibility = 1;
  });
}

void DemoBuilder::CityMap(const GeneratedCity& c) {
  log_ << "Monterrey (code 114, UTM zone 14)\n";
  store_.CreateMap(
      {114, "Monterrey", {-100.38, 25.64, -100.24, 25.71}, Rgb(242, 239, 233), 114, {}});
  AddGenerated("Colonias", c.neighbourhoods, 114, kNoLimit, [](LayerRecord& r) {
    r.style = {Rgb(160, 120, 160), 2, 2, Rgb(0, 0, 0), kTransparent};
    r.labelField = "NOMBRE";
    r.labelZoomMax = 9;  // views up to 9 km high
    r.userLabelVisibility = 1;
    r.labelBold = true;
    r.labelColor = Rgb(120, 60, 120);
  });
  AddGenerated("Manzanas", c.blocks, 114, 6, [](LayerRecord& r) {
    r.style = {Rgb(200, 200, 200), kNoOutline, 1, Rgb(235, 230, 220), kSolid};
    r.thematicField = "USO";
    r.thematicType = 1;
    r.themes = {ThemeOfValue("Habitacional", Rgb(210, 205, 195), 1, Rgb(235, 230, 220)),
                ThemeOfValue("Comercial", Rgb(230, 180, 150), 1, Rgb(250, 215, 190)),
                ThemeOfValue("Industrial", Rgb(170, 160, 190), 1, Rgb(215, 205, 230)),
                ThemeOfValue("Parque", Rgb(120, 180, 110), 1, Rgb(190, 230, 170)),
                ThemeOfValue("Escolar", Rgb(210, 190, 110), 1, Rgb(245, 230, 170))};
  });
  AddGenerated("Calles", c.streets, 114, 8, [](LayerRecord& r) {
    r.style = {Rgb(255, 255, 255), kSolid, 2, Rgb(255, 255, 255), kSolid};
    r.labelField = "NOMBRE";
    r.labelZoomMax = 2.5f;
    r.userLabelVisibility = 1;
    r.thematicField = "TIPO";
    r.thematicType = 1;
    r.themes = {ThemeOfValue("Avenida", Rgb(250, 200, 80), 5, Rgb(250, 200, 80)),
                ThemeOfValue("Calle", Rgb(255, 255, 255), 2, Rgb(255, 255, 255))};
  });
  AddGenerated("Lugares", c.places, 114, 4, [](LayerRecord& r) {
    r.style = {Rgb(0, 110, 180), kSolid, 4, Rgb(0, 110, 180), kSolid};
    r.labelField = "NOMBRE";
    r.labelZoomMax = 1.2f;
    r.userLabelVisibility = 1;
    r.thematicField = "CATEGORIA";
    r.thematicType = 1;
    r.themes = {ThemeOfValue("Escuela", Rgb(0, 120, 0), 4, Rgb(0, 120, 0)),
                ThemeOfValue("Hospital", Rgb(200, 0, 0), 5, Rgb(200, 0, 0)),
                ThemeOfValue("Farmacia", Rgb(0, 150, 150), 3, Rgb(0, 150, 150))};
  });
  // The real cities around, from the world layer; its 2.5 degree cells suit views of a
  // few hundred kilometres, not the whole world.
  LayerRecord cities;
  cities.id = citiesLayer_;
  cities.zoomMax = 400;
  cities.style = {Rgb(90, 90, 90), kSolid, 3, Rgb(90, 90, 90), kSolid};
  cities.labelField = "name";
  cities.labelZoomMax = 40;
  cities.userLabelVisibility = 1;
  store_.AddLayerToMap(114, cities);
}

}  // namespace orvenda::server
