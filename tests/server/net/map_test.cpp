// The map-opening sequence 10 -> 110, 1 -> 101, 11 -> 111, with exact field values, and
// the refusals around it.
#include <gtest/gtest.h>

#include <thread>

#include "server_rig.h"

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

struct Style {
  std::int32_t lineColor;
  std::int16_t lineStyle, lineWidth;
  std::int32_t fillColor;
  std::int16_t fillStyle;
  friend bool operator==(const Style&, const Style&) = default;
};

Style ReadStyle(DWBUffer& m) {
  Style s{};
  s.lineColor = m.GetLong();
  s.lineStyle = m.GetInteger();
  s.lineWidth = m.GetInteger();
  s.fillColor = m.GetLong();
  s.fillStyle = m.GetInteger();
  return s;
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
  EXPECT_EQ(m->GetSingle(), -101.0f);
  EXPECT_EQ(m->GetSingle(), 25.0f);
  EXPECT_EQ(m->GetSingle(), -100.0f);
  EXPECT_EQ(m->GetSingle(), 26.0f);
  EXPECT_EQ(m->GetLong(), 0x00FFEE);
  EXPECT_EQ(m->GetInteger(), 114);
  ASSERT_EQ(m->GetInteger(), 3);

  // Roads: label NOMBRE, no thematic field (a single space), four fields, no classes.
  EXPECT_EQ(m->GetString(), "Calles");
  EXPECT_EQ(m->GetLong(), d.roads);
  EXPECT_EQ(m->GetInteger(), 2);
  const std::int32_t limits[4] = {m->GetLong(), m->GetLong(), m->GetLong(), m->GetLong()};
  EXPECT_EQ(limits[0], 220);  // first row, first column, last row, last column
  EXPECT_EQ(limits[1], 140);
  EXPECT_EQ(limits[2], 230);
  EXPECT_EQ(limits[3], 160);
  EXPECT_EQ(m->GetSingle(), 0.5f);
  EXPECT_EQ(m->GetSingle(), 0.5f);
  EXPECT_EQ(m->GetInteger(), 1);     // user visibility
  EXPECT_EQ(m->GetSingle(), 0.0f);   // zoom min
  EXPECT_EQ(m->GetSingle(), 50.0f);  // zoom max
  EXPECT_EQ(ReadStyle(*m), (Style{0xFF0000, 0, 1, 0xC0C000, 0}));
  EXPECT_EQ(m->GetString(), "NOMBRE");
  for (int i = 0; i < 2; ++i) EXPECT_EQ(m->GetSingle(), 0.0f);
  EXPECT_EQ(m->GetInteger(), 0);  // label visibility
  EXPECT_EQ(m->GetInteger(), 0);  // not bold
  EXPECT_EQ(m->GetLong(), 0);
  EXPECT_EQ(m->GetString(), " ");  // no thematic field
  EXPECT_EQ(m->GetInteger(), 0);
  ASSERT_EQ(m->GetInteger(), 4);
  const std::pair<const char*, std::int16_t> roadFields[] = {
      {"NOMBRE", 202}, {"DIR", 2}, {"LARGO", 5}, {"CARRILES", 3}};
  for (const auto& [name, type] : roadFields) {
    EXPECT_EQ(m->GetString(), name);
    EXPECT_EQ(m->GetInteger(), type);
  }
  EXPECT_EQ(m->GetInteger(), 0);  // no thematic classes

  // Places: no label field, thematic POBLACION with two classes.
  EXPECT_EQ(m->GetString(), "Lugares");
  EXPECT_EQ(m->GetLong(), d.places);
  EXPECT_EQ(m->GetInteger(), 1);
  for (int i = 0; i < 4; ++i) m->GetLong();
  EXPECT_EQ(m->GetSingle(), 0.1f);
  EXPECT_EQ(m->GetSingle(), 0.1f);
  EXPECT_EQ(m->GetInteger(), 2);
  m->GetSingle();
  m->GetSingle();
  EXPECT_EQ(ReadStyle(*m), (Style{0x112233, 2, 3, 0x445566, 7}));
  EXPECT_EQ(m->GetString(), " ");
  EXPECT_EQ(m->GetSingle(), 0.25f);
  EXPECT_EQ(m->GetSingle(), 8.0f);
  EXPECT_EQ(m->GetInteger(), 1);
  EXPECT_EQ(m->GetInteger(), 1);  // bold
  EXPECT_EQ(m->GetLong(), 0x0000FF);
  EXPECT_EQ(m->GetString(), "POBLACION");
  EXPECT_EQ(m->GetInteger(), 2);
  ASSERT_EQ(m->GetInteger(), 5);
  for (int i = 0; i < 5; ++i) {
    m->GetString();
    m->GetInteger();
  }
  ASSERT_EQ(m->GetInteger(), 2);
  EXPECT_EQ(m->GetString(), "0");
  EXPECT_EQ(m->GetString(), "200000");
  EXPECT_EQ(ReadStyle(*m), (Style{1, 0, 1, 2, 0}));
  EXPECT_EQ(m->GetString(), "200000");
  EXPECT_EQ(m->GetString(), "1e9");
  EXPECT_EQ(ReadStyle(*m), (Style{3, 1, 2, 4, 6}));

  // The secret layer is still listed; its access level keeps it from being served.
  EXPECT_EQ(m->GetString(), "Secreto");
  EXPECT_EQ(m->GetLong(), d.secret);
  EXPECT_EQ(m->GetInteger(), 4);

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
    std::int32_t user, map;
  };
  const Row rows[] = {
      {"made-up user ID", ana ^ 0x13572468, TestData::kMap},
      {"the account number instead of the handle", d.ana, TestData::kMap},
      {"zero", 0, TestData::kMap},
      {"a map without a viewable layer", ana, TestData::kSecretMap},
      {"a user without rights", bob, TestData::kMap},
      {"a map that does not exist", ana, 4242},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ProtocolClient c(rig.port());
    EXPECT_NE(OpenMap(c, row.user, row.map), 0);
    // Whatever follows is answered, but empty.
    auto def = Ask(c, MapDefinitionRequest(row.map), 101);
    ASSERT_TRUE(def);
    EXPECT_EQ(def->GetString(), "");
    for (int i = 0; i < 4; ++i) def->GetSingle();
    def->GetLong();
    def->GetInteger();
    EXPECT_EQ(def->GetInteger(), 0);
    auto cell = Ask(c, CellRequest(d.roads, d.nearCell), 102);
    ASSERT_TRUE(cell);
    for (int i = 0; i < 3; ++i) cell->GetLong();
    cell->GetByte();
    cell->GetDouble();
    cell->GetDouble();
    EXPECT_EQ(cell->GetLong(), 0);
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
  ServerConfig config;
  config.sessionLifetime = 2500ms;
  ServerRig rig(config);
  const TestData& d = rig.data();
  const std::int32_t early = Login(rig.port(), "ana", "secreta");
  ProtocolClient holder(rig.port());
  ASSERT_EQ(OpenMap(holder, early, TestData::kMap), 0);
  const std::int32_t late = Login(rig.port(), "ana", "secreta");
  const auto lateIssued = std::chrono::steady_clock::now();
  std::this_thread::sleep_until(lateIssued + config.sessionLifetime + 200ms);
  // The unused handle has expired; the held one still works, on a second connection too.
  ProtocolClient c1(rig.port());
  EXPECT_NE(OpenMap(c1, late, TestData::kMap), 0);
  ProtocolClient c2(rig.port());
  EXPECT_EQ(OpenMap(c2, early, TestData::kMap), 0);
  auto cell = Ask(holder, CellRequest(d.roads, d.nearCell), 102);
  ASSERT_TRUE(cell);
  for (int i = 0; i < 3; ++i) cell->GetLong();
  cell->GetByte();
  cell->GetDouble();
  cell->GetDouble();
  EXPECT_EQ(cell->GetLong(), 3);
}

}  // namespace
}  // namespace orvenda::server::test
