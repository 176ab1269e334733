// The map-opening sequence 10 -> 110, 1 -> 101, 11 -> 111, with exact field values, and
// the refusals around it.
#include <gtest/gtest.h>

#include "server_rig.h"

namespace orvenda::server::test {
namespace {

// The fields of a layer record up to its field list: name, id, kind, grid limits (first
// row, first column, last row, last column), cell size, visibility, zoom, style, label
// field, label zoom, visibility, bold and colour, thematic field and type.
constexpr std::string_view kLayerHead = "SLILLLLFFIFFLIILISFFIILSI";

TEST(ServerMapOpening, SequenceCarriesTheStoredMapAndOnlyToItsUser) {
  ServerRig rig;
  const TestData& d = rig.Data();
  const std::int32_t ana = Login(rig.Port(), "ana", "secreta");
  ProtocolClient c(rig.Port());
  ASSERT_EQ(OpenMap(c, ana, TestData::kMap), 0);
  auto m = Ask(c, RequestWith(1, TestData::kMap), 101);
  ASSERT_TRUE(m);
  EXPECT_EQ(ReadFields(*m, "SFFFFLII"), "\"Ciudad\" -101 25 -100 26 65518 114 3 ");
  // Roads: label NOMBRE, no thematic field (a single space), four fields, no classes.
  EXPECT_EQ(ReadFields(*m, kLayerHead), "\"Calles\" " + std::to_string(d.roads) +
                                            " 2 220 140 230 160 0.5 0.5 1 0 50 16711680 0 1 "
                                            "12632064 0 \"NOMBRE\" 0 0 0 0 0 \" \" 0 ");
  EXPECT_EQ(ReadFields(*m, "ISISISISII"),
            "4 \"NOMBRE\" 202 \"DIR\" 2 \"LARGO\" 5 \"CARRILES\" 3 0 ");
  // Places: no label field, thematic POBLACION with two classes.
  EXPECT_EQ(ReadFields(*m, kLayerHead), "\"Lugares\" " + std::to_string(d.places) +
                                            " 1 1157 797 1157 797 0.1 0.1 2 0 0 1122867 2 3 "
                                            "4478310 7 \" \" 0.25 8 1 1 255 \"POBLACION\" 2 ");
  EXPECT_EQ(ReadFields(*m, "ISISISISISI"),
            "5 \"NOMBRE\" 200 \"POBLACION\" 3 \"ALTURA\" 4 \"CODIGO\" 2 \"AREA\" 5 ");
  EXPECT_EQ(ReadFields(*m, "ISSLIILISSLIILI"),
            "2 \"0\" \"200000\" 1 0 1 2 0 \"200000\" \"1e9\" 3 1 2 4 6 ");
  // The secret layer is still listed; its access level keeps it from being served.
  EXPECT_EQ(ReadFields(*m, kLayerHead), "\"Secreto\" " + std::to_string(d.secret) +
                                            " 4 116 80 116 80 1 1 1 0 0 16711680 0 1 12632064 0 "
                                            "\" \" 0 0 0 0 0 \" \" 0 ");
  EXPECT_EQ(ReadFields(*m, "ISII"), "1 \"CLAVE\" 8 0 ");
  EXPECT_EQ(m->Remaining(), 0);

  auto levels =
      Ask(c, RequestWith(11, ana, std::int16_t{4}, d.roads, d.places, d.secret, 9999), 111);
  ASSERT_TRUE(levels);
  EXPECT_EQ(ReadFields(*levels, "ILILILILI"), "4 " + std::to_string(d.roads) + " 1 " +
                                                  std::to_string(d.places) + " 2 " +
                                                  std::to_string(d.secret) + " 0 9999 0 ");
  EXPECT_EQ(levels->Remaining(), 0);
  // A map definition of another map than the one opened is refused; 11 with an unknown
  // handle lists nothing.
  auto foreign = Ask(c, RequestWith(1, TestData::kSecretMap), 101);
  ASSERT_TRUE(foreign);
  EXPECT_EQ(foreign->GetString(), "");
  levels = Ask(c, RequestWith(11, ana + 1, std::int16_t{1}, d.roads), 111);
  ASSERT_TRUE(levels);
  EXPECT_EQ(levels->GetInteger(), 0);

  // Made-up or foreign IDs cannot open or read a map.
  const std::int32_t bob = Login(rig.Port(), "bob", "bobpass");
  struct Row {
    const char* what;
    std::int32_t user, map, result;  // 1 unknown user ID, 2 map refused
  };
  const Row rows[] = {
      {"made-up user ID", ana ^ 0x13572468, TestData::kMap, 1},
      {"the account number instead of the handle", d.ana, TestData::kMap, 1},
      {"a map without a viewable layer", ana, TestData::kSecretMap, 2},
      {"a user without rights", bob, TestData::kMap, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ProtocolClient other(rig.Port());
    EXPECT_EQ(OpenMap(other, row.user, row.map), row.result);
    // Whatever follows is answered, but empty.
    auto def = Ask(other, RequestWith(1, row.map), 101);
    ASSERT_TRUE(def);
    EXPECT_EQ(def->GetString(), "");
    auto cell = Ask(other, CellRequest(d.roads, d.nearCell), 102);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->TamanoBuffer(), 10 + 12 + 1 + 16 + 4) << "a cell without elements";
  }
}

// A storage failure while opening refused the map with "unknown user" and kept the
// handle attached for ever; it is a refusal of the map, and the handle goes back.
TEST(ServerMapOpening, HandlesExpireUnlessHeldAndAStorageFailureReleasesThem) {
  ServerRig rig;
  const std::int32_t held = Login(rig.Port(), "ana", "secreta");
  const std::int32_t unused = Login(rig.Port(), "ana", "secreta");
  const std::int32_t failed = Login(rig.Port(), "ana", "secreta");
  ProtocolClient holder(rig.Port());
  ASSERT_EQ(OpenMap(holder, held, TestData::kMap), 0);
  ExecSql(rig.DatabasePath(), "DROP TABLE access");
  ProtocolClient c(rig.Port());
  EXPECT_EQ(OpenMap(c, failed, TestData::kMap), 2);
  rig.Clock().Advance(ServerConfig{}.sessionLifetime + 1ms);
  // Held, the handle still names its user (the map is refused); unheld, it is unknown.
  for (const auto& [handle, result] : {std::pair{held, 2}, {unused, 1}, {failed, 1}}) {
    ProtocolClient again(rig.Port());
    EXPECT_EQ(OpenMap(again, handle, TestData::kMap), result);
  }
  const std::string log = rig.LogText();
  EXPECT_NE(log.find("failed open map (10): storage failure: "), std::string::npos) << log;
  EXPECT_NE(log.find("refused open map (10): unknown user ID"), std::string::npos) << log;
}

}  // namespace
}  // namespace orvenda::server::test
