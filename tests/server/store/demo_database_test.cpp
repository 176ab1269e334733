#include "demo/demo_database.h"

#include <gtest/gtest.h>

#include <sstream>

#include "store/password.h"
#include "temp_dir.h"
#include "test_backend.h"

namespace orvenda::server {
namespace {

using test::Fixture;
using test::TempDir;

// The demo database built from a miniature cache with the same file names and layers
// as the real one.
TEST(DemoDatabase, ThreeMapsTheirLayersAndTheDemoUsers) {
  TempDir dir;
  DemoOptions o{.database = dir / "demo.db", .cache = Fixture("demo-cache")};
  if (test::TestingPostgres()) o.pg = test::ConninfoOf(o.database);
  std::ostringstream log;
  BuildDemoDatabase(o, log);
  auto s = test::OpenTestStore(o.database);
  // Per map: its name and projection, and each layer with its element count and
  // thematic field and classes.
  std::string seen;
  for (const std::int32_t code : {0, 1, 114}) {
    const auto m = s->FindMapDefinition(code).value();
    seen += m.name + " " + std::to_string(m.projection) + ":";
    for (const LayerRecord& l : m.layers) {
      seen += " " + l.name + "=" + std::to_string(s->FindLayerInfo(l.id)->elementCount);
      if (!l.thematicField.empty()) seen += "/" + l.thematicField;
      for (const ThemeClass& t : l.themes) seen += "," + t.lower;
    }
    seen += "\n";
  }
  // Three major cities (Madrid, Houston, Monterrey); Aransas county has two parts; two
  // US cities of 50,000 and more; cities classed by population, also on the city map.
  for (const char* part : {"World 0:", " Major cities=3", "United States 1:",
                           " Counties=4/STATE,01,48", " US cities=2", "114:", "/population,"})
    EXPECT_NE(seen.find(part), std::string::npos) << part << " in\n" << seen;
  const auto demo = s->FindUser("demo").value(), viewer = s->FindUser("viewer").value();
  for (const auto& user : {demo, viewer}) EXPECT_TRUE(VerifyPassword(user.passwordHash, user.name));
  EXPECT_TRUE(s->FindUser("invitado")->guest);
  for (const LayerInfo& l : s->ListLayers()) {
    EXPECT_EQ(s->AccessLevelOf(demo.id, l.id), AccessLevel::Draw);
    EXPECT_EQ(s->AccessLevelOf(viewer.id, l.id), AccessLevel::Viewer);
  }
  EXPECT_EQ(s->MapsForUser(viewer.id).size(), 3u);
  // A second build does not overwrite without being asked to; an incomplete cache is
  // reported and leaves no file.
  EXPECT_EQ(test::FaultOf([&] { BuildDemoDatabase(o, log); }), StoreFault::BadValue);
  const DemoOptions empty{.database = dir / "empty.db", .cache = dir / "empty-cache"};
  EXPECT_EQ(test::FaultOf([&] { BuildDemoDatabase(empty, log); }), StoreFault::StorageFailure);
  EXPECT_FALSE(std::filesystem::exists(empty.database));
}

}  // namespace
}  // namespace orvenda::server
