#include <gtest/gtest.h>

#include <sstream>

#include "demo/demo_database.h"
#include "store/password.h"
#include "store/sqlite_db.h"
#include "store/store.h"
#include "temp_dir.h"

namespace orvenda::server {
namespace {

using test::fixture;
using test::TempDir;

const LayerRecord* layerNamed(const MapDefinition& m, const std::string& name) {
  for (const LayerRecord& l : m.layers)
    if (l.name == name) return &l;
  return nullptr;
}

// The demo database built from a miniature cache with the same file names and layers
// as the real one.
TEST(DemoDatabase, ThreeMapsTheirLayersAndTheDemoUsers) {
  TempDir dir;
  DemoOptions o;
  o.database = dir / "demo.db";
  o.cache = fixture("demo-cache");
  std::ostringstream log;
  buildDemoDatabase(o, log);
  EXPECT_FALSE(std::filesystem::exists(dir / "demo.db.building"));
  {
    SqliteDb raw(o.database);  // built without a journal on disk, served in WAL mode
    auto mode = raw.prepare("PRAGMA journal_mode");
    ASSERT_TRUE(mode.step());
    EXPECT_EQ(mode.text(0), "wal");
  }
  auto s = openStore(o.database);

  const auto world = s->mapDefinition(0).value();
  const auto us = s->mapDefinition(1).value();
  const auto city = s->mapDefinition(114).value();
  EXPECT_EQ(world.name, "World");
  EXPECT_EQ(world.projection, 0);
  EXPECT_EQ(us.name, "United States");
  EXPECT_EQ(us.projection, 1);
  EXPECT_EQ(city.projection, 114);

  const LayerRecord* major = layerNamed(world, "Major cities");
  ASSERT_NE(major, nullptr);
  EXPECT_EQ(s->layerInfo(major->id)->elementCount, 3);  // Madrid, Houston, Monterrey
  const LayerRecord* cities = layerNamed(world, "Cities");
  ASSERT_NE(cities, nullptr);
  EXPECT_EQ(cities->thematicField, "population");
  EXPECT_EQ(cities->themes.size(), 3u);
  EXPECT_NE(layerNamed(city, "Cities"), nullptr);  // shared with the city map

  const LayerRecord* counties = layerNamed(us, "Counties");
  ASSERT_NE(counties, nullptr);
  EXPECT_EQ(s->layerInfo(counties->id)->elementCount, 4);  // Aransas has two parts
  EXPECT_EQ(counties->thematicField, "STATE");
  ASSERT_EQ(counties->themes.size(), 2u);
  EXPECT_EQ(counties->themes[0].lower, "01");
  EXPECT_EQ(counties->themes[1].lower, "48");
  EXPECT_EQ(s->layerInfo(layerNamed(us, "US cities")->id)->elementCount, 2);  // >= 50,000

  const LayerRecord* streets = layerNamed(city, "Calles");
  ASSERT_NE(streets, nullptr);
  EXPECT_EQ(streets->labelField, "NOMBRE");
  bool hasDir = false;
  for (const FieldDef& f : streets->fields) hasDir = hasDir || f.name == "DIR";
  EXPECT_TRUE(hasDir);

  const auto demo = s->findUser("demo").value();
  const auto viewer = s->findUser("viewer").value();
  const auto guest = s->findUser("invitado").value();
  EXPECT_TRUE(verifyPassword(demo.passwordHash, "demo"));
  EXPECT_TRUE(verifyPassword(viewer.passwordHash, "viewer"));
  EXPECT_TRUE(verifyPassword(guest.passwordHash, ""));
  EXPECT_TRUE(guest.guest);
  for (const MapDefinition* m : {&world, &us, &city})
    for (const LayerRecord& l : m->layers) {
      EXPECT_EQ(s->accessLevel(demo.id, l.id), AccessLevel::Draw);
      EXPECT_EQ(s->accessLevel(viewer.id, l.id), AccessLevel::Viewer);
    }
  EXPECT_EQ(s->mapsForUser(viewer.id).size(), 3u);

  // A second build does not overwrite without being asked to.
  EXPECT_THROW(buildDemoDatabase(o, log), StoreError);
}

TEST(DemoDatabase, AnIncompleteCacheIsReportedAndLeavesNoFile) {
  TempDir dir;
  DemoOptions o;
  o.database = dir / "demo.db";
  o.cache = dir / "empty-cache";
  std::ostringstream log;
  try {
    buildDemoDatabase(o, log);
    FAIL() << "built without data";
  } catch (const StoreError& e) {
    EXPECT_NE(std::string(e.what()).find("fetch-demo-data.sh"), std::string::npos);
  }
  EXPECT_FALSE(std::filesystem::exists(o.database));
}

}  // namespace
}  // namespace orvenda::server
