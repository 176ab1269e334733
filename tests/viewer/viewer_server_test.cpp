// The Viewer against the real map server program on a loopback port, serving the
// network tests' database: a login through the login control, then the whole
// opening of the map over a real socket, a zoom and the information of a place.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <cmath>

#include "loopback.h"
#include "pixels.h"
#include "protocol/elementinfo.h"
#include "render/viewtransform.h"
#include "serverprocess.h"
#include "viewer/login.h"
#include "viewer_rig.h"

namespace orvenda {
namespace {

using server::test::TestData;
using testing::WaitUntil;

TEST(ViewerWithRealServer, LogsInOpensTheMapDrawsItsElementsAndTellsTheirValues) {
  testing::ServerProcess server;
  ASSERT_TRUE(server.Start(ORVENDA_SERVER_EXE)) << server.Why().toStdString();
  testing::ScriptedInteraction ui;
  int user = 0;
  {
    login control(ui);
    QObject::connect(&control, &login::LoginResponse,
                     [&](int id, int, const QStringList&, const QList<int>& codes) {
                       EXPECT_EQ(codes, QList<int>{TestData::kMap});
                       user = id;
                     });
    control.Checklogin("127.0.0.1", server.Port(), "ana", "secreta");
    ASSERT_TRUE(WaitUntil([&] { return user != 0; }, 10000));
  }
  ASSERT_GT(user, 0);
  testing::ScriptedMenus menus;
  Viewer viewer(ViewerSeams{.ui = &ui, .menus = &menus});  // the real socket, clock and pump
  viewer.resize(300, 300);
  viewer.SetURL("127.0.0.1");
  viewer.Setport(server.Port());
  viewer.SetIDUser(user);
  viewer.SetMapCode(TestData::kMap);
  viewer.show();
  // The places are in sight; the roads are not at this zoom, and the secret
  // layer, which ana may not see, is never asked for.
  auto count = [&](std::int32_t id) {
    const layer* l = viewer.layers().Item(std::to_string(id));
    return l ? l->Entidades.count() : -1;
  };
  const TestData& data = server.Data();
  ASSERT_TRUE(WaitUntil(
      [&] {
        return viewer.map().layerscargados && viewer.PendingRequests() == 0 &&
               count(data.places) == 2;
      },
      15000))
      << "pending " << viewer.PendingRequests() << ", status "
      << viewer.StatusCaption().toStdString();
  EXPECT_EQ(viewer.map().Nombre, "Ciudad");
  EXPECT_EQ(count(data.roads), 0);
  EXPECT_EQ(count(data.secret), 0);
  EXPECT_TRUE(ui.shown.empty()) << ui.shown.front().text;
  EXPECT_EQ(viewer.StatusCaption(), "");
  // The two places, a few hundredths of a degree apart, are drawn where they lie.
  auto near = [&](double lon, double lat) {
    const QImage picture = viewer.Picture();
    const QRect ink = testing::InkBox(picture, picture.pixel(5, 5));
    const SurfacePoint at = viewer.view().GeoToSurface(lon, lat);
    return !ink.isEmpty() && ink.width() < 12 && std::abs(ink.center().x() - at.x) < 6 &&
           std::abs(ink.center().y() - at.y) < 6;
  };
  EXPECT_TRUE(near(-100.315, 25.675));
  // Zooming in asks for what comes into sight; the places are still there.
  viewer.ZoomIn();
  ASSERT_TRUE(WaitUntil([&] { return viewer.PendingRequests() == 0; }, 10000));
  EXPECT_TRUE(near(-100.315, 25.675));
  EXPECT_TRUE(ui.shown.empty());

  // Request 4 for a place: highlighted while its information window is up.
  QImage atWindow;
  ui.onMessage = [&](const testing::ShownMessage&) { atWindow = viewer.Picture(); };
  SendElementInfoRequest(viewer, data.places, data.firstPlace);
  ASSERT_TRUE(WaitUntil([&] { return !ui.shown.empty(); }, 10000));
  EXPECT_EQ(ui.shown[0].text,
            "Layer: Lugares\n\nNOMBRE: Monterrey\n\nPOBLACION: 1142994\n\nALTURA: 2.5\n\n"
            "CODIGO: -7\n\nAREA: 969.7\n\n");
  EXPECT_TRUE(atWindow != viewer.Picture()) << "no highlight, or it stayed";
  // With ReleaseEvent set the host gets the values instead.
  QSignalSpy arrivals(&viewer, &Viewer::InfoArrival);
  viewer.infoExchange().ReleaseInfoEvent = true;
  SendElementInfoRequest(viewer, data.places, data.firstPlace);
  ASSERT_TRUE(WaitUntil([&] { return arrivals.count() == 1; }, 10000));
  EXPECT_EQ(arrivals[0][0].toInt(), data.places);
  EXPECT_EQ(arrivals[0][1].toInt(), data.firstPlace);
  EXPECT_EQ(arrivals[0][2].toStringList(),
            QStringList({"NOMBRE", "POBLACION", "ALTURA", "CODIGO", "AREA"}));
  EXPECT_EQ(arrivals[0][3].value<QList<int>>(), QList<int>({200, 3, 4, 2, 5}));
  EXPECT_EQ(arrivals[0][4].toStringList(),
            QStringList({"Monterrey", "1142994", "2.5", "-7", "969.7"}));
  EXPECT_EQ(ui.shown.size(), 1u);
}

}  // namespace
}  // namespace orvenda
