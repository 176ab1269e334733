#include "server_rig.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "store/password.h"

namespace orvenda::server::test {
namespace {

std::filesystem::path FreshDir() {
  std::random_device rd;
  auto dir = std::filesystem::temp_directory_path() /
             ("orvenda-net-" + std::to_string(rd()) + std::to_string(rd()));
  std::filesystem::create_directories(dir);
  return dir;
}

void AddRoads(Store& s, TestData& d) {
  d.roads = s.createLayer({"Calles", LayerKind::Polyline, 0.5f, 0.5f,
                           {{"NOMBRE", 202}, {"DIR", 2}, {"LARGO", 5}, {"CARRILES", 3}}});
  auto add = [&](std::vector<Point> pts, std::string name, std::int64_t dir) {
    s.addElementTyped(d.roads, pts, {name, dir, 1.5, std::int64_t{2}});
  };
  add({{-100.10, 25.10}, {-100.05, 25.15}}, "Juárez", 12);
  add({{-100.12, 25.20}, {-100.08, 25.21}, {-100.02, 25.22}}, "Juárez", 0);
  add({{-100.30, 25.10}, {-100.20, 25.05}}, "Hidalgo", 7);
  add({{-110.0, 20.0}, {-100.4, 24.0}}, "Carretera", 0);  // needs Doubles far from (-110, 20)
}

void AddPlaces(Store& s, TestData& d) {
  d.places = s.createLayer({"Lugares", LayerKind::Point, 0.1f, 0.1f,
                            {{"NOMBRE", 200}, {"POBLACION", 3}, {"ALTURA", 4}, {"CODIGO", 2},
                             {"AREA", 5}}});
  d.firstPlace = s.addElementTyped(d.places, {{-100.31, 25.67}},
                                   {std::string("Monterrey"), std::int64_t{1142994}, 2.5,
                                    std::int64_t{-7}, 969.7}).id;
  s.addElementTyped(d.places, {{-100.32, 25.68}},
                    {std::string("San Pedro"), std::int64_t{132169}, 0.75, std::int64_t{3},
                     70.8});
}

void Build(Store& s, TestData& d) {
  d.ana = s.addUser("ana", hashPassword("secreta"), false);
  d.guest = s.addUser("invitado", hashPassword(""), true);
  d.bob = s.addUser("bob", hashPassword("bobpass"), false);
  AddRoads(s, d);
  AddPlaces(s, d);
  d.secret = s.createLayer({"Secreto", LayerKind::Polygon, 1.0f, 1.0f, {{"CLAVE", 8}}});
  s.addElementTyped(d.secret, {{-100.5, 25.5}, {-100.4, 25.5}, {-100.4, 25.6}, {-100.5, 25.5}},
                    {std::string("X-1")});

  s.createMap({TestData::kMap, "Ciudad", {-101, 25, -100, 26}, 0x00FFEE, 114, {}});
  LayerRecord roads;
  roads.id = d.roads;
  roads.labelField = "NOMBRE";
  roads.zoomMax = 50;
  s.addLayerToMap(TestData::kMap, roads);
  LayerRecord places;
  places.id = d.places;
  places.userVisibility = 2;
  places.style = {0x112233, 2, 3, 0x445566, 7};
  places.thematicField = "POBLACION";
  places.thematicType = 2;
  places.labelBold = true;
  places.labelColor = 0x0000FF;
  places.labelZoomMin = 0.25f;
  places.labelZoomMax = 8;
  places.userLabelVisibility = 1;
  places.themes = {{"0", "200000", {1, 0, 1, 2, 0}}, {"200000", "1e9", {3, 1, 2, 4, 6}}};
  s.addLayerToMap(TestData::kMap, places);
  LayerRecord secret;
  secret.id = d.secret;
  s.addLayerToMap(TestData::kMap, secret);
  s.createMap({TestData::kSecretMap, "Secreto", {-101, 25, -100, 26}, 0, 0, {}});
  s.addLayerToMap(TestData::kSecretMap, secret);

  s.setAccess(d.ana, d.roads, AccessLevel::Viewer);
  s.setAccess(d.ana, d.places, AccessLevel::Editor);
  s.setAccess(d.guest, d.places, AccessLevel::Viewer);
}

}  // namespace

ServerRig::ServerRig(ServerConfig config) : dir_(FreshDir()), db_(dir_ / "map.db") {
  {
    auto store = ::orvenda::server::openStore(db_);
    Build(*store, data_);
  }
  config.listen = "127.0.0.1";
  config.port = 0;
  config.logFile = (dir_ / "server.log").string();
  log_ = std::make_unique<ServerLog>(config.logFile, std::cerr);
  const auto db = db_;
  server_ = std::make_unique<Server>(config, [db] { return ::orvenda::server::openStore(db); },
                                     *log_);
  server_->start();
}

ServerRig::~ServerRig() {
  server_->stop();
  server_->wait();
  server_.reset();
  log_.reset();
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

std::unique_ptr<Store> ServerRig::openStore() const { return ::orvenda::server::openStore(db_); }

std::string ServerRig::logText() const {
  std::ifstream in(dir_ / "server.log");
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::int32_t Login(std::uint16_t port, const std::string& user, const std::string& password) {
  ProtocolClient c(port);
  c.send(Request(12, [&](DWBUffer& b) {
    b.PutString(user);
    b.PutString(password);
  }));
  auto reply = c.receive();
  if (!reply || ProtocolClient::codeOf(*reply) != 112) return -9999;
  return reply->GetLong();
}

std::int32_t OpenMap(ProtocolClient& c, std::int32_t userId, std::int32_t map) {
  auto reply = Ask(c, Request(10, [&](DWBUffer& b) {
    b.PutLong(userId);
    b.PutLong(map);
  }), 110);
  return reply ? reply->GetInteger() : -9999;
}

std::optional<DWBUffer> Ask(ProtocolClient& c, const Bytes& request, std::int16_t code) {
  if (!c.send(request)) {
    ADD_FAILURE() << "could not send request";
    return std::nullopt;
  }
  auto reply = c.receive();
  if (!reply) {
    ADD_FAILURE() << "no reply " << code << " within the time limit";
    return std::nullopt;
  }
  EXPECT_EQ(ProtocolClient::codeOf(*reply), code);
  if (ProtocolClient::codeOf(*reply) != code) return std::nullopt;
  return reply;
}

}  // namespace orvenda::server::test
