// The map-opening sequence 10 -> 110, 1 -> 101, 11 -> 111, with exact field values, and
// the refusals around it.
#include <gtest/gtest.h>

#include <tuple>

#include "server_rig.h"
#include "store/sqlite_db.h"

namespace orvenda::server::test {
namespace {

Bytes MapDefinitionRequest(std::int32_t map) {
  return Request(1, [&](DWBUffer& b) { b.PutLong(map); });
}

Bytes AccessRequest(std::int32_t user, const std::vector<std::int32_t>& layers) {
  return Request(11, [&](DWBUffer& b) {
    b.PutLong(user);
    b.PutInteger(static_cast<std::int16_t>(layers.size()));
    for (auto id : layers) b.PutLong(id);
  });
}

auto Style(DWBUffer& m) {
  const std::int32_t line = m.GetLong();
  const std::int16_t lineStyle = m.GetInteger(), width = m.GetInteger();
  const std::int32_t fill = m.GetLong();
  return std::tuple{line, lineStyle, width, fill, m.GetInteger()};
}
using StyleTuple = std::tuple<std::int32_t, std::int16_t, std::int16_t, std::int32_t, std::int16_t>;

// One layer record of reply 101, read in wire order; the label and thematic fields stay
// as sent (" " for none).
struct WireLayer {
  std::string name;
  std::int32_t id = 0;
  std::int16_t kind = 0;
  std::int32_t limits[4] = {};
  float cell[2] = {}, zoom[2] = {}, labelZoom[2] = {};
  std::int16_t visibility = 0, labelVisibility = 0, bold = 0, thematicType = 0;
  StyleTuple style;
  std::string label, thematic;
  std::int32_t labelColor = 0;
  std::vector<std::pair<std::string, std::int16_t>> fields;
  std::vector<std::tuple<std::string, std::string, StyleTuple>> themes;
};

WireLayer ReadLayer(DWBUffer& m) {
  WireLayer l;
  l.name = m.GetString();
  l.id = m.GetLong();
  l.kind = m.GetInteger();
  for (auto& v : l.limits) v = m.GetLong();
  for (auto& v : l.cell) v = m.GetSingle();
  l.visibility = m.GetInteger();
  for (auto& v : l.zoom) v = m.GetSingle();
  l.style = Style(m);
  l.label = m.GetString();
  for (auto& v : l.labelZoom) v = m.GetSingle();
  l.labelVisibility = m.GetInteger();
  l.bold = m.GetInteger();
  l.labelColor = m.GetLong();
  l.thematic = m.GetString();
  l.thematicType = m.GetInteger();
  for (int n = m.GetInteger(); n > 0; --n) l.fields.push_back({m.GetString(), m.GetInteger()});
  for (int n = m.GetInteger(); n > 0; --n)
    l.themes.push_back({m.GetString(), m.GetString(), Style(m)});
  return l;
}

TEST(ServerMapOpening, SequenceCarriesTheStoredMapFieldByField) {
  ServerRig rig;
  const TestData& d = rig.data();
  const std::int32_t user = Login(rig.port(), "ana", "secreta");
  ProtocolClient c(rig.port());
  ASSERT_EQ(OpenMap(c, user, TestData::kMap), 0);

  auto m = Ask(c, MapDefinitionRequest(TestData::kMap), 101);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->GetString(), "Ciudad");
  for (const float v : {-101.0f, 25.0f, -100.0f, 26.0f}) EXPECT_EQ(m->GetSingle(), v);
  EXPECT_EQ(m->GetLong(), 0x00FFEE);
  EXPECT_EQ(m->GetInteger(), 114);
  ASSERT_EQ(m->GetInteger(), 3);
  const WireLayer roads = ReadLayer(*m), places = ReadLayer(*m), secret = ReadLayer(*m);
  EXPECT_EQ(m->Remaining(), 0);

  // Roads: label NOMBRE, no thematic field (a single space), four fields, no classes.
  EXPECT_EQ(std::tie(roads.name, roads.id, roads.kind), std::tuple("Calles", d.roads, 2));
  // First row, first column, last row, last column.
  EXPECT_EQ(std::vector<std::int32_t>(roads.limits, roads.limits + 4),
            (std::vector<std::int32_t>{220, 140, 230, 160}));
  EXPECT_EQ(std::tuple(roads.cell[0], roads.cell[1], roads.zoom[0], roads.zoom[1]),
            std::tuple(0.5f, 0.5f, 0.0f, 50.0f));
  EXPECT_EQ(roads.visibility, 1);
  EXPECT_EQ(roads.style, (StyleTuple{0xFF0000, 0, 1, 0xC0C000, 0}));
  EXPECT_EQ(std::tie(roads.label, roads.thematic), std::tuple("NOMBRE", " "));
  EXPECT_EQ(std::tuple(roads.labelVisibility, roads.bold, roads.labelColor, roads.thematicType),
            std::tuple(0, 0, 0, 0));
  EXPECT_EQ(roads.fields,
            (decltype(roads.fields){{"NOMBRE", 202}, {"DIR", 2}, {"LARGO", 5}, {"CARRILES", 3}}));
  EXPECT_TRUE(roads.themes.empty());

