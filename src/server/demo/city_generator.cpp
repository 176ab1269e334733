#include "demo/city_generator.h"

#include <ogr_spatialref.h>

#include <memory>
#include <random>
#include <string>

namespace orvenda::server {
namespace {

const char* const kAvenueNames[] = {
    "Constitución", "Hidalgo",   "Juárez", "Morelos",  "Madero",     "Zaragoza",   "Allende",
    "Guerrero",     "Matamoros", "Aldama", "Escobedo", "Padre Mier", "Washington", "Ocampo"};
const char* const kStreetNames[] = {"Abasolo",
                                    "Galeana",
                                    "Zuazua",
                                    "Villagrán",
                                    "Arteaga",
                                    "Corona",
                                    "Degollado",
                                    "Rayón",
                                    "Jiménez",
                                    "Garibaldi",
                                    "Colón",
                                    "Modesto Arreola",
                                    "Loreto",
                                    "Carranza",
                                    "Pino Suárez",
                                    "Cuauhtémoc",
                                    "Venustiano",
                                    "Emilio Carranza",
                                    "Naranjo",
                                    "Tapia",
                                    "Reforma",
                                    "Isaac Garza",
                                    "Ruperto Martínez",
                                    "Espinosa",
                                    "Serafín Peña"};
const char* const kNeighbourhoods[] = {
    "Centro",      "Obispado", "Mitras",     "Independencia", "Del Valle",     "Contry",
    "Anáhuac",     "Cumbres",  "Lindavista", "Roma",          "Vista Hermosa", "Chepevera",
    "Tecnológico", "Satélite", "Altavista",  "Buenos Aires",  "Moderna",       "Bella Vista"};
const char* const kUses[] = {"Habitacional", "Comercial", "Industrial", "Parque", "Escolar"};
const char* const kCategories[] = {"Escuela", "Hospital", "Farmacia", "Gasolinera",
                                   "Banco",   "Iglesia",  "Museo",    "Restaurante"};

template <std::size_t N>
std::string Pick(const char* const (&list)[N], int i) {
  const auto n = static_cast<int>(N);
  const std::string base = list[i % n];
  return i < n ? base : base + " " + std::to_string(i / n + 1);
}

class ToDegrees {
 public:
  explicit ToDegrees(int zone) {
    OGRSpatialReference utm, wgs84;
    utm.importFromEPSG(32600 + zone);
    wgs84.importFromEPSG(4326);
    utm.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    ct_.reset(OGRCreateCoordinateTransformation(&utm, &wgs84));
    if (!ct_) throw StoreError(StoreFault::StorageFailure, "no transformation from UTM to WGS 84");
  }
  Point operator()(double e, double n) const {
    double x = e, y = n;
    if (!ct_->Transform(1, &x, &y))
      throw StoreError(StoreFault::StorageFailure, "UTM transformation failed");
    return {x, y};
  }

