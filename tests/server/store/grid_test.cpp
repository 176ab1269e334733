// Client and server must cut the grid alike: the server files an element under the
// cells of its box, the client asks for the cells of its view, and an element on a
// cell boundary that the two computed differently would never be delivered.
#include "store/grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "admin/commands.h"
#include "import/importer.h"
#include "model/layer.h"
#include "store/schema.h"
#include "store/sqlite_db.h"
#include "store/sqlite_store.h"
#include "temp_dir.h"
#include "test_backend.h"

namespace orvenda::server {
namespace {

// Half-cell boundaries (where rounding decides) and a hair either side of them, near
// the origin, around 0 and near the far edge, plus the edges themselves.
std::vector<double> Boundaries(double origin, float size) {
  std::vector<double> values = {-origin, origin, -origin + 1e-6, origin - 1e-6};
  const auto cells = static_cast<long>(2 * origin / size);
  for (long k : {0L, 1L, cells / 2 - 1, cells / 2, cells - 1})
    for (double hair : {0.0, 1e-9, -1e-9, 1e-6, -1e-6, 3e-6, -3e-6})
      values.push_back(-origin + (static_cast<double>(k) + 0.5) * size + hair);
  std::sort(values.begin(), values.end());
  return values;
}

TEST(GridAgreement, ClientAndServerAnswerTheSameCells) {
  test::TempDir dir;
  auto store = test::OpenTestStore(dir / "grid.db");
  for (float size : {0.25f, 0.5f, 1.0f, 0.1f, 7.5f}) {
    SCOPED_TRACE(size);
    const std::vector<double> xs = Boundaries(180, size), ys = Boundaries(90, size);
    // The importer files each point, as one element, under the cell it computes.
    SourceData data;
    for (double x : xs)
      for (double y : ys) data.features.push_back({{{{x, y}}}, {}});
    ImportOptions options;
    options.layerName = "grid " + std::to_string(size);
    options.cellSize = size;
    const std::int32_t imported = ImportData(*store, data, options).layerId;

    layer client;
    client.GridDeltaX = client.GridDeltaY = size;
    client.minCol = client.minRow = INT32_MIN;
    client.maxCol = client.maxRow = INT32_MAX;
    const LayerGrid grid{0, 0, 0, 0, size, size};
    std::int32_t id = 0;
    for (std::size_t i = 0; i < xs.size(); ++i) {
      for (std::size_t j = 0; j < ys.size(); ++j) {
        const Point p{xs[i], ys[j]};
        int32_t row = 0, column = 0;
        layer::GetRowColumn(p.x, p.y, size, size, row, column);
        const CellKey cell{row, column};
        SCOPED_TRACE(::testing::Message() << p.x << ", " << p.y << ": " << row << ", " << column);
        ASSERT_TRUE(client.CellOfPoint(p.x, p.y, column, row));
        ASSERT_EQ((CellKey{row, column}), cell);
        ASSERT_EQ(CellOfPoint(p, grid), cell);
        const auto filed = store->CellElements(imported, cell);
        ASSERT_TRUE(std::any_of(filed.begin(), filed.end(),
                                [id = ++id](const CellElement& e) { return e.id == id; }));
        // A box up to the next boundaries (when they are near): the client's view and
        // the server's element.
        const Point q{xs[std::min(i + 1, xs.size() - 1)], ys[std::min(j + 1, ys.size() - 1)]};
        if (q.x - p.x > 3 * size || q.y - p.y > 3 * size) continue;
        const Box box{p.x, p.y, q.x, q.y};
        const layer::CellList view = client.CellsInBox(p.x, p.y, q.x, q.y);
        const std::vector<CellKey> cells = CellsOfBox(box, size, size);
        ASSERT_EQ(CellCountOfBox(box, size, size), static_cast<std::int64_t>(cells.size()));
        ASSERT_EQ(cells.size(), view.rows.size());
        for (std::size_t k = 0; k < cells.size(); ++k)
          ASSERT_EQ(cells[k], (CellKey{view.rows[k], view.columns[k]}));
      }
    }
  }
}

// Nobody can compute the cells of a layer of cell size 0: neither the administration
// commands, nor the importer, nor the database itself take one.
TEST(SqliteGrid, ACellSizeOfZeroIsRefusedEverywhere) {
  test::TempDir dir;
  const std::string db = (dir / "zero.db").string();
  {
    SqliteDb raw(db);
    Migrate(raw, 3);  // a layer stored before the check existed
    raw.Exec("INSERT INTO layers (name, kind, cell_width, cell_height) VALUES ('Viejo', 1, 0, 0)");
    Migrate(raw);
    EXPECT_ANY_THROW(
        raw.Exec("INSERT INTO layers (name, kind, cell_width, cell_height) VALUES ('a', 1, 0, 1)"));
  }
  auto admin = [&db](std::vector<std::string> args) {
    args.insert(args.end(), {"--db", db});
    std::istringstream in;
    std::ostringstream out, err;
    return RunCommand(args, in, out, err);
  };
  ASSERT_EQ(admin({"map", "create", "5", "Prueba"}), kExitOk);
  EXPECT_EQ(admin({"map", "add-layer", "5", "Viejo"}), kExitInvalid);
  const std::string source = test::Fixture("places.geojson").string();
  EXPECT_EQ(admin({"import", source, "--cell-size", "0"}), kExitInvalid);
  EXPECT_EQ(admin({"import", source, "--cell-size", "1e-50"}), kExitInvalid);  // 0 as a float
  auto store = OpenStore(db);
  ImportOptions zero;
  zero.cellSize = 0.0f;
  EXPECT_THROW(ImportData(*store, SourceData{}, zero), StoreError);
  EXPECT_EQ(store->ListLayers().size(), 1u);
}

}  // namespace
}  // namespace orvenda::server
