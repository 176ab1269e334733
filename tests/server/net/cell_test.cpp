// Cells (2/102) and their field values (5/105): the reply carries what the store
// holds, in the relative form where Singles are precise enough and in Doubles where not.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <tuple>

#include "server_rig.h"

namespace orvenda::server::test {
namespace {

struct DecodedCell {
  std::int32_t layer = 0, i = 0, j = 0;
  std::uint8_t form = 0;
  Point origin;
  std::vector<CellElement> elements;
};

DecodedCell DecodeCell(DWBUffer& m) {
  DecodedCell c;
  c.layer = m.GetLong();
  c.i = m.GetLong();
  c.j = m.GetLong();
  c.form = m.GetByte();
  c.origin.x = m.GetDouble();
  c.origin.y = m.GetDouble();
  for (std::int32_t n = m.GetLong(); n > 0; --n) {
    CellElement e;
    e.id = m.GetLong();
    for (std::int32_t p = m.GetLong(); p > 0; --p) {
      // Form 0: two Doubles; otherwise two Singles from the cell's origin.
      if (c.form == 0) e.points.push_back({m.GetDouble(), m.GetDouble()});
      if (c.form != 0) e.points.push_back({c.origin.x + m.GetSingle(), c.origin.y + m.GetSingle()});
    }
    c.elements.push_back(std::move(e));
  }
  EXPECT_EQ(m.Remaining(), 0) << "bytes after the last element";
  return c;
}

Bytes ValuesRequest(std::int32_t layer, CellKey cell, const std::string& field) {
  return Request(5, [&](DWBUffer& b) {
    b.PutLong(layer);
    b.PutLong(cell.row);
    b.PutLong(cell.column);
    b.PutString(field);
  });
}

TEST(ServerCells, EveryCellOfALayerCarriesWhatTheStoreHolds) {
  ServerRig rig;
  const TestData& d = rig.data();
  auto store = rig.openStore();
  const LayerGrid g = store->layerInfo(d.roads)->grid;
  auto c = OpenViewer(rig);
  int relative = 0, full = 0, nonEmpty = 0;
  for (std::int32_t i = g.firstRow; i <= g.lastRow; ++i) {
    for (std::int32_t j = g.firstColumn; j <= g.lastColumn; ++j) {
      const CellKey key{i, j};
      auto m = Ask(*c, CellRequest(d.roads, key), 102);
      ASSERT_TRUE(m);
      const DecodedCell got = DecodeCell(*m);
      EXPECT_EQ(got.layer, d.roads);
      EXPECT_EQ(got.i, i);
      EXPECT_EQ(got.j, j);
      const auto want = store->cellElements(d.roads, key);
      ASSERT_EQ(got.elements.size(), want.size()) << "cell " << i << "," << j;
      for (std::size_t k = 0; k < want.size(); ++k) {
        EXPECT_EQ(got.elements[k].id, want[k].id);
        ASSERT_EQ(got.elements[k].points.size(), want[k].points.size());
        for (std::size_t v = 0; v < want[k].points.size(); ++v) {
          const Point a = got.elements[k].points[v], b = want[k].points[v];
          if (got.form == 0) {
            EXPECT_EQ(a.x, b.x);  // Doubles travel bit for bit
            EXPECT_EQ(a.y, b.y);
          } else {
            EXPECT_NEAR(a.x, b.x, 1e-7) << "cell " << i << "," << j;
            EXPECT_NEAR(a.y, b.y, 1e-7) << "cell " << i << "," << j;
          }
        }
      }
      nonEmpty += want.empty() ? 0 : 1;
      (got.form == 0 ? full : relative) += want.empty() ? 0 : 1;
    }
  }
  EXPECT_GT(nonEmpty, 100);
  EXPECT_GT(relative, 0);
  EXPECT_GT(full, 0);
}

TEST(ServerCells, FormIsRelativeNearTheOriginAndDoublesFarFromIt) {
  ServerRig rig;
  const TestData& d = rig.data();
  auto c = OpenViewer(rig);
  auto near = Ask(*c, CellRequest(d.roads, d.nearCell), 102);
  ASSERT_TRUE(near);
  // Relative points are two Singles: 8 bytes each, 7 points in all.
  EXPECT_EQ(near->TamanoBuffer(), 10 + 12 + 1 + 16 + 4 + 3 * 8 + 7 * 8);
  const DecodedCell relative = DecodeCell(*near);
  EXPECT_NE(relative.form, 0);
  // The origin is the position the cell's indices stand for.
  EXPECT_DOUBLE_EQ(relative.origin.x, 160 * 0.5 - 180);
  EXPECT_DOUBLE_EQ(relative.origin.y, 230 * 0.5 - 90);
  EXPECT_EQ(relative.elements.size(), 3u);

  auto far = Ask(*c, CellRequest(d.roads, d.farCell), 102);
  ASSERT_TRUE(far);
  const DecodedCell full = DecodeCell(*far);
  EXPECT_EQ(full.form, 0);
  ASSERT_EQ(full.elements.size(), 1u);
  const std::vector<Point>& p = full.elements[0].points;
  ASSERT_EQ(p.size(), 2u);
  EXPECT_EQ(std::tuple(p[0].x, p[0].y, p[1].x, p[1].y), std::tuple(-110.0, 20.0, -100.4, 24.0));
}

TEST(ServerCells, ValuesAreSentOncePerCellAndSharedByPosition) {
  ServerRig rig;
  const TestData& d = rig.data();
  auto c = OpenViewer(rig);
  auto m = Ask(*c, ValuesRequest(d.roads, d.nearCell, "nombre"), 105);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->GetLong(), d.roads);
  EXPECT_EQ(m->GetString(), "nombre");  // echoed as asked
  const std::int32_t n = m->GetLong();
  ASSERT_EQ(n, 3);
  std::map<std::int32_t, std::int32_t> position;
  for (int k = 0; k < n; ++k) {
    const std::int32_t id = m->GetLong();
    position[id] = m->GetLong();
  }
  const std::int32_t count = m->GetLong();
  std::vector<std::string> values;
  for (int k = 0; k < count; ++k) values.push_back(m->GetString());
  EXPECT_EQ(m->Remaining(), 0);
  ASSERT_EQ(values.size(), 2u);  // "Juárez" twice, "Hidalgo" once
  std::vector<std::string> byElement;
  for (const auto& [id, pos] : position) {
    ASSERT_GE(pos, 1);
    ASSERT_LE(pos, count);
    byElement.push_back(values[static_cast<std::size_t>(pos - 1)]);
  }
  EXPECT_EQ(byElement, (std::vector<std::string>{"Juárez", "Juárez", "Hidalgo"}));

