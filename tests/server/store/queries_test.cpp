// The store's limits of find by condition, and the generated city of the demo, placed
// in UTM zone 14 as PROJ places it.
#include <gtest/gtest.h>
#include <proj.h>

#include <set>

#include "demo/city_generator.h"
#include "temp_dir.h"
#include "test_backend.h"

namespace orvenda::server {
namespace {

// What every operator finds is checked against SQL through the server (net/queries_test);
// here what no request shows: the limit on the rows, and how a query is refused.
TEST(Queries, ConditionsStopAtTheLimitAndRefuseUnknownFieldsAndBadValues) {
  test::TempDir dir;
  auto s = test::OpenTestStore(dir / "q.db");
  const auto layer =
      s->CreateLayer({"Colonias", LayerKind::Polygon, 1, 1, {{"NOMBRE", 202}, {"POB", 3}}});
  for (const char* name : {"Centro", "centro norte", "Centro sur"})
    s->AddElement(layer, {{1, 1}}, {name, "1"});
  EXPECT_EQ(s->FindElements(layer, {"NOMBRE", 4, "tr", ""}, 2)->size(), 2u);
  EXPECT_FALSE(s->FindElements(layer, {"NADA", 1, "x", ""}, 10));
  const Condition text{"POB", 6, "mucho", ""};
  EXPECT_EQ(test::FaultOf([&] { s->FindElements(layer, text, 10); }), StoreFault::BadValue);
}

TEST(GeneratedCity, StreetsCarryDirectionsAndLieInPlace) {
  const CityPlan plan;
  const GeneratedCity city = GenerateCity(plan);
  std::set<std::int64_t> dirs;
  for (const SourceFeature& f : city.streets.features) {
    const auto dir = std::get<std::int64_t>(f.values[4]);
    dirs.insert(dir);
    EXPECT_EQ(dir == 0, std::get<std::string>(f.values[1]) == "Avenida");
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

}  // namespace
}  // namespace orvenda::server
