// Saving a map's setup (240 -> 241) against the real server: a save is what the next
// login lists and the next opening reads, and a save that may not be made changes nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <map>

#include "protocol/byteimage.h"
#include "protocol/savemapmessages.h"
#include "server_rig.h"

namespace orvenda::server::test {
namespace {

// The five drawing values, in the same order in a layer record and a theme record.
template <typename Drawn>
void Style(DWBUffer& m, Drawn& d) {
  d.drawColor = m.GetLong();
  d.drawStyle = m.GetInteger();
  d.drawWidth = m.GetInteger();
  d.fillColor = m.GetLong();
  d.fillStyle = m.GetInteger();
}

// Reply 101 read by the client's rules into the request that would save it unchanged.
SaveMapRequest AsSaveRequest(DWBUffer& m) {
  const auto none = [](std::string s) { return s == " " ? std::string() : s; };
  SaveMapRequest r;
  r.name = m.GetString();
  for (float* v : {&r.minX, &r.minY, &r.maxX, &r.maxY}) *v = m.GetSingle();
  r.backgroundColor = m.GetLong();
  r.projection = m.GetInteger();
  for (int n = m.GetInteger(); n > 0; --n) {
    SavedLayer& l = r.layers.emplace_back();
    l.name = m.GetString();
    l.id = m.GetLong();
    l.kind = m.GetInteger();
    for (std::int32_t* v : {&l.minCol, &l.minRow, &l.maxCol}) *v = m.GetLong();
    l.maxRow = static_cast<float>(m.GetLong());
    for (float* v : {&l.gridDeltaX, &l.gridDeltaY}) *v = m.GetSingle();
    l.userVisibility = m.GetInteger();
    for (float* v : {&l.zoomMin, &l.zoomMax}) *v = m.GetSingle();
    Style(m, l);
    l.lblField = none(m.GetString());
    for (float* v : {&l.lblZoomMin, &l.lblZoomMax}) *v = m.GetSingle();
    l.userLabelVisibility = m.GetInteger();
    l.lblBold = m.GetInteger() == 1;
    l.lblColor = m.GetLong();
    l.thematicField = none(m.GetString());
    l.thematicType = m.GetInteger();
    for (int f = m.GetInteger(); f > 0; --f) ReadFields(m, "SI");
    for (int k = m.GetInteger(); k > 0; --k) {
      SavedTheme& t = l.themes.emplace_back();
      t.min = m.GetString();
      t.max = m.GetString();
      Style(m, t);
    }
  }
  EXPECT_EQ(m.Remaining(), 0);
  return r;
}

struct Viewer {
  std::unique_ptr<ProtocolClient> c;
  SaveMapRequest map;  // the map as opened, ready to be saved back over itself
};

Viewer Open(ServerRig& rig, const std::string& user, const std::string& password,
            std::int32_t code) {
  Viewer v{std::make_unique<ProtocolClient>(rig.Port()), {}};
  const std::int32_t handle = Login(rig.Port(), user, password);
  EXPECT_EQ(OpenMap(*v.c, handle, code), 0);
  if (auto m = Ask(*v.c, RequestWith(1, code), 101)) v.map = AsSaveRequest(*m);
  v.map.userId = handle;
  v.map.mapCode = code;
  return v;
}

std::int16_t Save(ProtocolClient& c, const Bytes& request) {
  auto reply = Ask(c, request, 241);
  return reply ? reply->GetInteger() : -9999;
}

std::int16_t Save(ProtocolClient& c, const SaveMapRequest& r) {
  return Save(c, WriteSaveMap(r).buffer());
}

// The maps of a user's reply 112, by name.
std::map<std::string, std::int32_t> MapsListed(ServerRig& rig, const std::string& user,
                                               const std::string& password) {
  ProtocolClient c(rig.Port());
  std::map<std::string, std::int32_t> maps;
  auto m = Ask(c, RequestWith(12, user, password), 112);
  if (!m || m->GetLong() <= 0) return maps;
  ReadFields(*m, "III");
  for (int n = m->GetInteger(); n > 0; --n) {
    const std::int32_t code = m->GetLong();
    maps[m->GetString()] = code;
  }
  return maps;
}

TEST(ServerSaveMap, SavedAsANewMapItIsListedAndOpensWithTheSavedSetupThenSavesOver) {
  ServerRig rig;
  Viewer ana = Open(rig, "ana", "secreta", TestData::kMap);
  ASSERT_EQ(ana.map.layers.size(), 3u);
  SaveMapRequest mine = ana.map;
  mine.mapCode = 0;
  mine.name = "Mi ciudad";
  mine.minX = -100.5f;
  mine.maxY = 25.75f;
  mine.backgroundColor = 0x203040;
  mine.projection = 1;
  std::swap(mine.layers[0], mine.layers[1]);  // places drawn first
  SavedLayer& places = mine.layers[0];
  places.zoomMin = 0.5f;
  places.zoomMax = 99999;
  places.drawWidth = 7;
  places.lblField = "ALTURA";
  places.lblBold = false;
  places.thematicField = "NOMBRE";
  places.thematicType = 1;
  places.themes = {{0x0000FF, 0, 2, 0x00FF00, 1, "Monterrey", ""}};
  mine.layers[1].lblField = "";
  mine.layers[1].lblBold = true;
  ASSERT_EQ(Save(*ana.c, mine), 0);

  // The secret layer comes as the client lists every layer of its map; ana cannot view
  // it, so it stays out of a map of her own.
  SaveMapRequest expected = mine;
  expected.layers.pop_back();
  const auto listed = MapsListed(rig, "ana", "secreta");
  ASSERT_TRUE(listed.contains("Mi ciudad"));
  const std::int32_t code = listed.at("Mi ciudad");
  EXPECT_NE(code, TestData::kMap);
  EXPECT_TRUE(std::ranges::any_of(rig.OpenStore()->ListMaps(), [&](const MapSummary& m) {
    return m.code == code && m.name == "Mi ciudad";
  })) << "orvenda-server map list shows it";
  Viewer again = Open(rig, "ana", "secreta", code);
  expected.userId = again.map.userId;
  expected.mapCode = code;
  EXPECT_EQ(again.map, expected);

  // ana holds only the viewer level on roads, but she made this map.
  SaveMapRequest over = again.map;
  over.layers[1].zoomMax = 12;
  over.layers[0].themes.clear();
  ASSERT_EQ(Save(*again.c, over), 0);
  over.userId = 0;
  SaveMapRequest reopened = Open(rig, "ana", "secreta", code).map;
  reopened.userId = 0;
  EXPECT_EQ(reopened, over);
}

TEST(ServerSaveMap, RefusedSavesChangeNothingAndTheConnectionGoesOn) {
  ServerRig rig;
  const TestData& d = rig.Data();
  Viewer ana = Open(rig, "ana", "secreta", TestData::kMap);
  Viewer guest = Open(rig, "invitado", "", TestData::kMap);
  const auto asNew = [](SaveMapRequest r) {
    r.mapCode = 0;
    r.name = "Nuevo";
    return r;
  };
  using Edit = std::function<void(SaveMapRequest&)>;
  const auto wire = [&](Edit edit) {
    return [asNew, edit](const SaveMapRequest& base) {
      SaveMapRequest r = asNew(base);
      edit(r);
      return WriteSaveMap(r).buffer();
    };
  };
  // Raw edits of a save as "Nuevo", cut or lengthened; the declared length follows.
  const auto resized = [&](std::size_t size) {
    return [asNew, size](const SaveMapRequest& base) {
      Bytes b = WriteSaveMap(asNew(base)).buffer();
      b.resize(size == 0 ? b.size() + 2 : size);
      const auto length = byteimage::ToBytes(static_cast<std::int32_t>(b.size()));
      std::copy(length.begin(), length.end(), b.begin() + 4);
      return b;
    };
  };
  const auto manyLayers = [&](const SaveMapRequest& base) {
    Bytes b = WriteSaveMap(asNew(base)).buffer();
    const auto count = byteimage::ToBytes(std::int16_t{30000});
    std::copy(count.begin(), count.end(), b.begin() + 10 + 8 + 2 + 5 + 22);
    return b;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  struct Row {
    const char* what;
    Viewer* v;
    std::function<Bytes(const SaveMapRequest&)> request;
    std::int16_t result;
  };
  const Row rows[] = {
      {"a name another map holds", &ana, wire([](auto& r) { r.name = "Secreto"; }), 1},
      {"an empty name", &ana, wire([](auto& r) { r.name = ""; }), 1},
      {"a viewer saving over", &ana, wire([](auto& r) { r.mapCode = TestData::kMap; }), 1},
      {"another map than the open one", &ana,
       wire([](auto& r) { r.mapCode = TestData::kSecretMap; }), 1},
      {"a made-up user ID", &ana, wire([](auto& r) { r.userId ^= 0x5A5A; }), 1},
      {"the account number for the user ID", &ana, wire([&](auto& r) { r.userId = d.ana; }), 1},
      {"a guest", &guest, wire([](auto&) {}), 1},
      {"a NaN extent", &ana, wire([&](auto& r) { r.minX = nan; }), 1000},
      {"an infinite zoom", &ana, wire([&](auto& r) { r.layers[1].zoomMax = inf; }), 1000},
      {"a negative width", &ana, wire([](auto& r) { r.layers[0].drawWidth = -3; }), 1000},
      {"an absurd projection", &ana, wire([](auto& r) { r.projection = 30000; }), 1000},
      {"an unknown layer", &ana, wire([](auto& r) { r.layers[0].id = 999999; }), 1000},
      {"a layer listed twice", &ana, wire([](auto& r) { r.layers[2] = r.layers[0]; }), 1000},
      {"a label field the layer lacks", &ana,
       wire([](auto& r) { r.layers[1].lblField = "NO_EXISTE"; }), 1000},
      {"a message cut short", &ana, resized(60), 1000},
      {"bytes after the last layer", &ana, resized(0), 1000},
      {"30,000 layers claimed", &ana, manyLayers, 1000},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(Save(*row.v->c, row.request(row.v->map)), row.result);
    EXPECT_TRUE(Ask(*row.v->c, RequestWith(1, TestData::kMap), 101)) << "the connection goes on";
  }
  EXPECT_EQ(rig.OpenStore()->ListMaps().size(), 2u);
  SaveMapRequest now = Open(rig, "ana", "secreta", TestData::kMap).map;
  now.userId = ana.map.userId;
  EXPECT_EQ(now, ana.map);
  const std::string log = rig.LogText();
  EXPECT_NE(log.find("refused save map (240): user ID is not this connection's"),
            std::string::npos);
  EXPECT_NE(log.find("refused save map (240): bad value: "), std::string::npos);

  // The editor level on every layer of a map lets a user save over it, under its own
  // name but not under another map's.
  auto store = rig.OpenStore();
  for (const std::int32_t layer : {d.roads, d.places, d.secret})
    store->SetAccess(d.bob, layer, AccessLevel::Editor);
  Viewer bob = Open(rig, "bob", "bobpass", TestData::kMap);
  bob.map.backgroundColor = 0x0000FF;
  bob.map.name = "Secreto";
  EXPECT_EQ(Save(*bob.c, bob.map), 1);
  bob.map.name = "Ciudad";
  EXPECT_EQ(Save(*bob.c, bob.map), 0);
  EXPECT_EQ(store->FindMapDefinition(TestData::kMap)->backgroundColor, 0x0000FF);

  // Code 0 asks for a new map, but map 0 sent under its own name is saved over.
  store->CreateMap({0, "Mundo", {-180, -90, 180, 90}, 0, 0, {}});
  LayerRecord world;
  world.id = d.places;
  store->AddLayerToMap(0, world);
  Viewer zero = Open(rig, "bob", "bobpass", 0);
  zero.map.backgroundColor = 0x00FF00;
  EXPECT_EQ(Save(*zero.c, zero.map), 0);
  EXPECT_EQ(store->FindMapDefinition(0)->backgroundColor, 0x00FF00);
  EXPECT_EQ(store->ListMaps().size(), 3u) << "no new map";
}

}  // namespace
}  // namespace orvenda::server::test
