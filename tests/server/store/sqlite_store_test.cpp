#include "store/sqlite_store.h"

#include <gtest/gtest.h>

#include "store/schema.h"
#include "temp_dir.h"

namespace orvenda::server {
namespace {

using test::FaultOf;
using test::TempDir;

std::int32_t MakeRoads(Store& s) {
  return s.CreateLayer({"Calles",
                        LayerKind::Polyline,
                        0.5f,
                        0.5f,
                        {{"NOMBRE", 202}, {"DIR", 2}, {"LARGO", 5}, {"CARRILES", 3}}});
}

LayerRecord LayerSetup(std::int32_t layer) {
  LayerRecord r;
  r.id = layer;
  return r;
}

// Each refusal names its kind, so that the server and the admin commands can answer
// it precisely; none of them changes anything.
TEST(SqliteStore, RefusalsCarryTheirKind) {
  TempDir dir;
  auto s = OpenStore(dir / "faults.db");
  const auto ana = s->AddUser("ana", "h", false);
  const auto roads = MakeRoads(*s);
  s->CreateMap({7, "Ciudad", {}, 0, 0, {}});
  s->AddLayerToMap(7, LayerSetup(roads));
  LayerRecord badLabel = LayerSetup(roads);
  badLabel.labelField = "NO_EXISTE";
  MapDefinition badMap = s->FindMapDefinition(7).value();
  badMap.layers[0].id = 777;
  const auto fine = s->CreateLayer({"Fino", LayerKind::Polygon, 0.001f, 0.001f, {}});
  using enum StoreFault;
  EXPECT_EQ(FaultOf([&] { s->AddUser("ana", "x", false); }), BadValue);
  EXPECT_EQ(FaultOf([&] { s->AddUser("", "x", false); }), BadValue);
  EXPECT_EQ(FaultOf([&] { s->SetAccess(ana, roads + 9, AccessLevel::Viewer); }), UnknownLayer);
  EXPECT_EQ(FaultOf([&] { s->SetAccess(ana + 9, roads, AccessLevel::Viewer); }), UnknownRecord);
  EXPECT_EQ(FaultOf([&] { s->SetAccess(ana, roads, AccessLevel{4}); }), BadValue);
  EXPECT_EQ(FaultOf([&] { s->RemoveUser(ana + 9); }), UnknownRecord);
  EXPECT_EQ(FaultOf([&] { s->CreateMap({7, "Otra", {}, 0, 0, {}}); }), BadValue);
  EXPECT_EQ(FaultOf([&] { s->AddLayerToMap(7, LayerSetup(roads)); }), BadValue);
  EXPECT_EQ(FaultOf([&] { s->AddLayerToMap(8, LayerSetup(roads)); }), UnknownRecord);
  EXPECT_EQ(FaultOf([&] { s->UpdateLayerSetup(7, badLabel); }), UnknownField);
  EXPECT_EQ(FaultOf([&] { s->SaveMap(badMap); }), UnknownLayer);
  badMap.code = 42;  // a name of its own, so that only the code is wrong
  badMap.name = "Nuevo";
  badMap.layers[0].id = roads;
  EXPECT_EQ(FaultOf([&] { s->SaveMap(badMap); }), UnknownRecord);
  EXPECT_EQ(FaultOf([&] { s->AddElement(roads, {{0, 0}}, {"x", "99999", "", ""}); }), BadValue);
  EXPECT_EQ(FaultOf([&] { s->AddElement(roads, {{0, 0}}, {"x"}); }), BadValue);
  EXPECT_EQ(FaultOf([&] { s->AddElement(roads, {{0, 95}}, {"x", "", "", ""}); }), BadValue);
  EXPECT_EQ(FaultOf([&] { s->AddElement(99, {{0, 0}}, {}); }), UnknownLayer);
  // A layer of fine cells refuses an element that would cover millions of them.
  EXPECT_EQ(FaultOf([&] { s->AddElement(fine, {{-170, -80}, {170, 80}}, {}); }), BadValue);
  // None of them changed anything.
  EXPECT_EQ(s->ListUsers().size(), 1u);
  EXPECT_EQ(s->ListMaps().size(), 1u);
  EXPECT_EQ(s->FindLayerInfo(roads)->elementCount + s->FindLayerInfo(fine)->elementCount, 0);
  EXPECT_EQ(s->FindMapDefinition(7)->layers[0].labelField, "");
}

TEST(SqliteStore, SetupsKeepTheirOrderAndSavingTakesOnlyTheSetup) {
  TempDir dir;
  auto s = OpenStore(dir / "save.db");
  const auto roads = MakeRoads(*s);
  const auto parks = s->CreateLayer({"Parques", LayerKind::Polygon, 1, 1, {{"NOMBRE", 200}}});
  s->CreateMap({3, "Ciudad", {-101, 25, -100, 26}, 0, 114, {}});
  s->CreateMap({4, "Otro", {}, 0, 0, {}});
  s->AddLayerToMap(3, LayerSetup(roads));
  s->AddLayerToMap(3, LayerSetup(parks));
  LayerRecord p = LayerSetup(parks);
  p.labelField = "NOMBRE";
  p.themes = {{"0", "10", {1, 0, 1, 2, 0}}, {"10", "1e9", {3, 1, 2, 4, 6}}};
  s->UpdateLayerSetup(3, p);
  EXPECT_EQ(s->FindMapDefinition(3)->layers[1].themes.size(), 2u);  // order kept

  MapDefinition edited = s->FindMapDefinition(3).value();
  std::swap(edited.layers[0], edited.layers[1]);
  edited.layers[0].zoomMax = 12;
  edited.layers[0].themes.pop_back();
  edited.layers[0].grid.cellWidth = 99;  // a client's grid is not taken
  edited.layers[0].grid.lastRow = 5000;
  edited.layers[1].thematicField = "DIR";
  edited.name = "Ciudad nueva";
  EXPECT_EQ(s->SaveMap(edited).code, 3);
  const auto def = s->FindMapDefinition(3).value();
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
  const SavedMap saved = s->SaveMap(edited);
  EXPECT_EQ(std::pair(saved.result, saved.code), std::pair(SavedMap::Saved, 5));
  EXPECT_EQ(s->FindMapDefinition(5)->layers.size(), 1u);
  for (const char* bad : {"", "   ", "tab\there", "Otro", "Ciudad nueva"}) {
    edited.name = bad;
    EXPECT_EQ(s->SaveMap(edited).result, SavedMap::InvalidName) << bad;
  }
  EXPECT_EQ(s->ListMaps().size(), 3u);
  // A save that fails half way keeps nothing of it.
  MapDefinition broken = s->FindMapDefinition(3).value();
  broken.name = "Roto";
  broken.layers[1].labelField = "NO_EXISTE";
  EXPECT_THROW(s->SaveMap(broken), StoreError);
  EXPECT_EQ(s->FindMapDefinition(3)->name, "Ciudad nueva");
  EXPECT_FALSE(s->FindMapDefinition(8));
}

TEST(SqliteStore, ElementsLandInTheCellsOfTheirBoxAndMoveWithTheirGeometry) {
  TempDir dir;
  auto s = OpenStore(dir / "cells.db");
  const auto roads = MakeRoads(*s);
  // Box -99.9..-99.1 x 20.1..20.6 with 0.5 cells: columns N(160.2)=160 .. N(161.8)=162,
  // rows N(220.2)=220 .. N(221.2)=221.
  auto w = s->AddElement(roads, {{-99.9, 20.1}, {-99.1, 20.6}}, {"Reforma", "1", "2.5", ""});
  EXPECT_EQ(w.id, 1);
  EXPECT_TRUE(w.gridChanged);
  const std::vector<CellKey> expected = {{220, 160}, {220, 161}, {220, 162},
                                         {221, 160}, {221, 161}, {221, 162}};
  EXPECT_EQ(w.cells, expected);
  for (const CellKey& c : expected) EXPECT_EQ(s->CellElements(roads, c).size(), 1u);
  EXPECT_TRUE(s->CellElements(roads, {222, 160}).empty());
  const LayerGrid g = s->FindLayerInfo(roads)->grid;
  EXPECT_EQ(std::tuple(g.firstRow, g.lastRow, g.firstColumn, g.lastColumn),
            std::tuple(220, 221, 160, 162));

  auto w2 = s->AddElement(roads, {{-99.5, 20.3}, {-99.4, 20.35}}, {"Reforma", "-1", "", "2"});
  EXPECT_FALSE(w2.gridChanged);  // inside the limits already
  EXPECT_EQ(s->FindCellFieldValues(roads, {221, 161}, "DIR")->values,
            (std::vector<std::string>{"1", "-1"}));

  std::vector<Value> values;  // texts converted by the field types
  const auto attributes = s->ElementAttributes(roads, 1).value();
  for (const AttributeValue& a : attributes) values.push_back(a.value);
  EXPECT_EQ(values, (std::vector<Value>{std::string("Reforma"), std::int64_t{1}, 2.5, Value{}}));

  // Moving the element takes it out of its old cells and widens the grid.
  const ElementWrite moved = s->SetGeometry(roads, 1, {{10.1, 10.1}}).value();
  EXPECT_EQ(moved.cells, (std::vector<CellKey>{{200, 380}}));
  EXPECT_TRUE(moved.gridChanged);
  EXPECT_EQ(s->CellElements(roads, {220, 160}).size(), 0u);
  EXPECT_EQ(s->CellElements(roads, {200, 380}).size(), 1u);

  EXPECT_TRUE(s->SetAttributes(roads, 2, {"Juárez", "0", "1", "3"}));
  EXPECT_EQ((*s->ElementAttributes(roads, 2))[0].value, Value{std::string("Juárez")});
  EXPECT_FALSE(s->SetAttributes(roads, 42, {"a", "0", "1", "3"}));
  EXPECT_EQ(s->RemoveElement(roads, 2)->size(), 1u);
  EXPECT_FALSE(s->RemoveElement(roads, 2));
  EXPECT_FALSE(s->ElementExtent(roads, 2));
  // An erased identifier is never handed out again.
  EXPECT_EQ(s->AddElement(roads, {{1, 1}}, {"", "", "", ""}).id, 3);
}

TEST(SqliteStore, ATransactionThatFailsLeavesNothingBehind) {
  TempDir dir;
  auto s = OpenStore(dir / "tx.db");
  const auto roads = MakeRoads(*s);
  EXPECT_THROW(s->Transaction([&] {
    s->AddElement(roads, {{1, 1}}, {"a", "", "", ""});
    s->AddElement(roads, {{1, 1}}, {"b", "not a number", "", ""});
  }),
               StoreError);
  EXPECT_EQ(s->FindLayerInfo(roads)->elementCount, 0);
  s->Transaction([&] { s->AddElement(roads, {{1, 1}}, {"a", "", "", ""}); });
  EXPECT_EQ(s->FindLayerInfo(roads)->elementCount, 1);
}

TEST(SqliteStore, OlderFilesAreMigratedAndNewerOnesRefused) {
  TempDir dir;
  const auto file = dir / "old.db";
  {
    SqliteDb db(file);
    Migrate(db, 1);
    db.Exec(
        "INSERT INTO layers (id, name, kind, cell_width, cell_height) VALUES (5, 'V', 1, 1, 1)");
    db.Exec("INSERT INTO elements VALUES (5, 41, 1, 1, 1, 1, x'')");
    db.Exec("INSERT INTO elements VALUES (5, 17, 2, 2, 2, 2, x'')");
  }
  {
    auto s = OpenStore(file);
    EXPECT_EQ(s->FindLayerInfo(5)->elementCount, 2);
    EXPECT_EQ(s->AddElement(5, {{3, 3}}, {}).id, 42);
  }
  {
    SqliteDb db(file);
    EXPECT_EQ(SchemaVersion(db), LatestSchemaVersion());
    auto st = db.Prepare(
        "SELECT count(*) FROM sqlite_master WHERE name IN "
        "('attributes_by_value', 'element_cells_by_element')");
    ASSERT_TRUE(st.Step());
    EXPECT_EQ(st.Integer(0), 2);
    db.Exec("PRAGMA user_version = 99");
  }
  EXPECT_EQ(FaultOf([&] { OpenStore(file); }), StoreFault::StorageFailure);  // a newer schema
}

}  // namespace
}  // namespace orvenda::server
