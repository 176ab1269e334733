#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <tuple>

#include "admin/commands.h"
#include "store/password.h"
#include "store/store.h"
#include "temp_dir.h"

namespace orvenda::server {
namespace {

using test::Fixture;
using test::TempDir;

struct Result {
  int code;
  std::string out, err;
};

// Runs the words of `line` (plus `--db PATH` unless it is empty) as the command line.
Result RunAdmin(const std::string& line, const std::string& db, const std::string& input = "") {
  std::vector<std::string> args;
  std::istringstream words(line);
  for (std::string w; words >> w;) args.push_back(w);
  if (!db.empty()) args.insert(args.end(), {"--db", db});
  std::istringstream in(input);
  std::ostringstream out, err;
  const int code = RunCommand(args, in, out, err);
  return {code, out.str(), err.str()};
}

class AdminCommands : public ::testing::Test {
 protected:
  TempDir dir_;
  std::string db_ = (dir_ / "admin.db").string();
  std::string places_ = Fixture("places.geojson").string();
  std::string zones_ = Fixture("zones.geojson").string();
};

TEST_F(AdminCommands, EachMistakeHasItsExitCodeAndMessage) {
  // A database with one user, one map and one imported layer.
  ASSERT_EQ(RunAdmin("user add ana", db_, "secreta\n").code, kExitOk);
  ASSERT_EQ(RunAdmin("map create 5 Prueba --projection 114", db_).code, kExitOk);
  ASSERT_EQ(RunAdmin("import " + places_ + " --map 5 --zoom 0,0.5", db_).code, kExitOk);
  struct Row {
    std::string line;
    int code;
    const char* message;
    std::string input = "";
    bool withDb = true;
  };
  const Row rows[] = {
      {"", kExitUsage, "usage", "", false},
      {"frobnicate", kExitUsage, "unknown command", "", false},
      {"user list --db", kExitUsage, "needs a value", "", false},
      {"user list --colour x", kExitUsage, "unknown option --colour"},
      {"user add ana", kExitInvalid, "already exists", "x\n"},
      {"user add bob", kExitInvalid, "empty password", "\n"},
      {"user remove zed", kExitNotFound, "unknown user 'zed'"},
      {"grant ana roads 1", kExitNotFound, "unknown layer 'roads'"},
      {"grant ana places admin", kExitInvalid, "access level"},
      {"grant ana --map 9 1", kExitNotFound, "unknown map 9"},
      {"map create 5 Otra", kExitInvalid, "already exists"},
      {"map create 6 X --projection 100", kExitInvalid, "projection"},
      {"map add-layer 5 places", kExitInvalid, "already in map"},
      {"layer set 5 places --label nada", kExitNotFound, "no field 'nada'"},
      {"layer set 5 places --style 1,2,3", kExitInvalid, "5 comma-separated"},
      {"layer set 5 places --thematic-type 1", kExitInvalid, "thematic field"},
      {"import " + places_, kExitInvalid, "already exists"},
      {"import " + (dir_ / "none.shp").string(), kExitFailure, "cannot open"},
  };
  for (const Row& r : rows) {
    const Result got = RunAdmin(r.line, r.withDb ? db_ : "", r.input);
    EXPECT_EQ(got.code, r.code) << r.line << ": " << got.err;
    EXPECT_NE(got.err.find(r.message), std::string::npos) << r.line << ": " << got.err;
  }
  // None of the failures above changed anything.
  auto s = OpenStore(db_);
  EXPECT_EQ(s->ListUsers().size(), 1u);
  EXPECT_EQ(s->ListMaps().size(), 1u);
  EXPECT_EQ(s->ListLayers().size(), 1u);
  EXPECT_EQ(s->AccessLevelOf(s->FindUser("ana")->id, s->FindLayer("places")->id),
            AccessLevel::NoAccess);
}

TEST_F(AdminCommands, SetUpUsersRightsAndLayersEndToEnd) {
  const auto pwFile = dir_ / "pw.txt";
  { std::ofstream(pwFile) << "otra\r\n"; }
  ASSERT_EQ(RunAdmin("user add ana", db_, "secreta\n").code, kExitOk);
  for (const std::string& line : std::vector<std::string>{
           "user add invitado --guest", "user passwd ana --password-file " + pwFile.string(),
           "map create 0 Mundo --extent -120,10,-80,40 --background #102030",
           "import " + zones_ + " --layer-name Zonas", "map add-layer 0 Zonas --zoom 0,100",
           "layer set 0 1 --label NAME --label-bold 1 --thematic code --thematic-type 2 --class "
           "0,2,#FF0000,0,1,#00FF00,0 --class 3,9,255,1,2,65280,6 --style #000000,0,2,#FFFFFF,1",
           "grant ana Zonas editor", "grant invitado --map 0 1"}) {
    ASSERT_EQ(RunAdmin(line, db_).code, kExitOk) << line;
  }
  EXPECT_NE(RunAdmin("user list", db_).out.find("invitado\tguest"), std::string::npos);

  auto s = OpenStore(db_);
  const auto ana = *s->FindUser("ana");
  EXPECT_TRUE(VerifyPassword(ana.passwordHash, "otra"));  // the line ending is not part of it
  EXPECT_TRUE(VerifyPassword(s->FindUser("invitado")->passwordHash, ""));
  const MapDefinition map = s->FindMapDefinition(0).value();
  ASSERT_EQ(map.layers.size(), 1u);
  const LayerRecord& l = map.layers[0];
  // Red in the low byte; the label field in the layer's own spelling.
  EXPECT_EQ(std::tuple(map.backgroundColor, map.extents.minX, l.zoomMax, l.style.fillStyle),
            std::tuple(0x302010, -120.0, 100.0f, 1));
  EXPECT_EQ(std::tie(l.labelField, l.labelBold, l.thematicField, l.thematicType),
            std::tuple("name", true, "code", 2));
  ASSERT_EQ(l.themes.size(), 2u);
  EXPECT_EQ(std::tuple(l.themes[0].style.lineColor, l.themes[0].style.fillColor, l.themes[1].upper,
                       l.themes[1].style.fillStyle),
            std::tuple(0x0000FF, 0x00FF00, "9", 6));
  EXPECT_EQ(s->AccessLevelOf(ana.id, l.id), AccessLevel::Editor);
  EXPECT_TRUE(s->CanOpenMap(s->FindUser("invitado")->id, 0));

  ASSERT_EQ(RunAdmin("user remove ana", db_).code, kExitOk);
  s = OpenStore(db_);
  EXPECT_FALSE(s->FindUser("ana"));
  EXPECT_EQ(s->AccessLevelOf(ana.id, l.id), AccessLevel::NoAccess);  // rights went with it
}

}  // namespace
}  // namespace orvenda::server
