// The administration commands: a set-up from users to layer classes, and each kind of
// mistake with its exit code, changing nothing.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <tuple>

#include "admin/commands.h"
#include "store/password.h"
#include "temp_dir.h"
#include "test_backend.h"

namespace orvenda::server {
namespace {

// Runs the words of `line` and the store's `--db PATH` or `--pg CONNINFO` as the command line: its
// exit code and what it wrote to the error stream.
std::pair<int, std::string> RunAdmin(const std::string& line, const std::string& db,
                                     const std::string& input = "") {
  std::vector<std::string> args;
  std::istringstream words(line);
  for (std::string w; words >> w;) args.push_back(w);
  for (const std::string& word : test::DatabaseArgs(db)) args.push_back(word);
  std::istringstream in(input);
  std::ostringstream out, err;
  return {RunCommand(args, in, out, err), err.str()};
}

TEST(AdminCommands, SetUpUsersRightsAndLayersAndRefuseEachMistake) {
  test::TempDir dir;
  const std::string db = (dir / "admin.db").string();
  const std::string zones = test::Fixture("zones.geojson").string();
  { std::ofstream(dir / "pw.txt") << "otra\r\n"; }
  ASSERT_EQ(RunAdmin("user add ana", db, "secreta\n").first, kExitOk);
  for (const std::string& line : std::vector<std::string>{
           "user add invitado --guest",
           "user passwd ana --password-file " + (dir / "pw.txt").string(),
           "map create 0 Mundo --background #102030", "import " + zones + " --layer-name Zonas",
           "map add-layer 0 Zonas",
           "layer set 0 1 --label NAME --thematic code --class 3,9,#FF0000,1,2,65280,6",
           "grant ana Zonas editor", "grant invitado --map 0 1"})
    ASSERT_EQ(RunAdmin(line, db).first, kExitOk) << line;
  struct Row {
    std::string line;
    int code;
    const char* message;
    std::string input = "";
  };
  const Row rows[] = {
      {"frobnicate", kExitUsage, "unknown command"},
      {"user add ana", kExitInvalid, "already exists", "x\n"},
      {"user add bob", kExitInvalid, "empty password", "\n"},
      {"user remove zed", kExitNotFound, "unknown user 'zed'"},
      {"grant ana roads 1", kExitNotFound, "unknown layer 'roads'"},
      {"grant ana Zonas admin", kExitInvalid, "access level"},
      {"map create 0 Otra", kExitInvalid, "already exists"},
      {"map add-layer 0 Zonas", kExitInvalid, "already in map"},
      {"layer set 0 Zonas --label nada", kExitNotFound, "no field 'nada'"},
      {"import " + (dir / "none.shp").string(), kExitFailure, "cannot open"},
      {"import " + zones + " --source-layer nada", kExitNotFound, "nada"},
      {"import " + zones + " --levels", kExitUsage, "--levels needs --map"},
      {"import " + zones + " --source-crs EPSG:999999", kExitInvalid, "EPSG:999999"},
      {"import " + zones + " --map 12", kExitNotFound, "12"},
  };
  for (const Row& r : rows) {
    const auto [code, err] = RunAdmin(r.line, db, r.input);
    EXPECT_EQ(code, r.code) << r.line << ": " << err;
    EXPECT_NE(err.find(r.message), std::string::npos) << r.line << ": " << err;
  }
  auto s = test::OpenTestStore(db);
  const auto ana = *s->FindUser("ana");
  EXPECT_TRUE(VerifyPassword(ana.passwordHash, "otra"));  // the line ending is not part of it
  EXPECT_TRUE(s->FindUser("invitado")->guest);
  const MapDefinition map = s->FindMapDefinition(0).value();
  ASSERT_EQ(map.layers.size(), 1u);
  EXPECT_EQ(s->ListLayers().size(), 1u);  // none of the refused imports added one
  const LayerRecord& l = map.layers[0];
  // Red in the low byte; the label field in the layer's own spelling.
  EXPECT_EQ(std::tie(map.backgroundColor, l.labelField, l.thematicField),
            std::tuple(0x302010, "name", "code"));
  ASSERT_EQ(l.themes.size(), 1u);
  EXPECT_EQ(std::tuple(l.themes[0].style.lineColor, l.themes[0].style.fillColor, l.themes[0].upper),
            std::tuple(0x0000FF, 0x00FF00, "9"));
  EXPECT_EQ(s->AccessLevelOf(ana.id, l.id), AccessLevel::Editor);
  EXPECT_TRUE(s->CanOpenMap(s->FindUser("invitado")->id, 0));
  ASSERT_EQ(RunAdmin("user remove ana", db).first, kExitOk);
  s = test::OpenTestStore(db);
  EXPECT_EQ(s->AccessLevelOf(ana.id, l.id), AccessLevel::NoAccess);  // rights went with it
}

}  // namespace
}  // namespace orvenda::server
