// The store's own work that no request serves yet, or that only the store does:
// element writes, saving a map's setup, transactions and schema versions.
#include <gtest/gtest.h>
#include <unistd.h>

#include "store/pg_db.h"
#include "store/schema.h"
#include "store/sqlite_store.h"
#include "temp_dir.h"
#include "test_backend.h"

namespace orvenda::server {
namespace {

using test::FaultOf;
using test::TempDir;
using namespace std::chrono_literals;

TEST(Store, ElementWritesFileTheirCellsAndRefuseBadValues) {
  TempDir dir;
  auto s = test::OpenTestStore(dir / "cells.db");
  const auto roads = s->CreateLayer(
      {"Calles", LayerKind::Polyline, 0.5f, 0.5f, {{"NOMBRE", 202}, {"DIR", 2}, {"LARGO", 5}}});
  // Box -99.9..-99.1 x 20.1..20.6 with 0.5 cells: columns 160..162, rows 220..221.
  const auto w = s->AddElement(roads, {{-99.9, 20.1}, {-99.1, 20.6}}, {"Reforma", "1", "2.5"});
  EXPECT_EQ(std::tuple(w.id, w.gridChanged, w.cells.size()), std::tuple(1, true, 6u));
  // Moving takes the element out of its old cells and widens the grid.
  const ElementWrite moved = s->SetGeometry(roads, 1, {{10.1, 10.1}}).value();
  EXPECT_EQ(std::tuple(moved.cells, moved.gridChanged),
            std::tuple(std::vector<CellKey>{{200, 380}}, true));
  EXPECT_EQ(std::tie(moved.grid.firstRow, moved.grid.firstColumn, moved.grid.lastRow,
                     moved.grid.lastColumn),
            std::tuple(200, 160, 221, 380));
  EXPECT_TRUE(s->CellElements(roads, {220, 160}).empty());
  EXPECT_TRUE(s->SetAttributes(roads, 1, {"Juárez", "0", "1"}));
  EXPECT_EQ(s->ElementAttributes(roads, 1)->at(0).value, Value{std::string("Juárez")});
  EXPECT_EQ(s->RemoveElement(roads, 1)->size(), 1u);
  EXPECT_EQ(s->AddElement(roads, {{1, 1}}, {"", "", ""}).id, 2);  // an erased id is not reused
  const auto fine = s->CreateLayer({"Fino", LayerKind::Polygon, 0.001f, 0.001f, {}});
  using enum StoreFault;
  EXPECT_EQ(FaultOf([&] { s->AddElement(roads, {{0, 0}}, {"x", "99999", ""}); }), BadValue);
  // Millions of fine cells are refused, and a failed transaction leaves nothing behind.
  EXPECT_EQ(FaultOf([&] { s->AddElement(fine, {{-170, -80}, {170, 80}}, {}); }), BadValue);
  EXPECT_EQ(FaultOf([&] {
              s->Transaction([&] {
                s->AddElement(roads, {{1, 1}}, {"a", "", ""});
                s->AddElement(roads, {{1, 1}}, {"b", "not a number", ""});
              });
            }),
            BadValue);
  EXPECT_EQ(s->FindLayerInfo(roads)->elementCount + s->FindLayerInfo(fine)->elementCount, 1);
  // A transaction inside another that fails is undone alone; the outer one commits.
  s->Transaction([&] {
    s->AddElement(roads, {{1, 1}}, {"c", "", ""});
    EXPECT_EQ(FaultOf([&] {
                s->Transaction([&] {
                  s->AddElement(roads, {{2, 2}}, {"d", "", ""});
                  s->AddElement(roads, {{2, 2}}, {"e", "x", ""});
                });
              }),
              BadValue);
  });
  EXPECT_EQ(test::OpenTestStore(dir / "cells.db")->FindLayerInfo(roads)->elementCount, 2);
}

TEST(Store, SavingAMapTakesOnlyTheSetupAndKeepsNothingOfAFailure) {
  TempDir dir;
  auto s = test::OpenTestStore(dir / "save.db");
  s->CreateMap({3, "Ciudad", {-101, 25, -100, 26}, 0, 114, {}});
  s->CreateMap({4, "Otro", {}, 0, 0, {}});
  LayerRecord setup;
  setup.id = s->CreateLayer({"Calles", LayerKind::Polyline, 0.5f, 0.5f, {{"NOMBRE", 202}}});
  s->AddLayerToMap(3, setup);
  MapDefinition edited = s->FindMapDefinition(3).value();
  edited.layers[0].labelField = "NOMBRE";
  edited.layers[0].grid.cellWidth = 99;  // a client's grid is not taken
  edited.name = "Ciudad nueva";
  EXPECT_EQ(s->SaveMap(edited, SaveMode::Over, 0).code, 3);
  const MapDefinition def = s->FindMapDefinition(3).value();
  EXPECT_EQ(std::tie(def.name, def.layers[0].labelField, def.layers[0].grid.cellWidth),
            std::tuple("Ciudad nueva", "NOMBRE", 0.5f));
  edited.code = 0;  // as a new map: a fresh code, and a name of its own
  EXPECT_EQ(s->SaveMap(edited, SaveMode::AsNew, 0).result, SavedMap::InvalidName);
  edited.name = "Mi mapa";
  EXPECT_EQ(s->SaveMap(edited, SaveMode::AsNew, 0).code, 5);
  s->CreateMap({0x7FFFFFFF, "Último", {}, 0, 0, {}});  // past the last code: the first gap
  edited.name = "Otro mapa";
  EXPECT_EQ(s->SaveMap(edited, SaveMode::AsNew, 0).code, 6);
  for (const char* bad : {"", "tab\there"}) {
    edited.name = bad;
    EXPECT_EQ(s->SaveMap(edited, SaveMode::AsNew, 0).result, SavedMap::InvalidName) << bad;
  }
  edited.code = 3;  // a save that fails half way keeps nothing of it
  edited.name = "Roto";
  edited.layers[0].labelField = "NO_EXISTE";
  EXPECT_EQ(FaultOf([&] { s->SaveMap(edited, SaveMode::Over, 0); }), StoreFault::UnknownField);
  EXPECT_EQ(s->FindMapDefinition(3)->name, "Ciudad nueva");
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
  // Elements live in a rowid table since version 6: a large row is read only when asked for.
  EXPECT_NO_THROW(SqliteDb(file).Exec("SELECT rowid FROM elements"));
  SqliteDb(file).Exec("PRAGMA user_version = 99");
  EXPECT_EQ(FaultOf([&] { OpenStore(file); }), StoreFault::StorageFailure);  // a newer schema
}

// A lost connection is opened again by the next statement; while the database refuses
// it, attempts wait for their back-off, which reads the clock the connection was given.
TEST(Store, ALostConnectionIsOpenedAgainWithBackOff) {
  if (!test::TestingPostgres()) GTEST_SKIP() << "an SQLite file has no connection to lose";
  TempDir dir;
  const std::string admin = test::ConninfoOf(dir / "admin"), name = "t" + std::to_string(getpid());
  PgDb control(admin);
  control.Exec("CREATE DATABASE " + name);
  {
    auto now = std::chrono::steady_clock::time_point() + 1h;
    PgDb db(admin + " dbname=" + name, [&] { return now; });
    control.Exec("ALTER DATABASE " + name + " ALLOW_CONNECTIONS false");
    control.Exec("SELECT pg_terminate_backend(" + std::to_string(db.BackendPid()) + ", 10000)");
    const struct {
      const char* what;
      std::chrono::milliseconds later;
      const char* error;  // nothing when the statement runs
    } steps[] = {
        {"the statement that met the loss", 0ms, "database error"},
        {"the database refuses the first attempt", 0ms, "cannot reconnect"},
        {"no attempt before the back-off ends", PgDb::kFirstRetry - 1ms, "next attempt in 1 ms"},
        {"connected again once it has", 1ms, nullptr},
    };
    for (const auto& step : steps) {
      SCOPED_TRACE(step.what);
      now += step.later;
      if (step.later > 0ms) control.Exec("ALTER DATABASE " + name + " ALLOW_CONNECTIONS true");
      try {
        db.Exec("SELECT 1");
        EXPECT_EQ(step.error, nullptr);
      } catch (const StoreError& e) {
        ASSERT_NE(step.error, nullptr) << e.what();
        EXPECT_NE(std::string(e.what()).find(step.error), std::string::npos) << e.what();
      }
    }
    EXPECT_EQ(db.Reconnects(), 1u);
  }
  control.Exec("DROP DATABASE " + name);
}

}  // namespace
}  // namespace orvenda::server
