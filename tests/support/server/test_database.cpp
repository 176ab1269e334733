#include "test_database.h"

#include "store/password.h"
#include "test_backend.h"

namespace orvenda::server::test {

TestData BuildTestDatabase(Store& s) {
  TestData d;
  // The least Argon2id cost: these accounts guard nothing, and logins stay quick.
  auto hash = [](const std::string& password) {
    return HashPassword(password, PasswordCost::Least);
  };
  d.ana = s.AddUser("ana", hash("secreta"), false);
  d.guest = s.AddUser("invitado", hash(""), true);
  d.bob = s.AddUser("bob", hash("bobpass"), false);
  const std::vector<FieldDef> roadFields = {
      {"NOMBRE", 202}, {"DIR", 2}, {"LARGO", 5}, {"CARRILES", 3}};
  d.roads = s.CreateLayer({"Calles", LayerKind::Polyline, 0.5f, 0.5f, roadFields});
  auto add = [&](std::vector<Point> pts, std::string name, std::int64_t dir) {
    s.AddElementTyped(d.roads, pts, {name, dir, 1.5, std::int64_t{2}});
  };
  add({{-100.10, 25.10}, {-100.05, 25.15}}, "Juárez", 12);
  add({{-100.12, 25.20}, {-100.08, 25.21}, {-100.02, 25.22}}, "Juárez", 0);
  add({{-100.30, 25.10}, {-100.20, 25.05}}, "Hidalgo", 7);
  add({{-110.0, 20.0}, {-100.4, 24.0}}, "Carretera", 0);  // needs Doubles far from (-110, 20)
  const std::vector<FieldDef> placeFields = {
      {"NOMBRE", 200}, {"POBLACION", 3}, {"ALTURA", 4}, {"CODIGO", 2}, {"AREA", 5}};
  d.places = s.CreateLayer({"Lugares", LayerKind::Point, 0.1f, 0.1f, placeFields});
  d.firstPlace = s.AddElementTyped(d.places, {{-100.31, 25.67}},
                                   {std::string("Monterrey"), std::int64_t{1142994}, 2.5,
                                    std::int64_t{-7}, 969.7})
                     .id;
  s.AddElementTyped(d.places, {{-100.32, 25.68}},
                    {std::string("San Pedro"), std::int64_t{132169}, 0.75, std::int64_t{3}, 70.8});
  d.secret = s.CreateLayer({"Secreto", LayerKind::Polygon, 1.0f, 1.0f, {{"CLAVE", 8}}});
  s.AddElementTyped(d.secret, {{-100.5, 25.5}, {-100.4, 25.5}, {-100.4, 25.6}, {-100.5, 25.5}},
                    {std::string("X-1")});

  s.CreateMap({TestData::kMap, "Ciudad", {-101, 25, -100, 26}, 0x00FFEE, 114, {}});
  LayerRecord setup;
  setup.id = d.roads;
  setup.labelField = "NOMBRE";
  setup.zoomMax = 50;
  s.AddLayerToMap(TestData::kMap, setup);
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
  s.AddLayerToMap(TestData::kMap, places);
  LayerRecord secret;
  secret.id = d.secret;
  s.AddLayerToMap(TestData::kMap, secret);
  s.CreateMap({TestData::kSecretMap, "Secreto", {-101, 25, -100, 26}, 0, 0, {}});
  s.AddLayerToMap(TestData::kSecretMap, secret);

  s.SetAccess(d.ana, d.roads, AccessLevel::Viewer);
  s.SetAccess(d.ana, d.places, AccessLevel::Editor);
  s.SetAccess(d.guest, d.places, AccessLevel::Viewer);
  return d;
}

TestData BuildTestDatabase(const std::filesystem::path& db) {
  auto store = OpenTestStore(db);
  return BuildTestDatabase(*store);
}

}  // namespace orvenda::server::test
