#pragma once
// CityViewer: one user's Viewer of a map (the network tests' city, or a demo map)
// against the real map server on loopback, logged in through the login control, on its own
// connection (the real socket, clock and pump), with scripted message boxes and menus.

#include <QList>
#include <QPoint>
#include <QSize>
#include <QTest>
#include <array>
#include <cmath>

#include "loopback.h"
#include "render/viewtransform.h"
#include "serverprocess.h"
#include "support/fakes.h"
#include "viewer/login.h"
#include "viewer/viewer.h"

namespace orvenda::testing {

struct CityViewer {
  ScriptedInteraction ui;
  ScriptedMenus menus;
  Viewer viewer{ViewerSeams{.ui = &ui, .menus = &menus}};
  QList<int> maps;  // what the login offered
  const server::test::TestData& data;

  // The map `mapCode` (the test city by default) in a view of `size`.
  CityViewer(const ServerProcess& server, const char* name, const char* password,
             std::int32_t mapCode = server::test::TestData::kMap, QSize size = {300, 300})
      : data(server.Data()) {
    int user = 0;
    login control(ui);
    QObject::connect(&control, &login::LoginResponse,
                     [&](int id, int, const QStringList&, const QList<int>& codes) {
                       maps = codes;
                       user = id;
                     });
    control.Checklogin("127.0.0.1", server.Port(), name, password);
    EXPECT_TRUE(WaitUntil([&] { return user != 0; }, 10000));
    viewer.resize(size);
    viewer.SetURL("127.0.0.1");
    viewer.Setport(server.Port());
    viewer.SetIDUser(user);
    viewer.SetMapCode(mapCode);
    viewer.show();
  }
  bool Idle() const { return viewer.PendingRequests() == 0; }
  // The map's layers are in and nothing is asked; Opened waits for it.
  bool Loaded() { return viewer.map().layerscargados && Idle(); }
  bool Opened() {
    return WaitUntil([&] { return Loaded(); }, 30000);
  }
  // The map is open with both places in sight and nothing asked.
  bool PlacesShown() {
    return WaitUntil(
        [&] {
          const layer* places = viewer.layers().Item(Key(data.places));
          return Idle() && places && places->Entidades.count() == 2;
        },
        15000);
  }
  // The first roads in sight (within `view`, lower left and upper right), once they
  // have arrived; roads are drawn below 50 km of view height.
  bool AimAtRoads(std::array<double, 4> view = {-100.15, 25.05, -100.0, 25.25}) {
    EXPECT_TRUE(Opened());
    viewer.ApplyExtents(view[0], view[1], view[2], view[3]);
    return WaitUntil([&] { return Road(1) && Idle(); }, 15000);
  }
  // Layers are looked up afresh each time: a change from the server may rebuild them.
  const Entidad* Element(std::int32_t layerId, std::int32_t id) {
    const layer* lay = viewer.layers().Item(Key(layerId));
    return lay ? lay->Entidades.ItemByID(id) : nullptr;
  }
  const Entidad* Road(std::int32_t id) { return Element(data.roads, id); }
  QPoint At(Point p) const {
    const SurfacePoint s = viewer.view().GeoToSurface(p.X, p.Y);
    return {static_cast<int>(std::lround(s.x)), static_cast<int>(std::lround(s.y))};
  }
  void Click(Point p) { QTest::mouseClick(&viewer, Qt::LeftButton, Qt::NoModifier, At(p)); }
  void Menu() { QTest::mouseClick(&viewer, Qt::RightButton, Qt::NoModifier, QPoint(5, 5)); }
};

}  // namespace orvenda::testing