 private:
  std::unique_ptr<OGRCoordinateTransformation> ct_;
};

std::vector<Point> Rectangle(const ToDegrees& deg, double e0, double n0, double e1, double n1) {
  return {deg(e0, n0), deg(e1, n0), deg(e1, n1), deg(e0, n1), deg(e0, n0)};
}

void AddStreets(const CityPlan& p, const ToDegrees& deg, SourceData& out) {
  out.kind = LayerKind::Polyline;
  out.fields = {{"NOMBRE", 202}, {"TIPO", 202}, {"NUMINI", 3}, {"NUMFIN", 3}, {"DIR", 2}};
  const int n = p.blocksPerSide;
  const double e0 = p.centreEasting - n * p.blockSize / 2;
  const double n0 = p.centreNorthing - n * p.blockSize / 2;
  // Lines 0..n in each direction; every tenth is a two-way avenue, the streets between
  // alternate their one-way direction.
  for (int vertical = 0; vertical < 2; ++vertical)
    for (int line = 0; line <= n; ++line) {
      const bool avenue = line % 10 == 0;
      const std::string name = avenue ? "Av. " + Pick(kAvenueNames, line / 10 + vertical * 7)
                                      : Pick(kStreetNames, line + vertical * 61);
      const std::int64_t dir = avenue ? 0 : (line % 2 ? 1 : -1);
      for (int seg = 0; seg < n; ++seg) {
        const double a = line * p.blockSize, b0 = seg * p.blockSize, b1 = b0 + p.blockSize;
        SourceFeature f;
        f.parts.push_back(vertical
                              ? std::vector<Point>{deg(e0 + a, n0 + b0), deg(e0 + a, n0 + b1)}
                              : std::vector<Point>{deg(e0 + b0, n0 + a), deg(e0 + b1, n0 + a)});
        f.values = {name, std::string(avenue ? "Avenida" : "Calle"), std::int64_t{100 * seg + 1},
                    std::int64_t{100 * seg + 99}, dir};
        out.features.push_back(std::move(f));
      }
    }
}

void AddBlocks(const CityPlan& p, const ToDegrees& deg, std::mt19937& rng, GeneratedCity& c) {
  c.blocks.kind = c.neighbourhoods.kind = LayerKind::Polygon;
  c.blocks.fields = {{"CLAVE", 202}, {"USO", 202}, {"COLONIA", 202}};
  c.neighbourhoods.fields = {{"NOMBRE", 202}};
  const int n = p.blocksPerSide, k = p.blocksPerNeighbourhood;
  const double e0 = p.centreEasting - n * p.blockSize / 2;
  const double n0 = p.centreNorthing - n * p.blockSize / 2;
  const double inset = 8;  // half a street's width
  std::discrete_distribution<int> use({70, 15, 5, 6, 4});
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      const std::string colonia = Pick(kNeighbourhoods, (i / k) * ((n + k - 1) / k) + j / k);
      SourceFeature f;
      f.parts.push_back(Rectangle(deg, e0 + i * p.blockSize + inset, n0 + j * p.blockSize + inset,
                                  e0 + (i + 1) * p.blockSize - inset,
                                  n0 + (j + 1) * p.blockSize - inset));
      f.values = {std::to_string(i * 1000 + j), std::string(kUses[use(rng)]), colonia};
      c.blocks.features.push_back(std::move(f));
    }
  for (int i = 0; i < n; i += k)
    for (int j = 0; j < n; j += k) {
      SourceFeature f;
      f.parts.push_back(Rectangle(deg, e0 + i * p.blockSize, n0 + j * p.blockSize,
                                  e0 + std::min(i + k, n) * p.blockSize,
                                  n0 + std::min(j + k, n) * p.blockSize));
      f.values = {Pick(kNeighbourhoods, (i / k) * ((n + k - 1) / k) + j / k)};
      c.neighbourhoods.features.push_back(std::move(f));
    }
}

void AddPlaces(const CityPlan& p, const ToDegrees& deg, std::mt19937& rng, SourceData& out) {
  out.kind = LayerKind::Point;
  out.fields = {{"NOMBRE", 202}, {"CATEGORIA", 202}};
  const double half = p.blocksPerSide * p.blockSize / 2;
  std::uniform_real_distribution<double> offset(-half, half);
  std::uniform_int_distribution<int> category(0, std::size(kCategories) - 1);
  for (int i = 0; i < p.places; ++i) {
    const int c = category(rng);
    SourceFeature f;
    f.parts.push_back({deg(p.centreEasting + offset(rng), p.centreNorthing + offset(rng))});
    f.values = {std::string(kCategories[c]) + " " + std::to_string(i + 1),
                std::string(kCategories[c])};
    out.features.push_back(std::move(f));
  }
}

}  // namespace

GeneratedCity GenerateCity(const CityPlan& plan) {
  const ToDegrees deg(plan.utmZone);
  std::mt19937 rng(plan.seed);
  GeneratedCity city;
  AddStreets(plan, deg, city.streets);
  AddBlocks(plan, deg, rng, city);
  AddPlaces(plan, deg, rng, city.places);
  return city;
}

}  // namespace orvenda::server
