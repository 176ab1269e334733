#include <gtest/gtest.h>

#include "store/schema.h"
#include "store/sqlite_store.h"
#include "temp_dir.h"

namespace orvenda::server {
namespace {

using test::FaultOf;
using test::TempDir;

std::int32_t makeRoads(Store& s) {
  return s.createLayer({"Calles",
                        LayerKind::Polyline,
                        0.5f,
                        0.5f,
                        {{"NOMBRE", 202}, {"DIR", 2}, {"LARGO", 5}, {"CARRILES", 3}}});
}

LayerRecord setup(std::int32_t layer) {
  LayerRecord r;
  r.id = layer;
  return r;
}

// Each refusal names its kind, so that the server and the admin commands can answer
// it precisely; none of them changes anything.
TEST(SqliteStore, RefusalsCarryTheirKind) {
  TempDir dir;
  auto s = openStore(dir / "faults.db");
  const auto ana = s->addUser("ana", "h", false);
  const auto roads = makeRoads(*s);
  s->createMap({7, "Ciudad", {}, 0, 0, {}});
  s->addLayerToMap(7, setup(roads));
  LayerRecord badLabel = setup(roads);
  badLabel.labelField = "NO_EXISTE";
  MapDefinition badMap = s->mapDefinition(7).value();
  badMap.layers[0].id = 777;
  const auto fine = s->createLayer({"Fino", LayerKind::Polygon, 0.001f, 0.001f, {}});
  using enum StoreFault;
  EXPECT_EQ(FaultOf([&] { s->addUser("ana", "x", false); }), BadValue);
  EXPECT_EQ(FaultOf([&] { s->addUser("", "x", false); }), BadValue);
  EXPECT_EQ(FaultOf([&] { s->setAccess(ana, roads + 9, AccessLevel::Viewer); }), UnknownLayer);
  EXPECT_EQ(FaultOf([&] { s->setAccess(ana + 9, roads, AccessLevel::Viewer); }), UnknownRecord);
  EXPECT_EQ(FaultOf([&] { s->setAccess(ana, roads, AccessLevel{4}); }), BadValue);
  EXPECT_EQ(FaultOf([&] { s->removeUser(ana + 9); }), UnknownRecord);
  EXPECT_EQ(FaultOf([&] { s->createMap({7, "Otra", {}, 0, 0, {}}); }), BadValue);
  EXPECT_EQ(FaultOf([&] { s->addLayerToMap(7, setup(roads)); }), BadValue);
  EXPECT_EQ(FaultOf([&] { s->addLayerToMap(8, setup(roads)); }), UnknownRecord);
  EXPECT_EQ(FaultOf([&] { s->updateLayerSetup(7, badLabel); }), UnknownField);
  EXPECT_EQ(FaultOf([&] { s->saveMap(badMap); }), UnknownLayer);
  badMap.code = 42;  // a name of its own, so that only the code is wrong
  badMap.name = "Nuevo";
  badMap.layers[0].id = roads;
  EXPECT_EQ(FaultOf([&] { s->saveMap(badMap); }), UnknownRecord);
  EXPECT_EQ(FaultOf([&] { s->addElement(roads, {{0, 0}}, {"x", "99999", "", ""}); }), BadValue);
  EXPECT_EQ(FaultOf([&] { s->addElement(roads, {{0, 0}}, {"x"}); }), BadValue);
  EXPECT_EQ(FaultOf([&] { s->addElement(roads, {{0, 95}}, {"x", "", "", ""}); }), BadValue);
  EXPECT_EQ(FaultOf([&] { s->addElement(99, {{0, 0}}, {}); }), UnknownLayer);
  // A layer of fine cells refuses an element that would cover millions of them.
  EXPECT_EQ(FaultOf([&] { s->addElement(fine, {{-170, -80}, {170, 80}}, {}); }), BadValue);
  // None of them changed anything.
  EXPECT_EQ(s->listUsers().size(), 1u);
  EXPECT_EQ(s->listMaps().size(), 1u);
  EXPECT_EQ(s->layerInfo(roads)->elementCount + s->layerInfo(fine)->elementCount, 0);
  EXPECT_EQ(s->mapDefinition(7)->layers[0].labelField, "");
}

TEST(SqliteStore, SetupsKeepTheirOrderAndSavingTakesOnlyTheSetup) {
  TempDir dir;
  auto s = openStore(dir / "save.db");
  const auto roads = makeRoads(*s);
  const auto parks = s->createLayer({"Parques", LayerKind::Polygon, 1, 1, {{"NOMBRE", 200}}});
  s->createMap({3, "Ciudad", {-101, 25, -100, 26}, 0, 114, {}});
  s->createMap({4, "Otro", {}, 0, 0, {}});
  s->addLayerToMap(3, setup(roads));
  s->addLayerToMap(3, setup(parks));
  LayerRecord p = setup(parks);
  p.labelField = "NOMBRE";
  p.themes = {{"0", "10", {1, 0, 1, 2, 0}}, {"10", "1e9", {3, 1, 2, 4, 6}}};
  s->updateLayerSetup(3, p);
  EXPECT_EQ(s->mapDefinition(3)->layers[1].themes.size(), 2u);  // order kept

  MapDefinition edited = s->mapDefinition(3).value();
  std::swap(edited.layers[0], edited.layers[1]);
  edited.layers[0].zoomMax = 12;
  edited.layers[0].themes.pop_back();
  edited.layers[0].grid.cellWidth = 99;  // a client's grid is not taken
  edited.layers[0].grid.lastRow = 5000;
  edited.layers[1].thematicField = "DIR";
  edited.name = "Ciudad nueva";
  EXPECT_EQ(s->saveMap(edited).code, 3);
  const auto def = s->mapDefinition(3).value();
  ASSERT_EQ(def.layers.size(), 2u);
  const LayerRecord& l = def.layers[0];
  EXPECT_EQ(std::tie(def.name, l.id, l.zoomMax, l.labelField, def.layers[1].thematicField),
            std::tuple("Ciudad nueva", parks, 12.0f, "NOMBRE", "DIR"));
  EXPECT_EQ(std::tuple(l.themes.size(), l.grid.cellWidth, l.grid.lastRow),
            std::tuple(1u, 1.0f, -1));

  // As a new map: a fresh code, the same setups.
  edited.code = 0;
  edited.name = "Mi mapa";
  edited.layers.pop_back();
  const SavedMap saved = s->saveMap(edited);
  EXPECT_EQ(std::pair(saved.result, saved.code), std::pair(SavedMap::Saved, 5));
  EXPECT_EQ(s->mapDefinition(5)->layers.size(), 1u);
  for (const char* bad : {"", "   ", "tab\there", "Otro", "Ciudad nueva"}) {
    edited.name = bad;
    EXPECT_EQ(s->saveMap(edited).result, SavedMap::InvalidName) << bad;
  }
  EXPECT_EQ(s->listMaps().size(), 3u);
  // A save that fails half way keeps nothing of it.
  MapDefinition broken = s->mapDefinition(3).value();
  broken.name = "Roto";
  broken.layers[1].labelField = "NO_EXISTE";
  EXPECT_THROW(s->saveMap(broken), StoreError);
  EXPECT_EQ(s->mapDefinition(3)->name, "Ciudad nueva");
  EXPECT_FALSE(s->mapDefinition(8));
}

TEST(SqliteStore, ElementsLandInTheCellsOfTheirBoxAndMoveWithTheirGeometry) {
  TempDir dir;
  auto s = openStore(dir / "cells.db");
  const auto roads = makeRoads(*s);
  // Box -99.9..-99.1 x 20.1..20.6 with 0.5 cells: columns N(160.2)=160 .. N(161.8)=162,
  // rows N(220.2)=220 .. N(221.2)=221.
  auto w = s->addElement(roads, {{-99.9, 20.1}, {-99.1, 20.6}}, {"Reforma", "1", "2.5", ""});
  EXPECT_EQ(w.id, 1);
  EXPECT_TRUE(w.gridChanged);
  const std::vector<CellKey> expected = {{220, 160}, {220, 161}, {220, 162},
                                         {221, 160}, {221, 161}, {221, 162}};
  EXPECT_EQ(w.cells, expected);
  for (const CellKey& c : expected) EXPECT_EQ(s->cellElements(roads, c).size(), 1u);
  EXPECT_TRUE(s->cellElements(roads, {222, 160}).empty());
  const LayerGrid g = s->layerInfo(roads)->grid;
  EXPECT_EQ(std::tuple(g.firstRow, g.lastRow, g.firstColumn, g.lastColumn),
            std::tuple(220, 221, 160, 162));

  auto w2 = s->addElement(roads, {{-99.5, 20.3}, {-99.4, 20.35}}, {"Reforma", "-1", "", "2"});
  EXPECT_FALSE(w2.gridChanged);  // inside the limits already
  EXPECT_EQ(s->cellFieldValues(roads, {221, 161}, "DIR")->values,
            (std::vector<std::string>{"1", "-1"}));

  std::vector<Value> values;  // texts converted by the field types
  const auto attributes = s->elementAttributes(roads, 1).value();
  for (const AttributeValue& a : attributes) values.push_back(a.value);
  EXPECT_EQ(values, (std::vector<Value>{std::string("Reforma"), std::int64_t{1}, 2.5, Value{}}));

  // Moving the element takes it out of its old cells and widens the grid.
  const ElementWrite moved = s->setGeometry(roads, 1, {{10.1, 10.1}}).value();
  EXPECT_EQ(moved.cells, (std::vector<CellKey>{{200, 380}}));
  EXPECT_TRUE(moved.gridChanged);
  EXPECT_EQ(s->cellElements(roads, {220, 160}).size(), 0u);
  EXPECT_EQ(s->cellElements(roads, {200, 380}).size(), 1u);

  EXPECT_TRUE(s->setAttributes(roads, 2, {"Juárez", "0", "1", "3"}));
  EXPECT_EQ((*s->elementAttributes(roads, 2))[0].value, Value{std::string("Juárez")});
  EXPECT_FALSE(s->setAttributes(roads, 42, {"a", "0", "1", "3"}));
  EXPECT_EQ(s->removeElement(roads, 2)->size(), 1u);
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

TEST(SqliteStore, OlderFilesAreMigratedAndNewerOnesRefused) {
  TempDir dir;
  const auto file = dir / "old.db";
  {
    SqliteDb db(file);
    migrate(db, 1);
    db.exec(
        "INSERT INTO layers (id, name, kind, cell_width, cell_height) VALUES (5, 'V', 1, 1, 1)");
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
  EXPECT_EQ(FaultOf([&] { openStore(file); }), StoreFault::StorageFailure);  // a newer schema
}

}  // namespace
}  // namespace orvenda::server
