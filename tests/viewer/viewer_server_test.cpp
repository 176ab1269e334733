// The Viewer against the real map server on a loopback port: a database built
// with the server's own commands, a login through the login control, then the
// whole opening of the map over a real socket.
#ifdef ORVENDA_SERVER_EXE

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "loopback.h"
#include "render/viewtransform.h"
#include "support/fakes.h"
#include "viewer/login.h"
#include "viewer/viewer.h"
#include "viewer_rig.h"

namespace orvenda {
namespace {

using testing::WaitUntil;

// Runs one administration command of the server.
void Admin(const QStringList& args, const QByteArray& input = {}) {
  QProcess p;
  p.start(ORVENDA_SERVER_EXE, args);
  EXPECT_TRUE(p.waitForStarted(10000));
  if (!input.isEmpty()) p.write(input);
  p.closeWriteChannel();
  EXPECT_TRUE(p.waitForFinished(60000)) << args.join(' ').toStdString();
  EXPECT_EQ(p.exitCode(), 0) << args.join(' ').toStdString() << "\n"
                             << p.readAllStandardError().toStdString();
}

constexpr const char* kRoads = R"({"type": "FeatureCollection", "features": [
{"type": "Feature", "properties": {"NOMBRE": "Norte"},
 "geometry": {"type": "LineString", "coordinates": [[0.2, 1.8], [1.8, 1.8]]}},
{"type": "Feature", "properties": {"NOMBRE": "Diagonal"},
 "geometry": {"type": "LineString", "coordinates": [[0.1, 0.1], [1.9, 1.9]]}},
{"type": "Feature", "properties": {"NOMBRE": "Sur"},
 "geometry": {"type": "LineString", "coordinates": [[0.2, 0.3], [1.8, 0.3]]}}
]})";

// The server on a database built with its own commands: one map of 0..2 x 0..2
// degrees, its roads in cells of half a degree, and a user allowed to see them.
class RealServer {
 public:
  RealServer() {
    const QString db = dir_.filePath("map.db");
    const QString roads = dir_.filePath("roads.geojson");
    testing::WriteFile(roads, kRoads);
    Admin({"map", "create", "5", "Prueba", "--extent", "0,0,2,2", "--db", db});
    Admin({"import", roads, "--db", db, "--layer-name", "Calles", "--cell-size", "0.5", "--map",
           "5"});
    Admin({"user", "add", "ana", "--db", db}, "secreta\n");
    Admin({"grant", "ana", "--map", "5", "3", "--db", db});
    const QString log = dir_.filePath("server.log");
    server_.start(ORVENDA_SERVER_EXE, {"serve", "--db", db, "--port", "0", "--log", log});
    const QRegularExpression listening("listening on 127\\.0\\.0\\.1:([0-9]+)");
    WaitUntil(
        [&] {
          const auto m = listening.match(testing::ReadFile(log));
          port_ = m.hasMatch() ? m.captured(1).toInt() : 0;
          return m.hasMatch();
        },
        10000);
  }
  ~RealServer() {
    server_.terminate();
    if (!server_.waitForFinished(10000)) server_.kill();
  }
  int port() const { return port_; }

 private:
  QTemporaryDir dir_;
  QProcess server_;
  int port_ = 0;
};

TEST(ViewerWithRealServer, LogsInOpensTheMapAndDrawsItsElements) {
  RealServer server;
  ASSERT_NE(server.port(), 0) << "the server did not start";

  testing::ScriptedInteraction ui;
  int user = 0;
  {
    login control(ui);
    QObject::connect(&control, &login::LoginResponse,
                     [&](int id, int, const QStringList&, const QList<int>& codes) {
                       EXPECT_EQ(codes, QList<int>{5});
                       user = id;
                     });
    control.Checklogin("127.0.0.1", server.port(), "ana", "secreta");
    ASSERT_TRUE(WaitUntil([&] { return user != 0; }, 10000));
  }
  ASSERT_GT(user, 0);
  testing::ScriptedMenus menus;
  ViewerSeams seams;
  seams.ui = &ui;
  seams.menus = &menus;
  Viewer viewer(seams);  // the real Qt socket, clock and event pump
  QSignalSpy loaded(&viewer, &Viewer::MapLoaded);
  viewer.resize(300, 300);
  viewer.SetURL("127.0.0.1");
  viewer.Setport(server.port());
  viewer.SetIDUser(user);
  viewer.SetMapCode(5);
  viewer.show();
  ASSERT_TRUE(WaitUntil(
      [&] {
        return viewer.map().layerscargados && viewer.PendingRequests() == 0 &&
               viewer.layers().count() == 1 && viewer.layers().Item(1).Entidades.count() == 3;
      },
      15000))
      << "pending " << viewer.PendingRequests() << ", status "
      << viewer.StatusCaption().toStdString();
  EXPECT_EQ(loaded.count(), 1);
  EXPECT_EQ(viewer.map().Nombre, "Prueba");
  EXPECT_EQ(viewer.layers().Item(1).Nombre, "Calles");
  EXPECT_TRUE(ui.shown.empty()) << ui.shown.front().text;
  EXPECT_EQ(viewer.StatusCaption(), "");
  // The diagonal road crosses the middle of the view; the northern one runs at
  // latitude 1.8, 30 pixels from the top.
  const QImage picture = viewer.Picture();
  const QColor background = picture.pixelColor(5, 5);
  EXPECT_NE(picture.pixelColor(150, 150), background);
  int north = 0;
  for (int y = 25; y <= 35; ++y) north += picture.pixelColor(150, y) != background ? 1 : 0;
  EXPECT_GE(north, 1);

  // Zooming in asks only for cells not held yet, and the map is still there.
  viewer.ZoomIn();
  ASSERT_TRUE(WaitUntil([&] { return viewer.PendingRequests() == 0; }, 10000));
  EXPECT_NE(viewer.Picture().pixelColor(150, 150), background);
}

}  // namespace
}  // namespace orvenda

#endif  // ORVENDA_SERVER_EXE