  // Places: no label field, thematic POBLACION with two classes.
  EXPECT_EQ(std::tie(places.name, places.id, places.kind), std::tuple("Lugares", d.places, 1));
  EXPECT_EQ(places.visibility, 2);
  EXPECT_EQ(places.style, (StyleTuple{0x112233, 2, 3, 0x445566, 7}));
  EXPECT_EQ(std::tie(places.label, places.thematic), std::tuple(" ", "POBLACION"));
  EXPECT_EQ(std::tuple(places.labelZoom[0], places.labelZoom[1]), std::tuple(0.25f, 8.0f));
  EXPECT_EQ(std::tuple(places.labelVisibility, places.bold, places.labelColor, places.thematicType),
            std::tuple(1, 1, 0x0000FF, 2));
  EXPECT_EQ(places.fields.size(), 5u);
  EXPECT_EQ(places.themes, (decltype(places.themes){{"0", "200000", {1, 0, 1, 2, 0}},
                                                    {"200000", "1e9", {3, 1, 2, 4, 6}}}));
  // The secret layer is still listed; its access level keeps it from being served.
  EXPECT_EQ(std::tie(secret.name, secret.id, secret.kind), std::tuple("Secreto", d.secret, 4));

  auto levels = Ask(c, AccessRequest(user, {d.roads, d.places, d.secret, 9999}), 111);
  ASSERT_TRUE(levels);
  ASSERT_EQ(levels->GetInteger(), 4);
  const std::pair<std::int32_t, std::int16_t> expected[] = {
      {d.roads, 1}, {d.places, 2}, {d.secret, 0}, {9999, 0}};
  for (const auto& [layer, level] : expected) {
    EXPECT_EQ(levels->GetLong(), layer);
    EXPECT_EQ(levels->GetInteger(), level) << "layer " << layer;
  }
  EXPECT_EQ(levels->Remaining(), 0);
}

TEST(ServerMapOpening, MadeUpOrForeignIdsCannotOpenOrReadAMap) {
  ServerRig rig;
  const TestData& d = rig.data();
  const std::int32_t ana = Login(rig.port(), "ana", "secreta");
  const std::int32_t bob = Login(rig.port(), "bob", "bobpass");
  struct Row {
    const char* what;
    std::int32_t user, map, result;  // 1 unknown user ID, 2 map refused
  };
  const Row rows[] = {
      {"made-up user ID", ana ^ 0x13572468, TestData::kMap, 1},
      {"the account number instead of the handle", d.ana, TestData::kMap, 1},
      {"zero", 0, TestData::kMap, 1},
      {"a map without a viewable layer", ana, TestData::kSecretMap, 2},
      {"a user without rights", bob, TestData::kMap, 2},
      {"a map that does not exist", ana, 4242, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ProtocolClient c(rig.port());
    EXPECT_EQ(OpenMap(c, row.user, row.map), row.result);
    // Whatever follows is answered, but empty.
    auto def = Ask(c, MapDefinitionRequest(row.map), 101);
    ASSERT_TRUE(def);
    EXPECT_EQ(def->GetString(), "");
    auto cell = Ask(c, CellRequest(d.roads, d.nearCell), 102);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->TamanoBuffer(), 10 + 12 + 1 + 16 + 4) << "a cell without elements";
  }
  // A map definition of another map than the one opened is refused too.
  ProtocolClient c(rig.port());
  ASSERT_EQ(OpenMap(c, ana, TestData::kMap), 0);
  auto other = Ask(c, MapDefinitionRequest(TestData::kSecretMap), 101);
  ASSERT_TRUE(other);
  EXPECT_EQ(other->GetString(), "");
  // 11 with an unknown handle lists nothing.
  auto levels = Ask(c, AccessRequest(ana + 1, {d.roads}), 111);
  ASSERT_TRUE(levels);
  EXPECT_EQ(levels->GetInteger(), 0);
}

TEST(ServerMapOpening, HandleExpiresButNotWhileAConnectionUsesIt) {
  ServerRig rig;
  const std::int32_t early = Login(rig.port(), "ana", "secreta");
  ProtocolClient holder(rig.port());
  ASSERT_EQ(OpenMap(holder, early, TestData::kMap), 0);
  const std::int32_t late = Login(rig.port(), "ana", "secreta");
  rig.clock().Advance(ServerConfig{}.sessionLifetime + 1ms);
  // The unused handle has expired; the held one still works, on a second connection too.
  ProtocolClient c1(rig.port()), c2(rig.port());
  EXPECT_EQ(OpenMap(c1, late, TestData::kMap), 1);
  EXPECT_EQ(OpenMap(c2, early, TestData::kMap), 0);
  EXPECT_TRUE(Ask(holder, CellRequest(rig.data().roads, rig.data().nearCell), 102));
}

// A storage failure while opening refused the map with "unknown user" and kept the
// handle attached for ever; it is a refusal of the map, and the handle goes back.
TEST(ServerMapOpening, AStorageFailureRefusesTheMapAndReleasesTheHandle) {
  ServerRig rig;
  const std::int32_t user = Login(rig.port(), "ana", "secreta");
  SqliteDb(rig.databasePath()).exec("DROP TABLE access");
  ProtocolClient c(rig.port());
  EXPECT_EQ(OpenMap(c, user, TestData::kMap), 2);
  rig.clock().Advance(ServerConfig{}.sessionLifetime + 1ms);
  ProtocolClient again(rig.port());
  EXPECT_EQ(OpenMap(again, user, TestData::kMap), 1);  // expired: nobody held it
  const std::string log = rig.logText();
  EXPECT_NE(log.find("failed open map (10): storage failure: "), std::string::npos) << log;
  EXPECT_NE(log.find("refused open map (10): unknown user ID"), std::string::npos) << log;
}

}  // namespace
}  // namespace orvenda::server::test
