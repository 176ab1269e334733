#include <gtest/gtest.h>

#include "store/password.h"
#include "store/schema.h"
#include "store/sqlite_store.h"
#include "temp_dir.h"

namespace orvenda::server {
namespace {

using test::TempDir;

std::int32_t makeRoads(Store& s) {
  NewLayer l;
  l.name = "Calles";
  l.kind = LayerKind::Polyline;
  l.cellWidth = 0.5f;
  l.cellHeight = 0.5f;
  l.fields = {{"NOMBRE", 202}, {"DIR", 2}, {"LARGO", 5}, {"CARRILES", 3}};
  return s.createLayer(l);
}

TEST(SqliteStore, UsersPasswordsAndRightsSurviveReopening) {
  TempDir dir;
  const auto file = dir / "users.db";
  std::int32_t ana = 0, layer = 0;
  {
    auto s = openStore(file);
    ana = s->addUser("ana", hashPassword("secreta"), false);
    s->addUser("invitado", hashPassword(""), true);
    EXPECT_THROW(s->addUser("ana", "x", false), StoreError);
    EXPECT_THROW(s->addUser("", "x", false), StoreError);
    layer = makeRoads(*s);
    s->setAccess(ana, layer, AccessLevel::Editor);
    EXPECT_THROW(s->setAccess(ana, layer + 99, AccessLevel::Viewer), StoreError);
    EXPECT_THROW(s->setAccess(ana + 99, layer, AccessLevel::Viewer), StoreError);
    EXPECT_THROW(s->setAccess(ana, layer, static_cast<AccessLevel>(4)), StoreError);
  }
  auto s = openStore(file);
  auto u = s->findUser("ana");
  ASSERT_TRUE(u);
  EXPECT_EQ(u->id, ana);
  EXPECT_FALSE(u->guest);
  EXPECT_TRUE(verifyPassword(u->passwordHash, "secreta"));
  EXPECT_FALSE(verifyPassword(u->passwordHash, "Secreta"));
  EXPECT_FALSE(verifyPassword("not a hash", "secreta"));
  auto guest = s->findUser("invitado");
  ASSERT_TRUE(guest);
  EXPECT_TRUE(guest->guest);
  EXPECT_TRUE(verifyPassword(guest->passwordHash, ""));
  EXPECT_FALSE(s->findUser("ANA"));  // names are exact
  EXPECT_EQ(s->accessLevel(ana, layer), AccessLevel::Editor);
  EXPECT_EQ(s->accessLevel(guest->id, layer), AccessLevel::NoAccess);

  s->setPasswordHash(ana, hashPassword("nueva"));
  EXPECT_TRUE(verifyPassword(s->findUserById(ana)->passwordHash, "nueva"));
  s->removeUser(ana);
  EXPECT_FALSE(s->findUser("ana"));
  EXPECT_EQ(s->accessLevel(ana, layer), AccessLevel::NoAccess);  // rights went with it
  EXPECT_THROW(s->removeUser(ana), StoreError);
  EXPECT_EQ(s->listUsers().size(), 1u);
}

TEST(SqliteStore, MapDefinitionKeepsEverySetupFieldAndTheDrawingOrder) {
  TempDir dir;
  auto s = openStore(dir / "maps.db");
  const auto roads = makeRoads(*s);
  const auto parks =
      s->createLayer({"Parques", LayerKind::Polygon, 1.0f, 2.0f, {{"NOMBRE", 200}, {"AREA", 4}}});
  s->createMap({7, "Ciudad", {-101, 25, -100, 26}, 0x00FFEE, 114, {}});
  EXPECT_THROW(s->createMap({7, "Otra", {}, 0, 0, {}}), StoreError);

  LayerRecord p;
  p.id = parks;
  p.userVisibility = 2;
  p.zoomMin = 0.5f;
  p.zoomMax = 40;
  p.style = {0x112233, 2, 3, 0x445566, 7};
  p.labelField = "NOMBRE";
  p.labelZoomMin = 0.25f;
  p.labelZoomMax = 8;
  p.userLabelVisibility = 1;
  p.labelBold = true;
  p.labelColor = 0x0000FF;
  p.thematicField = "AREA";
  p.thematicType = 2;
  p.themes = {{"0", "10", {1, 0, 1, 2, 0}}, {"10", "1e9", {3, 1, 2, 4, 6}}};
  s->addLayerToMap(7, p);
  LayerRecord r;
  r.id = roads;
  s->addLayerToMap(7, r);
  EXPECT_THROW(s->addLayerToMap(7, r), StoreError);  // already there
  EXPECT_THROW(s->addLayerToMap(8, r), StoreError);  // unknown map
  LayerRecord bad = r;
  bad.labelField = "NO_EXISTE";
  EXPECT_THROW(s->updateLayerSetup(7, bad), StoreError);

  auto def = s->mapDefinition(7);
  ASSERT_TRUE(def);
  EXPECT_EQ(def->name, "Ciudad");
  EXPECT_EQ(def->projection, 114);
  EXPECT_EQ(def->backgroundColor, 0x00FFEE);
  EXPECT_DOUBLE_EQ(def->extents.minX, -101);
  EXPECT_DOUBLE_EQ(def->extents.maxY, 26);
  ASSERT_EQ(def->layers.size(), 2u);
  const LayerRecord& a = def->layers[0];
  EXPECT_EQ(a.id, parks);
  EXPECT_EQ(a.name, "Parques");
  EXPECT_EQ(a.kind, LayerKind::Polygon);
  EXPECT_FLOAT_EQ(a.grid.cellWidth, 1.0f);
  EXPECT_FLOAT_EQ(a.grid.cellHeight, 2.0f);
  EXPECT_EQ(a.userVisibility, 2);
  EXPECT_FLOAT_EQ(a.zoomMin, 0.5f);
  EXPECT_FLOAT_EQ(a.zoomMax, 40);
  EXPECT_EQ(a.style.lineColor, 0x112233);
  EXPECT_EQ(a.style.lineStyle, 2);
  EXPECT_EQ(a.style.lineWidth, 3);
  EXPECT_EQ(a.style.fillColor, 0x445566);
  EXPECT_EQ(a.style.fillStyle, 7);
  EXPECT_EQ(a.labelField, "NOMBRE");
  EXPECT_FLOAT_EQ(a.labelZoomMin, 0.25f);
  EXPECT_FLOAT_EQ(a.labelZoomMax, 8);
  EXPECT_EQ(a.userLabelVisibility, 1);
  EXPECT_TRUE(a.labelBold);
  EXPECT_EQ(a.labelColor, 0x0000FF);
  EXPECT_EQ(a.thematicField, "AREA");
  EXPECT_EQ(a.thematicType, 2);
  ASSERT_EQ(a.fields.size(), 2u);
  EXPECT_EQ(a.fields[1].name, "AREA");
  EXPECT_EQ(a.fields[1].type, 4);
  ASSERT_EQ(a.themes.size(), 2u);
  EXPECT_EQ(a.themes[1].lower, "10");
  EXPECT_EQ(a.themes[1].upper, "1e9");
  EXPECT_EQ(a.themes[1].style.fillStyle, 6);
  EXPECT_EQ(def->layers[1].id, roads);
  EXPECT_EQ(def->layers[1].fields.size(), 4u);

  p.themes.pop_back();
  p.labelField.clear();
  s->updateLayerSetup(7, p);
  def = s->mapDefinition(7);
  EXPECT_EQ(def->layers[0].id, parks);  // order kept
  EXPECT_EQ(def->layers[0].themes.size(), 1u);
  EXPECT_EQ(def->layers[0].labelField, "");
  EXPECT_FALSE(s->mapDefinition(8));
}

TEST(SqliteStore, SavingAMapSetupOverItOrAsANewMap) {
  TempDir dir;
  auto s = openStore(dir / "save.db");
  const auto roads = makeRoads(*s);
  const auto parks = s->createLayer({"Parques", LayerKind::Polygon, 1, 1, {{"NOMBRE", 200}}});
  s->createMap({3, "Ciudad", {-101, 25, -100, 26}, 0, 114, {}});
  s->createMap({4, "Otro", {}, 0, 0, {}});
  LayerRecord r;
  r.id = roads;
  s->addLayerToMap(3, r);
  r.id = parks;
  s->addLayerToMap(3, r);

  MapDefinition edited = s->mapDefinition(3).value();
  std::swap(edited.layers[0], edited.layers[1]);
  edited.layers[0].zoomMax = 12;
  edited.layers[0].labelField = "NOMBRE";
  edited.layers[0].themes = {{"A", "", {1, 0, 1, 2, 0}}};
  edited.layers[0].grid.cellWidth = 99;  // a client's grid is not taken
  edited.layers[0].grid.lastRow = 5000;
  edited.layers[1].thematicField = "DIR";
  edited.backgroundColor = 0x123456;
  edited.name = "Ciudad nueva";
  SavedMap saved = s->saveMap(edited);
  EXPECT_EQ(saved.result, SavedMap::Saved);
  EXPECT_EQ(saved.code, 3);
  auto def = s->mapDefinition(3).value();
  EXPECT_EQ(def.name, "Ciudad nueva");
  EXPECT_EQ(def.backgroundColor, 0x123456);
  ASSERT_EQ(def.layers.size(), 2u);
  EXPECT_EQ(def.layers[0].id, parks);
  EXPECT_FLOAT_EQ(def.layers[0].zoomMax, 12);
  EXPECT_EQ(def.layers[0].labelField, "NOMBRE");
  EXPECT_EQ(def.layers[0].themes.size(), 1u);
  EXPECT_FLOAT_EQ(def.layers[0].grid.cellWidth, 1.0f);
  EXPECT_EQ(def.layers[0].grid.lastRow, -1);
  EXPECT_EQ(def.layers[1].thematicField, "DIR");

  // As a new map: a fresh code, the same setups.
  edited.code = 0;
  edited.name = "Mi mapa";
  edited.layers.pop_back();
  saved = s->saveMap(edited);
  EXPECT_EQ(saved.result, SavedMap::Saved);
  EXPECT_EQ(saved.code, 5);
  EXPECT_EQ(s->mapDefinition(5)->layers.size(), 1u);
  EXPECT_EQ(s->mapDefinition(3)->layers.size(), 2u);

  for (const char* bad : {"", "   ", "tab\there", "Otro", "Ciudad nueva"}) {
    MapDefinition m = edited;
    m.name = bad;
    EXPECT_EQ(s->saveMap(m).result, SavedMap::InvalidName) << bad;
  }
  EXPECT_EQ(s->listMaps().size(), 3u);  // no map was made of the bad names
  MapDefinition broken = s->mapDefinition(3).value();
  broken.name = "Roto";
  broken.layers[1].id = 777;
  EXPECT_THROW(s->saveMap(broken), StoreError);
  broken.layers[1].id = roads;
  broken.layers[1].labelField = "NO_EXISTE";
  EXPECT_THROW(s->saveMap(broken), StoreError);
  EXPECT_EQ(s->mapDefinition(3)->name, "Ciudad nueva");  // nothing of it was kept
  EXPECT_EQ(s->mapDefinition(3)->layers.size(), 2u);
  broken.code = 42;
  broken.layers[1].labelField.clear();
  EXPECT_THROW(s->saveMap(broken), StoreError);
}

TEST(SqliteStore, MapsOfAUserFollowTheirLayerRights) {
  TempDir dir;
  auto s = openStore(dir / "rights.db");
  const auto roads = makeRoads(*s);
  const auto parks = s->createLayer({"Parques", LayerKind::Polygon, 1, 1, {}});
  s->createMap({1, "Uno", {}, 0, 0, {}});
  s->createMap({2, "Dos", {}, 0, 0, {}});
  LayerRecord r;
  r.id = roads;
  s->addLayerToMap(1, r);
  r.id = parks;
  s->addLayerToMap(2, r);
  const auto u = s->addUser("u", "h", false);
  EXPECT_TRUE(s->mapsForUser(u).empty());
  s->setAccess(u, parks, AccessLevel::NoAccess);
  EXPECT_FALSE(s->canOpenMap(u, 2));
  s->setAccess(u, parks, AccessLevel::Viewer);
  ASSERT_EQ(s->mapsForUser(u).size(), 1u);
  EXPECT_EQ(s->mapsForUser(u)[0].code, 2);
  EXPECT_EQ(s->mapsForUser(u)[0].name, "Dos");
  EXPECT_TRUE(s->canOpenMap(u, 2));
  EXPECT_FALSE(s->canOpenMap(u, 1));
  EXPECT_FALSE(s->canOpenMap(u, 3));
}

TEST(SqliteStore, ElementsLandInTheCellsOfTheirBoxAndMoveWithTheirGeometry) {
  TempDir dir;
  auto s = openStore(dir / "cells.db");
  const auto roads = makeRoads(*s);
  // Box -99.9..-99.1 x 20.1..20.6 with 0.5 cells: columns N(160.2)=160 .. N(161.8)=162
  // (halves to even: 80.1/0.5...), rows N(220.2)=220 .. N(221.2)=221.
  auto w = s->addElement(roads, {{-99.9, 20.1}, {-99.1, 20.6}}, {"Reforma", "1", "2.5", ""});
  EXPECT_EQ(w.id, 1);
  EXPECT_TRUE(w.gridChanged);
  const std::vector<CellKey> expected = {{220, 160}, {220, 161}, {220, 162},
                                         {221, 160}, {221, 161}, {221, 162}};
  EXPECT_EQ(w.cells, expected);
  for (const CellKey& c : expected) {
    auto els = s->cellElements(roads, c);
    ASSERT_EQ(els.size(), 1u) << c.row << "," << c.column;
    EXPECT_EQ(els[0].id, 1);
    ASSERT_EQ(els[0].points.size(), 2u);
    EXPECT_DOUBLE_EQ(els[0].points[1].x, -99.1);
  }
  EXPECT_TRUE(s->cellElements(roads, {222, 160}).empty());
  auto info = s->layerInfo(roads);
  EXPECT_EQ(info->grid.firstRow, 220);
  EXPECT_EQ(info->grid.lastRow, 221);
  EXPECT_EQ(info->grid.firstColumn, 160);
  EXPECT_EQ(info->grid.lastColumn, 162);

  auto w2 = s->addElement(roads, {{-99.5, 20.3}, {-99.4, 20.35}}, {"Reforma", "-1", "", "2"});
  EXPECT_FALSE(w2.gridChanged);  // inside the limits already
  auto vals = s->cellFieldValues(roads, {221, 161}, "nombre");
  ASSERT_TRUE(vals);
  ASSERT_EQ(vals->refs.size(), 2u);
  EXPECT_EQ(vals->values, std::vector<std::string>{"Reforma"});
  EXPECT_EQ(vals->refs[0].position, 1);
  EXPECT_EQ(vals->refs[1].position, 1);
  auto dirs = s->cellFieldValues(roads, {221, 161}, "DIR");
  EXPECT_EQ(dirs->values, (std::vector<std::string>{"1", "-1"}));
  EXPECT_FALSE(s->cellFieldValues(roads, {221, 161}, "ZZZ"));

  auto attrs = s->elementAttributes(roads, 1);
  ASSERT_TRUE(attrs);
  ASSERT_EQ(attrs->size(), 4u);
  EXPECT_EQ((*attrs)[0].type, 202);
  EXPECT_EQ(std::get<std::string>((*attrs)[0].value), "Reforma");
  EXPECT_EQ(std::get<std::int64_t>((*attrs)[1].value), 1);
  EXPECT_DOUBLE_EQ(std::get<double>((*attrs)[2].value), 2.5);
  EXPECT_TRUE(std::holds_alternative<std::monostate>((*attrs)[3].value));
  EXPECT_FALSE(s->elementAttributes(roads, 99));
  EXPECT_THROW(s->addElement(roads, {{0, 0}}, {"x", "99999", "", ""}), StoreError);
  EXPECT_THROW(s->addElement(roads, {{0, 0}}, {"x"}), StoreError);
  EXPECT_THROW(s->addElement(roads, {{0, 95}}, {"x", "", "", ""}), StoreError);
  // Half a degree cells: the whole world would be 259,200 index rows, fine; a layer of
  // finer cells refuses an element that would cover millions of them.
  const auto fine = s->createLayer({"Fino", LayerKind::Polygon, 0.001f, 0.001f, {}});
  EXPECT_THROW(s->addElement(fine, {{-170, -80}, {170, 80}}, {}), StoreError);
  EXPECT_EQ(s->layerInfo(fine)->elementCount, 0);

  // Moving the element takes it out of its old cells and widens the grid.
  auto moved = s->setGeometry(roads, 1, {{10.1, 10.1}});
  ASSERT_TRUE(moved);
  EXPECT_EQ(moved->cells, (std::vector<CellKey>{{200, 380}}));
  EXPECT_TRUE(moved->gridChanged);
  EXPECT_EQ(s->cellElements(roads, {220, 160}).size(), 0u);
  EXPECT_EQ(s->cellElements(roads, {200, 380}).size(), 1u);
  auto box = s->elementExtent(roads, 1);
  EXPECT_DOUBLE_EQ(box->minX, 10.1);
  EXPECT_DOUBLE_EQ(box->maxY, 10.1);

  EXPECT_TRUE(s->setAttributes(roads, 2, {"Juárez", "0", "1", "3"}));
  EXPECT_EQ(std::get<std::string>((*s->elementAttributes(roads, 2))[0].value), "Juárez");
  EXPECT_FALSE(s->setAttributes(roads, 42, {"a", "0", "1", "3"}));

  auto removed = s->removeElement(roads, 2);
  ASSERT_TRUE(removed);
  EXPECT_EQ(removed->size(), 1u);
  EXPECT_FALSE(s->removeElement(roads, 2));
  EXPECT_FALSE(s->elementExtent(roads, 2));
  // An erased identifier is never handed out again.
  EXPECT_EQ(s->addElement(roads, {{1, 1}}, {"", "", "", ""}).id, 3);
}

TEST(SqliteStore, ATransactionThatFailsLeavesNothingBehind) {
  TempDir dir;
  auto s = openStore(dir / "tx.db");
  const auto roads = makeRoads(*s);
  EXPECT_THROW(s->transaction([&] {
    s->addElement(roads, {{1, 1}}, {"a", "", "", ""});
    s->addElement(roads, {{1, 1}}, {"b", "not a number", "", ""});
  }),
               StoreError);
  EXPECT_EQ(s->layerInfo(roads)->elementCount, 0);
  s->transaction([&] { s->addElement(roads, {{1, 1}}, {"a", "", "", ""}); });
  EXPECT_EQ(s->layerInfo(roads)->elementCount, 1);
}

TEST(SqliteStore, ValueListsAndRangesSortNumbersAsNumbers) {
  TempDir dir;
  auto s = openStore(dir / "values.db");
  const auto roads = makeRoads(*s);
  for (const char* n : {"9", "10", "100", "9", ""}) s->addElement(roads, {{1, 1}}, {n, n, n, n});
  EXPECT_EQ(*s->distinctValues(roads, "CARRILES", 100),
            (std::vector<std::string>{"9", "10", "100"}));
  EXPECT_EQ(*s->distinctValues(roads, "NOMBRE", 100),
            (std::vector<std::string>{"", "10", "100", "9"}));  // text order; "" is a text
  EXPECT_EQ(s->distinctValues(roads, "CARRILES", 2)->size(), 2u);
  auto range = s->valueRange(roads, "largo");
  ASSERT_TRUE(range);
  EXPECT_EQ(range->lowest, "9");
  EXPECT_EQ(range->highest, "100");
  EXPECT_FALSE(s->valueRange(roads, "nada"));
  EXPECT_FALSE(s->distinctValues(roads + 5, "NOMBRE", 10));
}

TEST(SqliteStore, OlderFilesAreMigratedAndNewerOnesRefused) {
  TempDir dir;
  const auto file = dir / "old.db";
  {
    SqliteDb db(file);
    migrate(db, 1);
    EXPECT_EQ(schemaVersion(db), 1);
    db.exec(
        "INSERT INTO layers (id, name, kind, cell_width, cell_height) "
        "VALUES (5, 'Viejo', 1, 1, 1)");
    db.exec("INSERT INTO elements VALUES (5, 41, 1, 1, 1, 1, x'')");
    db.exec("INSERT INTO elements VALUES (5, 17, 2, 2, 2, 2, x'')");
  }
  {
    auto s = openStore(file);
    EXPECT_EQ(s->layerInfo(5)->elementCount, 2);
    EXPECT_EQ(s->addElement(5, {{3, 3}}, {}).id, 42);
  }
  {
    SqliteDb db(file);
    EXPECT_EQ(schemaVersion(db), latestSchemaVersion());
    auto st = db.prepare(
        "SELECT count(*) FROM sqlite_master WHERE name IN "
        "('attributes_by_value', 'element_cells_by_element')");
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.integer(0), 2);
    db.exec("PRAGMA user_version = 99");
  }
  try {
    openStore(file);
    FAIL() << "a newer schema was accepted";
  } catch (const StoreError& e) {
    EXPECT_NE(std::string(e.what()).find("newer"), std::string::npos);
  }
}

}  // namespace
}  // namespace orvenda::server
