#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "admin/commands.h"
#include "store/password.h"
#include "store/store.h"
#include "temp_dir.h"

namespace orvenda::server {
namespace {

using test::fixture;
using test::TempDir;

struct Result {
  int code;
  std::string out, err;
};

Result run(std::vector<std::string> args, const std::string& input = "") {
  std::istringstream in(input);
  std::ostringstream out, err;
  const int code = runCommand(args, in, out, err);
  return {code, out.str(), err.str()};
}

class AdminCommands : public ::testing::Test {
 protected:
  TempDir dir;
  std::string db = (dir / "admin.db").string();
};

TEST_F(AdminCommands, EachMistakeHasItsExitCodeAndMessage) {
  // A database with one user, one map and one imported layer.
  ASSERT_EQ(run({"user", "add", "ana", "--db", db}, "secreta\n").code, kExitOk);
  ASSERT_EQ(run({"map", "create", "5", "Prueba", "--projection", "114", "--db", db}).code, kExitOk);
  ASSERT_EQ(run({"import", fixture("places.geojson").string(), "--map", "5", "--zoom", "0,0.5",
                 "--db", db})
                .code,
            kExitOk);

  struct Row {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    int code;
    const char* message;
  };
  const Row rows[] = {
      {"no command", {}, "", kExitUsage, "usage"},
      {"unknown command", {"frobnicate"}, "", kExitUsage, "unknown command"},
      {"missing database", {"user", "list"}, "", kExitUsage, "--db"},
      {"unknown option",
       {"user", "list", "--colour", "x", "--db", db},
       "",
       kExitUsage,
       "unknown option --colour"},
      {"option without value", {"user", "list", "--db"}, "", kExitUsage, "needs a value"},
      {"unknown verb", {"user", "rename", "--db", db}, "", kExitUsage, "unknown user command"},
      {"user twice", {"user", "add", "ana", "--db", db}, "x\n", kExitInvalid, "already exists"},
      {"empty password", {"user", "add", "bob", "--db", db}, "\n", kExitInvalid, "empty password"},
      {"password of nobody",
       {"user", "passwd", "zed", "--db", db},
       "x\n",
       kExitNotFound,
       "unknown user 'zed'"},
      {"remove nobody",
       {"user", "remove", "zed", "--db", db},
       "",
       kExitNotFound,
       "unknown user 'zed'"},
      {"grant to nobody",
       {"grant", "zed", "places", "1", "--db", db},
       "",
       kExitNotFound,
       "unknown user 'zed'"},
      {"grant on no layer",
       {"grant", "ana", "roads", "1", "--db", db},
       "",
       kExitNotFound,
       "unknown layer 'roads'"},
      {"bad level", {"grant", "ana", "places", "7", "--db", db}, "", kExitInvalid, "access level"},
      {"bad level name",
       {"grant", "ana", "places", "admin", "--db", db},
       "",
       kExitInvalid,
       "access level"},
      {"grant on no map",
       {"grant", "ana", "--map", "9", "1", "--db", db},
       "",
       kExitNotFound,
       "unknown map 9"},
      {"map twice", {"map", "create", "5", "Otra", "--db", db}, "", kExitInvalid, "already exists"},
      {"bad projection",
       {"map", "create", "6", "X", "--projection", "100", "--db", db},
       "",
       kExitInvalid,
       "projection"},
      {"bad extent",
       {"map", "create", "6", "X", "--extent", "10,0,5,1", "--db", db},
       "",
       kExitInvalid,
       "extent"},
      {"bad map code", {"map", "create", "-1", "X", "--db", db}, "", kExitInvalid, "map code"},
      {"layer twice in map",
       {"map", "add-layer", "5", "places", "--db", db},
       "",
       kExitInvalid,
       "already in map"},
      {"set on no map",
       {"layer", "set", "9", "places", "--db", db},
       "",
       kExitNotFound,
       "unknown map 9"},
      {"set unknown field",
       {"layer", "set", "5", "places", "--label", "nada", "--db", db},
       "",
       kExitNotFound,
       "no field 'nada'"},
      {"zoom backwards",
       {"layer", "set", "5", "places", "--zoom", "5,1", "--db", db},
       "",
       kExitInvalid,
       "zoom"},
      {"short style",
       {"layer", "set", "5", "places", "--style", "1,2,3", "--db", db},
       "",
       kExitInvalid,
       "5 comma-separated"},
      {"bad colour",
       {"layer", "set", "5", "places", "--label-color", "#12345", "--db", db},
       "",
       kExitInvalid,
       "#RRGGBB"},
      {"bad visibility",
       {"layer", "set", "5", "places", "--visibility", "3", "--db", db},
       "",
       kExitInvalid,
       "visibility"},
      {"theme without field",
       {"layer", "set", "5", "places", "--thematic-type", "1", "--db", db},
       "",
       kExitInvalid,
       "thematic field"},
      {"import twice",
       {"import", fixture("places.geojson").string(), "--db", db},
       "",
       kExitInvalid,
       "already exists"},
      {"import missing file",
       {"import", (dir / "none.shp").string(), "--db", db},
       "",
       kExitFailure,
       "cannot open"},
      {"bad cell size",
       {"import", fixture("zones.geojson").string(), "--cell-size", "0", "--db", db},
       "",
       kExitInvalid,
       "cell size"},
  };
  for (const Row& r : rows) {
    const Result got = run(r.args, r.input);
    EXPECT_EQ(got.code, r.code) << r.name << ": " << got.err;
    EXPECT_NE(got.err.find(r.message), std::string::npos) << r.name << ": " << got.err;
  }
  // None of the failures above changed anything.
  auto s = openStore(db);
  EXPECT_EQ(s->listUsers().size(), 1u);
  EXPECT_EQ(s->listMaps().size(), 1u);
  EXPECT_EQ(s->listLayers().size(), 1u);
  EXPECT_EQ(s->accessLevel(s->findUser("ana")->id, s->findLayer("places")->id),
            AccessLevel::NoAccess);
}

TEST_F(AdminCommands, SetUpUsersRightsAndLayersEndToEnd) {
  ASSERT_EQ(run({"user", "add", "ana", "--db", db}, "secreta\n").code, kExitOk);
  ASSERT_EQ(run({"user", "add", "invitado", "--guest", "--db", db}, "").code, kExitOk);
  const auto pwFile = dir / "pw.txt";
  { std::ofstream(pwFile) << "otra\r\n"; }
  ASSERT_EQ(run({"user", "passwd", "ana", "--password-file", pwFile.string(), "--db", db}).code,
            kExitOk);
  ASSERT_EQ(run({"map", "create", "0", "Mundo", "--extent", "-120,10,-80,40", "--background",
                 "#102030", "--db", db})
                .code,
            kExitOk);
  ASSERT_EQ(
      run({"import", fixture("zones.geojson").string(), "--layer-name", "Zonas", "--db", db}).code,
      kExitOk);
  ASSERT_EQ(run({"map", "add-layer", "0", "Zonas", "--zoom", "0,100", "--db", db}).code, kExitOk);
  ASSERT_EQ(run({"layer",
                 "set",
                 "0",
                 "1",
                 "--label",
                 "NAME",
                 "--label-bold",
                 "1",
                 "--thematic",
                 "code",
                 "--thematic-type",
                 "2",
                 "--class",
                 "0,2,#FF0000,0,1,#00FF00,0",
                 "--class",
                 "3,9,255,1,2,65280,6",
                 "--style",
                 "#000000,0,2,#FFFFFF,1",
                 "--db",
                 db})
                .code,
            kExitOk);
  ASSERT_EQ(run({"grant", "ana", "Zonas", "editor", "--db", db}).code, kExitOk);
  ASSERT_EQ(run({"grant", "invitado", "--map", "0", "1", "--db", db}).code, kExitOk);

  const Result users = run({"user", "list", "--db", db});
  EXPECT_NE(users.out.find("ana"), std::string::npos);
  EXPECT_NE(users.out.find("invitado\tguest"), std::string::npos);
  EXPECT_NE(run({"layer", "list", "--db", db}).out.find("Zonas"), std::string::npos);
  EXPECT_NE(run({"map", "list", "--db", db}).out.find("Mundo"), std::string::npos);

  auto s = openStore(db);
  const auto ana = *s->findUser("ana");
  EXPECT_TRUE(verifyPassword(ana.passwordHash, "otra"));  // the line ending is not part of it
  EXPECT_TRUE(verifyPassword(s->findUser("invitado")->passwordHash, ""));
  auto map = s->mapDefinition(0);
  ASSERT_TRUE(map);
  EXPECT_EQ(map->backgroundColor, 0x302010);  // red in the low byte
  EXPECT_DOUBLE_EQ(map->extents.minX, -120);
  ASSERT_EQ(map->layers.size(), 1u);
  const LayerRecord& l = map->layers[0];
  EXPECT_FLOAT_EQ(l.zoomMax, 100);
  EXPECT_EQ(l.labelField, "name");  // the layer's own spelling
  EXPECT_TRUE(l.labelBold);
  EXPECT_EQ(l.thematicField, "code");
  EXPECT_EQ(l.thematicType, 2);
  ASSERT_EQ(l.themes.size(), 2u);
  EXPECT_EQ(l.themes[0].style.lineColor, 0x0000FF);
  EXPECT_EQ(l.themes[0].style.fillColor, 0x00FF00);
  EXPECT_EQ(l.themes[1].upper, "9");
  EXPECT_EQ(l.themes[1].style.fillStyle, 6);
  EXPECT_EQ(l.style.fillStyle, 1);
  EXPECT_EQ(s->accessLevel(ana.id, l.id), AccessLevel::Editor);
  EXPECT_TRUE(s->canOpenMap(s->findUser("invitado")->id, 0));

  ASSERT_EQ(run({"user", "remove", "ana", "--db", db}).code, kExitOk);
  EXPECT_FALSE(openStore(db)->findUser("ana"));
}

}  // namespace
}  // namespace orvenda::server
