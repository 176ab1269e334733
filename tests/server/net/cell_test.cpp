// Cells (2/102) and their field values (5/105): the relative form where Singles are
// precise enough and Doubles where not; every cell's contents are compared with the
// store by tests/e2e.
#include <gtest/gtest.h>

#include "server_rig.h"

namespace orvenda::server::test {
namespace {

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
  EXPECT_EQ(ReadFields(*near, "LLLBDDLLLFF"),
            std::to_string(d.roads) + " 230 160 1 -100 25 3 1 2 -0.1 0.1 ");
  auto far = Ask(*c, CellRequest(d.roads, d.farCell), 102);
  ASSERT_TRUE(far);
  EXPECT_EQ(ReadFields(*far, "LLLBDDLLLDDDD"),
            std::to_string(d.roads) + " 220 140 0 0 0 1 4 2 -110 20 -100.4 24 ");
  EXPECT_EQ(far->Remaining(), 0);
}

// Values: each distinct text once, every element pointing at its text's position;
// layers closed to the user serve neither elements nor values.
TEST(ServerCells, ValuesAreSharedByPositionAndClosedLayersServeNothing) {
  ServerRig rig;
  const TestData& d = rig.Data();
  const CellKey secretCell{116, 80};  // holds the secret polygon
  ASSERT_FALSE(rig.OpenStore()->CellElements(d.secret, secretCell).empty());
  struct Row {
    std::string user, password;
    std::int32_t layer;
    CellKey cell;
    std::string field;
    int elements;
    const char* layout;
    std::string values;  // after layer and field
  };
  const Row rows[] = {
      {"ana", "secreta", d.roads, d.nearCell, "nombre", 3, "LLLLLLLLSS",
       "3 1 1 2 1 3 2 2 \"Juárez\" \"Hidalgo\" "},
      {"ana", "secreta", d.roads, {0, 0}, "NOMBRE", 0, "L", "0 "},
      {"ana", "secreta", d.roads, d.nearCell, "NO_HAY", 3, "L", "0 "},
      {"ana", "secreta", d.secret, secretCell, "CLAVE", 0, "L", "0 "},
      {"invitado", "", d.roads, d.nearCell, "NOMBRE", 0, "L", "0 "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.user + " " + row.field);
    auto c = OpenViewer(rig, row.user, row.password);
    auto cell = Ask(*c, CellRequest(row.layer, row.cell), 102);
    ASSERT_TRUE(cell);
    ReadFields(*cell, "LLLBDD");
    EXPECT_EQ(cell->GetLong(), row.elements);
    auto m = Ask(*c, RequestWith(5, row.layer, row.cell.row, row.cell.column, row.field), 105);
    ASSERT_TRUE(m);
    EXPECT_EQ(ReadFields(*m, "LS"), std::to_string(row.layer) + " \"" + row.field + "\" ");
    EXPECT_EQ(ReadFields(*m, row.layout), row.values);
    EXPECT_EQ(m->Remaining(), 0);
  }
  EXPECT_NE(rig.LogText().find("has no access to layer"), std::string::npos);
}

}  // namespace
}  // namespace orvenda::server::test
