// The Viewer against the real map server program on a loopback port, serving the
// network tests' database: a login through the login control, the opening of the map
// over a real socket, and the information of a place clicked on and asked for.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <set>

#define GEOS_USE_ONLY_R_API
#include <geos_c.h>
#include <sqlite3.h>

#include "city_viewer.h"
#include "dialogs/dlgadd.h"
#include "dialogs/dlgselect.h"
#include "dialogs/dlgshowinfoelements.h"
#include "store/store.h"

namespace orvenda {
namespace {

using server::test::TestData;
using testing::CityViewer;
using testing::WaitUntil;

TEST(ViewerWithRealServer, LogsInOpensTheMapAndTellsTheValuesOfAPlace) {
  testing::ServerProcess server;
  ASSERT_TRUE(server.Start(ORVENDA_SERVER_EXE)) << server.Why().toStdString();
  CityViewer ana(server, "ana", "secreta");
  EXPECT_EQ(ana.maps, QList<int>{TestData::kMap});
  testing::ScriptedInteraction& ui = ana.ui;
  Viewer& viewer = ana.viewer;
  // The places are in sight. (What is asked for, what arrives and where it is drawn, as
  // the view moves: the desk's tests against the same server.)
  const TestData& data = server.Data();
  ASSERT_TRUE(ana.PlacesShown()) << "pending " << viewer.PendingRequests() << ", status "
                                 << viewer.StatusCaption().toStdString();
  EXPECT_EQ(viewer.map().Nombre, "Ciudad");
  EXPECT_TRUE(ui.shown.empty()) << ui.shown.front().text;

  // Request 4 for a place: highlighted while its information window is up.
  QImage atWindow;
  ui.onMessage = [&](const testing::ShownMessage&) { atWindow = viewer.Picture(); };
  // The information tool, and a click on the place.
  viewer.GetInfo(data.places);
  QTest::mouseClick(
      &viewer, Qt::LeftButton, Qt::NoModifier,
      ana.At(ana.Element(data.places, data.firstPlace)->Vertices()[0]) + QPoint(2, 0));
  ASSERT_TRUE(WaitUntil([&] { return !ui.shown.empty(); }, 10000));
  EXPECT_EQ(ui.shown[0].text,
            "Layer: Lugares\n\nNOMBRE: Monterrey\n\nPOBLACION: 1142994\n\nALTURA: 2.5\n\n"
            "CODIGO: -7\n\nAREA: 969.7\n\n");
  EXPECT_TRUE(atWindow != viewer.Picture()) << "no highlight, or it stayed";
  // With ReleaseEvent set the host gets the values instead.
  QSignalSpy arrivals(&viewer, &Viewer::InfoArrival);
  viewer.GetInfo(data.places, data.firstPlace, true);
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

// Ana, with drawing rights on the roads, draws a street between two road ends snapped
// with "EndPoint" and gives its values in the attribute dialog; her other viewer gets
// it from the server's 250. On the places (editor rights) she is refused at once.
TEST(ViewerWithRealServer, AStreetDrawnInOneViewerAppearsInAnother) {
  testing::ServerProcess server;
  ASSERT_TRUE(server.Start(ORVENDA_SERVER_EXE)) << server.Why().toStdString();
  const TestData& data = server.Data();
  server::OpenStore(server.DatabasePath().toStdString())
      ->SetAccess(data.ana, data.roads, server::AccessLevel::Draw);
  CityViewer drawing(server, "ana", "secreta"), other(server, "ana", "secreta");
  for (CityViewer* v : {&drawing, &other})
    ASSERT_TRUE(v->AimAtRoads({-100.35, 25.0, -100.0, 25.3}));
  Viewer* drawer = &drawing.viewer;
  testing::ScriptedInteraction& ui = drawing.ui;
  testing::ScriptedMenus& menus = drawing.menus;

  EXPECT_FALSE(drawer->AddElement(data.places));
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "Acceso Denegado");
  EXPECT_EQ(drawer->toolState().MouseAction, 0);

  ASSERT_TRUE(drawer->AddElement(data.roads));
  const auto click = [&](Qt::MouseButton button, Point near) {
    const SurfacePoint at = drawer->view().GeoToSurface(near.X, near.Y);
    QTest::mouseClick(drawer, button, Qt::NoModifier,
                      QPoint(std::lround(at.x) + 3, std::lround(at.y) - 2));
  };
  menus.answers = {"mnuEndPoint", "mnuCerrarPline"};
  click(Qt::RightButton, {-100.5, 25.5});
  const std::vector<Point> ends = {{-100.10, 25.10}, {-100.20, 25.05}};
  for (const Point& end : ends) click(Qt::LeftButton, end);
  // Vertices travel as Singles: the ends are known to about a metre.
  const auto near = [](const std::vector<Point>& got, const std::vector<Point>& want) {
    for (std::size_t k = 0; k < want.size(); ++k) {
      if (got.size() != want.size() || std::abs(got[k].X - want[k].X) > 1e-5 ||
          std::abs(got[k].Y - want[k].Y) > 1e-5)
        return false;
    }
    return true;
  };
  EXPECT_TRUE(near(drawer->toolState().Vertices, ends));
  // The dialog keeps a DIR that a 16-bit field cannot hold, then takes a fitting one.
  int refusals = 0;
  ui.onModal = [&](ModalForm& form) {
    auto& dialog = dynamic_cast<dlgAdd&>(form);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Polilínea Nueva. layer: Calles"));
    ASSERT_EQ(dialog.txt.size(), 4u);
    for (const auto& [k, value] : {std::pair{0, "Nueva"}, {1, "70000"}, {2, "1.25"}, {3, ""}})
      dialog.txt[k]->setText(QString::fromUtf8(value));
    dialog.OKButton->click();
    refusals += dialog.Cancelled;
    dialog.txt[1]->setText(QStringLiteral("-3"));
    dialog.OKButton->click();
  };
  click(Qt::RightButton, {-100.5, 25.5});
  EXPECT_EQ(refusals, 1);
  // The other viewer holds the street once (its layers are looked up afresh: a 250 may
  // rebuild them).
  const auto copies = [&](Viewer& v) {
    int found = 0;
    const layer* lay = v.layers().Item(Key(data.roads));
    if (!lay) return -1;
    for (std::int32_t k = 1; k <= lay->Entidades.count(); ++k) {
      const auto vertices = lay->Entidades.Item(k)->Vertices();
      found += near(std::vector<Point>(vertices.begin(), vertices.end()), ends);
    }
    return found;
  };
  EXPECT_TRUE(WaitUntil([&] { return copies(other.viewer) == 1 && copies(*drawer) == 1; }, 10000))
      << server.Log().toStdString();
  EXPECT_EQ(other.ui.shown.size(), 0u);
}

// Bob, allowed to draw on the roads, moves the second vertex of road 1 and proceeds,
// joins road 2 to it and breaks it, and erases the road the break made; Ana, who only
// views them, is refused before anything is sent and sees each change once the
// server's 250 arrives.
TEST(ViewerWithRealServer, ReshapedRoadsReachAnotherViewer) {
  testing::ServerProcess server;
  ASSERT_TRUE(server.Start(ORVENDA_SERVER_EXE)) << server.Why().toStdString();
  const TestData& d = server.Data();
  server::OpenStore(server.DatabasePath().toStdString())
      ->SetAccess(d.bob, d.roads, server::AccessLevel::Draw);
  CityViewer bob(server, "bob", "bobpass");
  CityViewer ana(server, "ana", "secreta");
  ASSERT_TRUE(bob.AimAtRoads() && ana.AimAtRoads());

  ana.viewer.EditGeography(d.roads);
  ASSERT_EQ(ana.ui.shown.size(), 1u);
  EXPECT_EQ(ana.ui.shown[0].text, "Acceso Denegado");
  EXPECT_EQ(ana.viewer.toolState().MouseAction, 0);

  const Point target{-100.04, 25.18};
  bob.menus.answers = {"mnuNextVertex", "mnuMoveVertex", "mnuEditProceed",
                       "mnuNextVertex", "mnuJoin",       "mnuBreak"};
  bob.viewer.EditGeography(d.roads);
  bob.Click({-100.075, 25.125});
  EXPECT_EQ(bob.viewer.toolState().MouseAction, 15);
  bob.Menu();
  bob.Menu();
  bob.Click(target);
  bob.Menu();
  EXPECT_EQ(bob.viewer.toolState().MouseAction, 0);
  const auto near = [](Point a, Point b) { return std::hypot(a.X - b.X, a.Y - b.Y) < 1e-3; };
  for (CityViewer* v : {&bob, &ana}) {
    EXPECT_TRUE(WaitUntil([&] { return v->Road(1) && near(v->Road(1)->Vertices().back(), target); },
                          10000));
  }
  // Road 2 joined at the moved end and the line broken there: road 2 goes, road 1
  // keeps its two vertices and a new road runs on from the moved vertex.
  bob.viewer.EditGeography(d.roads);
  bob.Click({-100.07, 25.14});
  bob.Menu();
  bob.Menu();
  bob.Click({-100.05, 25.215});
  bob.Menu();
  // The new road takes the next identifier.
  EXPECT_TRUE(WaitUntil(
      [&] {
        const Entidad* one = ana.Road(1);
        const Entidad* next = ana.Road(5);
        return !ana.Road(2) && one && one->UboundPoints() == 2 && next &&
               next->UboundPoints() == 4 && near(next->Vertices()[0], target);
      },
      10000));
  EXPECT_EQ(bob.ui.shown.size(), 0u);

  // Bob erases the new road; Ana may not.
  ana.viewer.EraseEntity(d.roads);
  EXPECT_EQ(ana.ui.shown.back().text, "Acceso Denegado");
  EXPECT_EQ(ana.viewer.toolState().MouseAction, 0);
  ASSERT_TRUE(WaitUntil([&] { return bob.Road(5) && bob.Idle(); }, 10000));
  const auto v5 = bob.Road(5)->Vertices();
  const std::vector<Point> road5(v5.begin(), v5.end());
  bob.viewer.EraseEntity(d.roads);
  bob.Click({(road5[1].X + road5[2].X) / 2, (road5[1].Y + road5[2].Y) / 2});
  bob.menus.answers = {"mnuEndSelection"};
  bob.ui.answers = {MessageAnswer::Yes};
  bob.Menu();
  EXPECT_TRUE(WaitUntil([&] { return !ana.Road(5) && ana.Road(1) && ana.Idle(); }, 10000));
  EXPECT_EQ(bob.ui.shown.back().text, "Do you really want to erase the selected elements?");
}

// The roads of the server's own database file whose DIR is at most 7 (SQL) and whose
// vertices all lie inside `ring` (GEOS).
std::set<std::int32_t> RoadsBySqlInside(const QString& db, std::int32_t roads,
                                        std::vector<Point> ring) {
  const auto wkt = [](const std::vector<Point>& points) {
    std::string text;
    for (const Point& p : points)
      text += (text.empty() ? "" : ",") + std::to_string(p.X) + " " + std::to_string(p.Y);
    return text;
  };
  ring.push_back(ring.front());
  const GEOSContextHandle_t ctx = GEOS_init_r();
  GEOSWKTReader* reader = GEOSWKTReader_create_r(ctx);
  GEOSGeometry* area = GEOSWKTReader_read_r(ctx, reader, ("POLYGON((" + wkt(ring) + "))").c_str());
  sqlite3* conn = nullptr;
  sqlite3_open_v2(db.toUtf8().constData(), &conn, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(conn,
                     "SELECT e.id, e.points FROM elements e JOIN attributes a ON a.layer_id = "
                     "e.layer_id AND a.element_id = e.id JOIN fields f ON f.layer_id = "
                     "a.layer_id AND f.position = a.position WHERE e.layer_id = ?1 AND f.name = "
                     "'DIR' AND a.value <= 7",
                     -1, &st, nullptr);
  sqlite3_bind_int(st, 1, roads);
  std::set<std::int32_t> found;
  while (sqlite3_step(st) == SQLITE_ROW) {
    // The vertices: x and y doubles, in turn.
    std::vector<Point> vertices(static_cast<std::size_t>(sqlite3_column_bytes(st, 1)) / 16);
    std::memcpy(vertices.data(), sqlite3_column_blob(st, 1), vertices.size() * 16);
    GEOSGeometry* points =
        GEOSWKTReader_read_r(ctx, reader, ("MULTIPOINT(" + wkt(vertices) + ")").c_str());
    if (GEOSWithin_r(ctx, points, area) == 1) found.insert(sqlite3_column_int(st, 0));
    GEOSGeom_destroy_r(ctx, points);
  }
  sqlite3_finalize(st);
  sqlite3_close(conn);
  GEOSGeom_destroy_r(ctx, area);
  GEOSWKTReader_destroy_r(ctx, reader);
  GEOS_finish_r(ctx);
  return found;
}

// A multiple selection with one constraint (DIR <= 7) over a polygon drawn on the map
// lists in its table window the roads that SQL and GEOS find in the server's database.
TEST(ViewerWithRealServer, MultipleSelectionListsWhatSqlFindsInsideTheDrawnPolygon) {
  testing::ServerProcess server;
  ASSERT_TRUE(server.Start(ORVENDA_SERVER_EXE)) << server.Why().toStdString();
  CityViewer ana(server, "ana", "secreta");
  ASSERT_TRUE(ana.AimAtRoads({-100.35, 25.0, -100.0, 25.3}));
  std::vector<std::int32_t> listed;
  ana.ui.onModal = [&](ModalForm& form) {
    if (auto* w = dynamic_cast<dlgShowInfoElements*>(&form)) {
      listed = w->table().ElementIds();
      return w->cmdCancel->click();
    }
    auto& d = dynamic_cast<dlgSelect&>(form);
    if (d.PolygonDrawn) return d.OKButton->click();
    d.optDrawPol->click();
    d.cmdDrawPol->click();
  };
  ana.viewer.MultipleSelect(false, 0, 0, ana.data.roads,
                            {std::vector<std::string>{"DIR"}, std::vector<std::int16_t>{7},
                             std::vector<std::string>{"7"}, std::vector<std::string>{""}});
  for (const Point& corner :
       {Point{-100.32, 25.03}, Point{-100.01, 25.03}, Point{-100.01, 25.24}, Point{-100.32, 25.24}})
    ana.Click(corner);
  const std::vector<Point> ring = ana.viewer.toolState().Vertices;  // where the clicks landed
  ana.menus.answers = {"mnuCerrarPline"};
  ana.Menu();
  ASSERT_TRUE(testing::WaitUntil([&] { return !listed.empty(); }, 10000));
  const std::set<std::int32_t> expected =
      RoadsBySqlInside(server.DatabasePath(), ana.data.roads, ring);
  EXPECT_EQ(std::set<std::int32_t>(listed.begin(), listed.end()), expected);
  EXPECT_EQ(expected.size(), 2u) << "a road left out by the polygon, another by the constraint";
}

}  // namespace
}  // namespace orvenda