  // An empty cell and an unknown field: n = 0 and the message ends there.
  for (const auto& [cell, field] : {std::pair{CellKey{0, 0}, std::string("NOMBRE")},
                                    std::pair{d.nearCell, std::string("NO_HAY")}}) {
    auto e = Ask(*c, ValuesRequest(d.roads, cell, field), 105);
    ASSERT_TRUE(e);
    e->GetLong();
    EXPECT_EQ(e->GetString(), field);
    EXPECT_EQ(e->GetLong(), 0);
    EXPECT_EQ(e->Remaining(), 0);
  }
}

TEST(ServerCells, LayersWithoutAccessServeNothing) {
  ServerRig rig;
  const TestData& d = rig.data();
  auto store = rig.openStore();
  const CellKey secretCell{116, 80};  // holds the secret polygon
  ASSERT_FALSE(store->cellElements(d.secret, secretCell).empty());
  struct Row {
    const char* who;
    std::string user, password;
    std::int32_t layer;
    CellKey cell;
  };
  const Row rows[] = {
      {"ana on the secret layer", "ana", "secreta", d.secret, secretCell},
      {"the guest on the roads", "invitado", "", d.roads, d.nearCell},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.who);
    auto c = OpenViewer(rig, row.user, row.password);
    auto cell = Ask(*c, CellRequest(row.layer, row.cell), 102);
    ASSERT_TRUE(cell);
    EXPECT_TRUE(DecodeCell(*cell).elements.empty());
    auto values = Ask(*c, ValuesRequest(row.layer, row.cell, "NOMBRE"), 105);
    ASSERT_TRUE(values);
    values->GetLong();
    values->GetString();
    EXPECT_EQ(values->GetLong(), 0);
  }
  EXPECT_NE(rig.logText().find("has no access to layer"), std::string::npos);
}

}  // namespace
}  // namespace orvenda::server::test
