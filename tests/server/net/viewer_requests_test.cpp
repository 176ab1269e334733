// What a viewer asks once its map is open, answered field by field: cells (2/102), their
// values (5/105), attributes (4/104), extents (15/115) and a field's values (6/106).
// Every cell's contents are also compared with the store by tests/e2e.
#include <gtest/gtest.h>

#include <sstream>

#include "server_rig.h"

namespace orvenda::server::test {
namespace {

TEST(ServerViewerRequests, EachReplyCarriesWhatTheStoreHoldsAndClosedLayersNothing) {
  ServerRig rig;
  const TestData& d = rig.Data();
  const std::string roads = std::to_string(d.roads) + " ", places = std::to_string(d.places) + " ",
                    secret = std::to_string(d.secret) + " ";
  const CellKey near = d.nearCell, far = d.farCell, secretCell{116, 80};
  ASSERT_FALSE(rig.OpenStore()->CellElements(d.secret, secretCell).empty());
  auto ana = OpenViewer(rig);
  auto guest = OpenViewer(rig, "invitado", "");
  struct Row {
    ProtocolClient* client;
    Bytes request;
    std::int16_t code;
    std::string layout, want;
  };
  const Row rows[] = {
      // The relative form: Singles from the position the cell's indices stand for.
      {ana.get(), CellRequest(d.roads, near), 102, "LLLBDDL LLFFFF LLFFFFFF LLFFFF",
       roads + "230 160 1 -100 25 3 1 2 -0.1 0.1 -0.05 0.15 2 3 -0.12 0.2 -0.08 0.21 -0.02 0.22 "
               "3 2 -0.3 0.1 -0.2 0.05 "},
      // Doubles (origin 0, 0) where Singles from the origin are not precise enough.
      {ana.get(), CellRequest(d.roads, far), 102, "LLLBDDLLLDDDD",
       roads + "220 140 0 0 0 1 4 2 -110 20 -100.4 24 "},
      {ana.get(), CellRequest(d.secret, secretCell), 102, "LLLBDDL", secret + "116 80 0 0 0 0 "},
      {guest.get(), CellRequest(d.roads, near), 102, "LLLBDDL", roads + "230 160 0 0 0 0 "},
      // Each distinct text once, every element pointing at its text's position.
      {ana.get(), RequestWith(5, d.roads, near.row, near.column, "nombre"), 105, "LSLLLLLLLLSS",
       roads + "\"nombre\" 3 1 1 2 1 3 2 2 \"Juárez\" \"Hidalgo\" "},
      {ana.get(), RequestWith(5, d.roads, 0, 0, "NOMBRE"), 105, "LSL", roads + "\"NOMBRE\" 0 "},
      {ana.get(), RequestWith(5, d.secret, 116, 80, "CLAVE"), 105, "LSL", secret + "\"CLAVE\" 0 "},
      {guest.get(), RequestWith(5, d.roads, near.row, near.column, "NOMBRE"), 105, "LSL",
       roads + "\"NOMBRE\" 0 "},
      // Each value after its field's type: 200 text, 3 Long, 4 Single, 2 Integer, 5 Double;
      // no such element or no access: -1.
      {ana.get(), RequestWith(4, d.places, d.firstPlace), 104, "LLIISILIFIIID",
       places + std::to_string(d.firstPlace) +
           " 5 200 \"Monterrey\" 3 1142994 4 2.5 2 -7 5 969.7 "},
      {ana.get(), RequestWith(4, d.secret, 1), 104, "LLI", secret + "1 -1 "},
      // The element's box, or the map's when there is none.
      {ana.get(), RequestWith(15, d.roads, 4), 115, "LLDDDD", roads + "4 -110 20 -100.4 24 "},
      {ana.get(), RequestWith(15, d.roads, 999999), 115, "LLDDDD",
       roads + "999999 -101 25 -100 26 "},
      // For the layer setup: kind 1 the distinct texts in order (numbers in numeric order),
      // kind 2 the lowest and highest, other kinds nothing.
      {ana.get(), RequestWith(6, d.roads, "NOMBRE", std::int16_t{1}), 106, "LSIISSS",
       roads + "\"NOMBRE\" 1 3 \"Carretera\" \"Hidalgo\" \"Juárez\" "},
      {ana.get(), RequestWith(6, d.places, "POBLACION", std::int16_t{1}), 106, "LSIISS",
       places + "\"POBLACION\" 1 2 \"132169\" \"1142994\" "},
      {ana.get(), RequestWith(6, d.places, "POBLACION", std::int16_t{2}), 106, "LSISS",
       places + "\"POBLACION\" 2 \"132169\" \"1142994\" "},
      {ana.get(), RequestWith(6, d.secret, "CLAVE", std::int16_t{1}), 106, "LSII",
       secret + "\"CLAVE\" 1 0 "},
      {ana.get(), RequestWith(6, d.roads, "NOMBRE", std::int16_t{0}), 106, "LSI",
       roads + "\"NOMBRE\" 0 "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.want);
    auto m = Ask(*row.client, row.request, row.code);
    ASSERT_TRUE(m);
    std::string layout = row.layout;
    std::erase(layout, ' ');
    EXPECT_EQ(ReadFields(*m, layout), row.want);
    EXPECT_EQ(m->Remaining(), 0);
  }
  EXPECT_NE(rig.LogText().find("has no access to layer"), std::string::npos);
}

// A long coast spans many cells; sent with each, it would cross the wire once per cell.
TEST(ServerViewerRequests, ALargeElementTravelsOncePerMapDefinition) {
  ServerRig rig;
  const TestData& d = rig.Data();
  const std::vector<Value> values{"Costa", std::int64_t{0}, 1.5, std::int64_t{2}};
  std::vector<Point> coast;
  for (int k = 0; k < 300; ++k) coast.push_back({-101 + k * 0.0045, 10.1});
  rig.OpenStore()->AddElementTyped(d.roads, coast, values);
  rig.OpenStore()->AddElementTyped(d.roads, {{-101, 10.2}, {-99.7, 10.2}}, values);  // small
  auto ana = OpenViewer(rig);
  const CellKey first{200, 158}, second{200, 160};
  // The elements of each reply: the coast is left out once sent, until request 1 (the
  // viewer building its layers again); the small line comes every time.
  const std::pair<Bytes, int> steps[] = {
      {CellRequest(d.roads, first), 2},  {CellRequest(d.roads, second), 1},
      {CellRequest(d.roads, first), 1},  {RequestWith(1, TestData::kMap), -1},
      {CellRequest(d.roads, second), 2},
  };
  for (const auto& [request, elements] : steps) {
    auto m = Ask(*ana, request, elements < 0 ? 101 : 102);
    ASSERT_TRUE(m);
    if (elements < 0) continue;
    std::istringstream fields(ReadFields(*m, "LLLBDDL"));
    std::string n;
    for (int k = 0; k < 7; ++k) fields >> n;
    EXPECT_EQ(n, std::to_string(elements));
  }
}

}  // namespace
}  // namespace orvenda::server::test
