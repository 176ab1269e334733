// One element or field: attributes (4/104), extent (15/115) and a field's values for
// the layer setup (6/106).
#include <gtest/gtest.h>

#include "server_rig.h"

namespace orvenda::server::test {
namespace {

Bytes ElementRequest(std::int16_t code, std::int32_t layer, std::int32_t element) {
  return Request(code, [&](DWBUffer& b) {
    b.PutLong(layer);
    b.PutLong(element);
  });
}

TEST(ServerElements, AttributesTravelEachByItsFieldType) {
  ServerRig rig;
  const TestData& d = rig.data();
  auto c = OpenViewer(rig);
  auto m = Ask(*c, ElementRequest(4, d.places, d.firstPlace), 104);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->GetLong(), d.places);
  EXPECT_EQ(m->GetLong(), d.firstPlace);
  ASSERT_EQ(m->GetInteger(), 5);
  EXPECT_EQ(m->GetInteger(), 200);
  EXPECT_EQ(m->GetString(), "Monterrey");
  EXPECT_EQ(m->GetInteger(), 3);
  EXPECT_EQ(m->GetLong(), 1142994);
  EXPECT_EQ(m->GetInteger(), 4);
  EXPECT_EQ(m->GetSingle(), 2.5f);
  EXPECT_EQ(m->GetInteger(), 2);
  EXPECT_EQ(m->GetInteger(), -7);
  EXPECT_EQ(m->GetInteger(), 5);
  EXPECT_EQ(m->GetDouble(), 969.7);
  EXPECT_EQ(m->Remaining(), 0);

  // No such element, and a layer without access: n = -1 and nothing after it.
  for (const auto& [layer, element] : {std::pair{d.places, 999999}, std::pair{d.secret, 1}}) {
    auto none = Ask(*c, ElementRequest(4, layer, element), 104);
    ASSERT_TRUE(none);
    EXPECT_EQ(none->GetLong(), layer);
    EXPECT_EQ(none->GetLong(), element);
    EXPECT_EQ(none->GetInteger(), -1);
    EXPECT_EQ(none->Remaining(), 0);
  }
}

TEST(ServerElements, ExtentIsTheElementsBoxOrTheMapWhenThereIsNone) {
  ServerRig rig;
  const TestData& d = rig.data();
  auto c = OpenViewer(rig);
  const auto id = rig.openStore()->cellElements(d.roads, d.farCell).at(0).id;
  struct Row {
    std::int32_t element;
    std::vector<double> box;
  };
  for (const Row& row : {Row{id, {-110, 20, -100.4, 24}}, Row{999999, {-101, 25, -100, 26}}}) {
    auto m = Ask(*c, ElementRequest(15, d.roads, row.element), 115);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->GetLong(), d.roads);
    EXPECT_EQ(m->GetLong(), row.element);
    for (const double v : row.box) EXPECT_EQ(m->GetDouble(), v);
  }
}

TEST(ServerElements, FieldValuesForTheLayerSetupByKind) {
  ServerRig rig;
  const TestData& d = rig.data();
  auto c = OpenViewer(rig);
  auto ask = [&](std::int32_t layer, const std::string& field, std::int16_t kind) {
    auto m = Ask(*c,
                 Request(6,
                         [&](DWBUffer& b) {
                           b.PutLong(layer);
                           b.PutString(field);
                           b.PutInteger(kind);
                         }),
                 106);
    EXPECT_TRUE(m);
    if (!m) return std::vector<std::string>{"<none>"};
    EXPECT_EQ(m->GetLong(), layer);
    EXPECT_EQ(m->GetString(), field);
    EXPECT_EQ(m->GetInteger(), kind);
    std::vector<std::string> out;
    if (kind == 1) {
      const std::int16_t n = m->GetInteger();
      for (int i = 0; i < n; ++i) out.push_back(m->GetString());
    } else if (kind == 2) {
      out.push_back(m->GetString());
      out.push_back(m->GetString());
    }
    EXPECT_EQ(m->Remaining(), 0);
    return out;
  };
  EXPECT_EQ(ask(d.roads, "NOMBRE", 1),
            (std::vector<std::string>{"Carretera", "Hidalgo", "Juárez"}));
  EXPECT_EQ(ask(d.places, "POBLACION", 2), (std::vector<std::string>{"132169", "1142994"}));
  EXPECT_EQ(ask(d.roads, "NO_HAY", 1), (std::vector<std::string>{}));
  EXPECT_EQ(ask(d.secret, "CLAVE", 1), (std::vector<std::string>{}));
  EXPECT_EQ(ask(d.roads, "NOMBRE", 0), (std::vector<std::string>{}));
}

}  // namespace
}  // namespace orvenda::server::test
