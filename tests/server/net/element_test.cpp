// One element or field: attributes (4/104), extent (15/115) and a field's values for
// the layer setup (6/106).
#include <gtest/gtest.h>

#include "server_rig.h"

namespace orvenda::server::test {
namespace {

TEST(ServerElements, AttributesTravelEachByItsFieldType) {
  ServerRig rig;
  const TestData& d = rig.Data();
  auto c = OpenViewer(rig);
  auto m = Ask(*c, RequestWith(4, d.places, d.firstPlace), 104);
  ASSERT_TRUE(m);
  // Each value after its field's type: 200 text, 3 Long, 4 Single, 2 Integer, 5 Double.
  EXPECT_EQ(ReadFields(*m, "LLIISILIFIIID"),
            std::to_string(d.places) + " " + std::to_string(d.firstPlace) +
                " 5 200 \"Monterrey\" 3 1142994 4 2.5 2 -7 5 969.7 ");
  EXPECT_EQ(m->Remaining(), 0);
  // No such element, and a layer without access: n = -1 and nothing after it.
  for (const auto& [layer, element] : {std::pair{d.places, 999999}, std::pair{d.secret, 1}}) {
    auto none = Ask(*c, RequestWith(4, layer, element), 104);
    ASSERT_TRUE(none);
    EXPECT_EQ(ReadFields(*none, "LLI"),
              std::to_string(layer) + " " + std::to_string(element) + " -1 ");
    EXPECT_EQ(none->Remaining(), 0);
  }
}

TEST(ServerElements, ExtentIsTheElementsBoxOrTheMapWhenThereIsNone) {
  ServerRig rig;
  const TestData& d = rig.Data();
  auto c = OpenViewer(rig);
  const auto id = rig.OpenStore()->CellElements(d.roads, d.farCell).at(0).id;
  for (const auto& [element, box] :
       {std::pair{id, "-110 20 -100.4 24 "}, std::pair{999999, "-101 25 -100 26 "}}) {
    auto m = Ask(*c, RequestWith(15, d.roads, element), 115);
    ASSERT_TRUE(m);
    EXPECT_EQ(ReadFields(*m, "LLDDDD"),
              std::to_string(d.roads) + " " + std::to_string(element) + " " + box);
  }
}

TEST(ServerElements, FieldValuesForTheLayerSetupByKind) {
  ServerRig rig;
  const TestData& d = rig.Data();
  auto c = OpenViewer(rig);
  // What follows layer, field and kind: kind 1 the distinct texts in order, kind 2 the
  // lowest and highest, other kinds nothing.
  auto ask = [&](std::int32_t layer, const std::string& field, std::int16_t kind) {
    auto m = Ask(*c, RequestWith(6, layer, field, kind), 106);
    if (!m) return std::string("<none>");
    EXPECT_EQ(ReadFields(*m, "LSI"),
              std::to_string(layer) + " \"" + field + "\" " + std::to_string(kind) + " ");
    std::string rest = kind == 2 ? ReadFields(*m, "SS") : "";
    for (int n = kind == 1 ? m->GetInteger() : 0; n > 0; --n) rest += ReadFields(*m, "S");
    EXPECT_EQ(m->Remaining(), 0);
    return rest;
  };
  EXPECT_EQ(ask(d.roads, "NOMBRE", 1), "\"Carretera\" \"Hidalgo\" \"Juárez\" ");
  // Numbers in numeric order, for the list as for the range.
  EXPECT_EQ(ask(d.places, "POBLACION", 1), "\"132169\" \"1142994\" ");
  EXPECT_EQ(ask(d.places, "POBLACION", 2), "\"132169\" \"1142994\" ");
  EXPECT_EQ(ask(d.roads, "NO_HAY", 1), "");
  EXPECT_EQ(ask(d.secret, "CLAVE", 1), "");
  EXPECT_EQ(ask(d.roads, "NOMBRE", 0), "");
}

}  // namespace
}  // namespace orvenda::server::test
