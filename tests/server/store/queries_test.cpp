#include <gtest/gtest.h>
#include <proj.h>

#include <set>
#include <tuple>

#include "demo/city_generator.h"
#include "import/importer.h"
#include "store/grid.h"
#include "temp_dir.h"

namespace orvenda::server {
namespace {

using test::TempDir;

class Queries : public ::testing::Test {
 protected:
  void SetUp() override {
    store_ = OpenStore(dir_ / "q.db");
    layer_ = store_->CreateLayer(
        {"Colonias", LayerKind::Polygon, 1, 1, {{"NOMBRE", 202}, {"POB", 3}, {"AREA", 5}}});
    store_->AddElement(layer_, {{1, 1}}, {"Centro", "100", "1.5"});
    store_->AddElement(layer_, {{1, 1}}, {"centro norte", "250", "2"});
    store_->AddElement(layer_, {{1, 1}}, {"Obispado", "", "3.25"});
    store_->AddElement(layer_, {{1, 1}}, {"Mitras", "40", "0.5"});
  }
  std::vector<std::int32_t> Ids(const Condition& c, std::size_t limit = 100) {
    std::vector<std::int32_t> out;
    const auto found = store_->FindElements(layer_, c, limit).value();
    for (const FoundElement& f : found) out.push_back(f.id);
    return out;
  }
  TempDir dir_;
  std::unique_ptr<Store> store_;
  std::int32_t layer_ = 0;
};

TEST_F(Queries, EveryOperatorOnTextAndNumbers) {
  struct Row {
    const char* name;
    Condition c;
    std::vector<std::int32_t> want;
  };
  const Row rows[] = {
      {"text equal ignores case", {"nombre", 1, "CENTRO", ""}, {1}},
      {"starting with", {"NOMBRE", 2, "cen", ""}, {1, 2}},
      {"ending with", {"NOMBRE", 3, "DO", ""}, {3}},
      {"containing", {"NOMBRE", 4, "tr", ""}, {1, 2, 4}},
      {"text different", {"NOMBRE", 5, "centro", ""}, {2, 3, 4}},
      {"text between", {"NOMBRE", 10, "C", "N"}, {1, 2, 4}},
      {"number equal", {"POB", 1, "100", ""}, {1}},
      {"number less (NULL never matches)", {"POB", 6, "100", ""}, {4}},
      {"number less or equal", {"POB", 7, "100", ""}, {1, 4}},
      {"number greater", {"POB", 8, "40", ""}, {1, 2}},
      {"number greater or equal", {"POB", 9, "40", ""}, {1, 2, 4}},
      {"number between (9 < 10 as numbers)", {"POB", 10, "9", "100"}, {1, 4}},
      {"number different (NULL differs)", {"POB", 5, "100", ""}, {2, 3, 4}},
      {"real between", {"AREA", 10, "1.5", "3.25"}, {1, 2, 3}},
      {"digits of a number", {"AREA", 2, "3.2", ""}, {3}},
  };
  for (const Row& r : rows) EXPECT_EQ(Ids(r.c), r.want) << r.name;
  EXPECT_EQ(Ids({"NOMBRE", 4, "tr", ""}, 2), (std::vector<std::int32_t>{1, 2}));
  auto found = store_->FindElements(layer_, {"AREA", 1, "2", ""}, 10).value();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_DOUBLE_EQ(std::get<double>(found[0].value), 2.0);
  EXPECT_FALSE(store_->FindElements(layer_, {"NADA", 1, "x", ""}, 10));
  // An operator outside 1-10, and a text for a number.
  for (const Condition& c : {Condition{"POB", 11, "1", ""}, Condition{"POB", 6, "mucho", ""}})
    EXPECT_EQ(test::FaultOf([&] { store_->FindElements(layer_, c, 10); }), StoreFault::BadValue);
}

TEST_F(Queries, ConstraintsFilterTheCandidatesInTheirOrder) {
  const std::vector<Condition> both = {{"POB", 9, "50", ""}, {"NOMBRE", 2, "CEN", ""}};
  EXPECT_EQ(store_->MatchElements(layer_, {4, 2, 99, 1, 3}, both).value(),
            (std::vector<std::int32_t>{2, 1}));
  EXPECT_EQ(store_->MatchElements(layer_, {4, 3}, {}).value(), (std::vector<std::int32_t>{4, 3}));
  EXPECT_FALSE(store_->MatchElements(layer_, {1}, {{"NADA", 1, "x", ""}}));
}

// The generated city's streets: names, number ranges and directions as the address
// search and the direction arrows read them, placed in UTM zone 14 as PROJ places it.
TEST(GeneratedCity, StreetsCarryNamesNumbersAndDirectionsInPlace) {
  const CityPlan plan;
  const GeneratedCity city = GenerateCity(plan);
  const auto n = static_cast<std::size_t>(plan.blocksPerSide);
  EXPECT_EQ(std::tuple(city.streets.features.size(), city.blocks.features.size(),
                       city.neighbourhoods.features.size(), city.places.features.size()),
            std::tuple(2 * (n + 1) * n, 3600u, 36u, 300u));
  std::set<std::int64_t> dirs;
  for (const SourceFeature& f : city.streets.features) {
    const auto dir = std::get<std::int64_t>(f.values[4]);
    dirs.insert(dir);
    EXPECT_EQ(dir == 0, std::get<std::string>(f.values[1]) == "Avenida");
    EXPECT_LT(std::get<std::int64_t>(f.values[2]), std::get<std::int64_t>(f.values[3]));
  }
  EXPECT_EQ(dirs, (std::set<std::int64_t>{-1, 0, 1}));
  // The south-west corner of the grid.
  PJ_CONTEXT* ctx = proj_context_create();
  PJ* raw = proj_create_crs_to_crs(ctx, "EPSG:32614", "EPSG:4326", nullptr);
  PJ* pj = proj_normalize_for_visualization(ctx, raw);
  const double half = plan.blocksPerSide * plan.blockSize / 2;
  const PJ_COORD c = proj_trans(
      pj, PJ_FWD, proj_coord(plan.centreEasting - half, plan.centreNorthing - half, 0, 0));
  const Point first = city.streets.features[0].parts[0][0];
  EXPECT_NEAR(first.x, c.xy.x, 1e-9);
  EXPECT_NEAR(first.y, c.xy.y, 1e-9);
  proj_destroy(pj);
  proj_destroy(raw);
  proj_context_destroy(ctx);
}

TEST(GeneratedCity, AddressesFallOnTheirSegment) {
  TempDir dir;
  auto s = OpenStore(dir / "a.db");
  ImportOptions o;
  o.layerName = "Calles";
  const ImportReport r = ImportData(*s, GenerateCity(CityPlan{}).streets, o);
  auto found = s->FindAddress(r.layerId, "hidalgo", 150, 10);
  ASSERT_FALSE(found.empty());
  for (const AddressCandidate& c : found) {
    EXPECT_NE(c.street.find("Hidalgo"), std::string::npos);
    EXPECT_EQ(std::tie(c.firstNumber, c.secondNumber), std::tuple("101", "199"));
    // 150 lies halfway between 101 and 199: the middle of the two-vertex segment.
    const auto box = s->ElementExtent(r.layerId, c.id).value();
    EXPECT_NEAR(c.point.x, (box.minX + box.maxX) / 2, 1e-9);
    EXPECT_NEAR(c.point.y, (box.minY + box.maxY) / 2, 1e-9);
  }
  EXPECT_TRUE(s->FindAddress(r.layerId, "Hidalgo", 99999, 10).empty());
  EXPECT_TRUE(s->FindAddress(r.layerId, "No Existe", 150, 10).empty());
  EXPECT_EQ(s->FindAddress(r.layerId, "calle", 150, 3).size(), 0u);  // names, not types
  const auto plain = s->CreateLayer({"Sin numeros", LayerKind::Polyline, 1, 1, {{"NOMBRE", 202}}});
  EXPECT_TRUE(s->FindAddress(plain, "Hidalgo", 150, 10).empty());
}

}  // namespace
}  // namespace orvenda::server
