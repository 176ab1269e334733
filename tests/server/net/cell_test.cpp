// Cells (2/102) and their field values (5/105): the reply carries what the store
// holds, in the relative form where Singles are precise enough and in Doubles where not.
#include <gtest/gtest.h>

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
  c.origin = {m.GetDouble(), m.GetDouble()};
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

// Reply 105 read back: the field as echoed, how many distinct texts were sent, and the
// text of each element (by identifier).
struct DecodedValues {
  std::string field;
  std::size_t sent = 0;
  std::map<std::int32_t, std::string> byElement;
};

DecodedValues AskValues(ProtocolClient& c, std::int32_t layer, CellKey cell,
                        const std::string& field) {
  DecodedValues v;
  auto m = Ask(c, RequestWith(5, layer, cell.row, cell.column, field), 105);
  if (!m) return v;
  EXPECT_EQ(m->GetLong(), layer);
  v.field = m->GetString();
  std::vector<std::pair<std::int32_t, std::int32_t>> refs;
  for (std::int32_t n = m->GetLong(); n > 0; --n) refs.push_back({m->GetLong(), m->GetLong()});
  std::vector<std::string> texts;
  // Without elements the message ends after their count.
  for (std::int32_t n = refs.empty() ? 0 : m->GetLong(); n > 0; --n)
    texts.push_back(m->GetString());
  v.sent = texts.size();
  for (const auto& [id, position] : refs) {
    const bool valid = position >= 1 && position <= static_cast<std::int32_t>(texts.size());
    v.byElement[id] = valid ? texts[static_cast<std::size_t>(position - 1)] : "<bad position>";
  }
  EXPECT_EQ(m->Remaining(), 0);
  return v;
}

TEST(ServerCells, EveryCellOfALayerCarriesWhatTheStoreHolds) {
  ServerRig rig;
  const TestData& d = rig.Data();
  auto store = rig.OpenStore();
  const LayerGrid g = store->FindLayerInfo(d.roads)->grid;
  auto c = OpenViewer(rig);
  int relative = 0, full = 0;
  for (std::int32_t i = g.firstRow; i <= g.lastRow; ++i) {
    for (std::int32_t j = g.firstColumn; j <= g.lastColumn; ++j) {
      SCOPED_TRACE("cell " + std::to_string(i) + "," + std::to_string(j));
      auto m = Ask(*c, CellRequest(d.roads, {i, j}), 102);
      ASSERT_TRUE(m);
      const DecodedCell got = DecodeCell(*m);
      EXPECT_EQ(std::tuple(got.layer, got.i, got.j), std::tuple(d.roads, i, j));
      const auto want = store->CellElements(d.roads, {i, j});
      ASSERT_EQ(got.elements.size(), want.size());
      const double tolerance = got.form == 0 ? 0 : 1e-7;  // Doubles travel bit for bit
      for (std::size_t k = 0; k < want.size(); ++k) {
        EXPECT_EQ(got.elements[k].id, want[k].id);
        ASSERT_EQ(got.elements[k].points.size(), want[k].points.size());
        for (std::size_t v = 0; v < want[k].points.size(); ++v) {
          EXPECT_NEAR(got.elements[k].points[v].x, want[k].points[v].x, tolerance);
          EXPECT_NEAR(got.elements[k].points[v].y, want[k].points[v].y, tolerance);
        }
      }
      if (!want.empty()) ++(got.form == 0 ? full : relative);
    }
  }
  EXPECT_GT(relative + full, 100);
  EXPECT_GT(relative, 0);
  EXPECT_GT(full, 0);
}

// The origin of the relative form is the position the cell's indices stand for; the
// Doubles form sends 0, 0.
TEST(ServerCells, FormIsRelativeNearTheOriginAndDoublesFarFromIt) {
  ServerRig rig;
  const TestData& d = rig.Data();
  auto c = OpenViewer(rig);
  auto near = Ask(*c, CellRequest(d.roads, d.nearCell), 102);
  ASSERT_TRUE(near);
  // Relative points are two Singles: 8 bytes each, 7 points in all.
  EXPECT_EQ(near->TamanoBuffer(), 10 + 12 + 1 + 16 + 4 + 3 * 8 + 7 * 8);
  EXPECT_EQ(ReadFields(*near, "LLLBDDL"), std::to_string(d.roads) + " 230 160 1 -100 25 3 ");
  auto far = Ask(*c, CellRequest(d.roads, d.farCell), 102);
  ASSERT_TRUE(far);
  const std::string id = std::to_string(rig.OpenStore()->CellElements(d.roads, d.farCell)[0].id);
  EXPECT_EQ(ReadFields(*far, "LLLBDDLLLDDDD"),
            std::to_string(d.roads) + " 220 140 0 0 0 1 " + id + " 2 -110 20 -100.4 24 ");
}

TEST(ServerCells, ValuesAreSentOncePerCellAndSharedByPosition) {
  ServerRig rig;
  const TestData& d = rig.Data();
  auto c = OpenViewer(rig);
  const DecodedValues v = AskValues(*c, d.roads, d.nearCell, "nombre");
  EXPECT_EQ(v.field, "nombre");  // echoed as asked
  EXPECT_EQ(v.sent, 2u);         // "Juárez" twice, "Hidalgo" once
  std::vector<std::string> texts;
  for (const auto& [id, text] : v.byElement) texts.push_back(text);
  EXPECT_EQ(texts, (std::vector<std::string>{"Juárez", "Juárez", "Hidalgo"}));
  // An empty cell and an unknown field: no elements.
  EXPECT_TRUE(AskValues(*c, d.roads, {0, 0}, "NOMBRE").byElement.empty());
  EXPECT_TRUE(AskValues(*c, d.roads, d.nearCell, "NO_HAY").byElement.empty());
}

TEST(ServerCells, LayersWithoutAccessServeNothing) {
  ServerRig rig;
  const TestData& d = rig.Data();
  const CellKey secretCell{116, 80};  // holds the secret polygon
  ASSERT_FALSE(rig.OpenStore()->CellElements(d.secret, secretCell).empty());
  struct Row {
    std::string user, password;
    std::int32_t layer;
    CellKey cell;
  };
  for (const Row& row :
       {Row{"ana", "secreta", d.secret, secretCell}, Row{"invitado", "", d.roads, d.nearCell}}) {
    SCOPED_TRACE(row.user);
    auto c = OpenViewer(rig, row.user, row.password);
    auto cell = Ask(*c, CellRequest(row.layer, row.cell), 102);
    ASSERT_TRUE(cell);
    EXPECT_TRUE(DecodeCell(*cell).elements.empty());
    EXPECT_TRUE(AskValues(*c, row.layer, row.cell, "NOMBRE").byElement.empty());
  }
  EXPECT_NE(rig.LogText().find("has no access to layer"), std::string::npos);
}

}  // namespace
}  // namespace orvenda::server::test
