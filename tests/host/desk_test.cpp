// The whole desktop program against the real map server program: OrvendaDesk's
// own start-up, login form, map list, navigation and password commands, run in
// this process exactly as its main() runs them, with a recording relay between
// it and the server that shows every request on the wire, and the viewer's
// picture checked against its view transform and the model against the
// server's database. Last, the program binary itself.
#if defined(ORVENDA_SERVER_PROGRAM) && defined(ORVENDA_DESK_PROGRAM)

#include <gtest/gtest.h>
#define GEOS_USE_ONLY_R_API
#include <geos_c.h>

#include <QAction>
#include <QColorDialog>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <tuple>

#include "dialogs/dlgmapsetup.h"
#include "host/dlgchangepassword.h"
#include "host/dlgmaplist.h"
#include "host/frmdocument.h"
#include "host/frmlogin.h"
#include "host/frmmain.h"
#include "host/module1.h"
#include "loopback.h"
#include "model/layers.h"
#include "pixels.h"
#include "protocol/catalogue.h"
#include "protocol/messagereceiver.h"
#include "protocol/savemap.h"
#include "render/viewtransform.h"
#include "serverprocess.h"
#include "support/fakes.h"
#include "viewer/qtcolour.h"
#include "viewer/viewer.h"

namespace orvenda {
namespace {

using server::test::TestData;
using testing::WaitUntil;

// A TCP relay on loopback that forwards every connection both ways to the
// server and keeps, in order, each whole message that went through, cut by the
// protocol's own receiver.
struct WireRelay {
  struct Message {
    int connection;  // 0 for the first connection taken, and so on
    std::int16_t code;
    DWBUffer fields;  // the cursor on the first field after the code
  };
  struct Link {
    QTcpSocket* client = nullptr;  // owned by the listener
    QTcpSocket server;
    char closedBy = 0;  // 'c' or 's': who closed the connection first
    MessageReceiver up, down;
  };
  QTcpServer listener;
  std::vector<std::unique_ptr<Link>> links;
  std::vector<Message> requests, replies;
  std::vector<std::string> faults;  // broken stretches of either stream

  explicit WireRelay(quint16 serverPort) {
    listener.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&listener, &QTcpServer::newConnection, &listener, [this, serverPort] {
      while (QTcpSocket* client = listener.nextPendingConnection()) Accept(client, serverPort);
    });
  }
  ~WireRelay() {
    for (auto& link : links) {
      link->server.disconnect();
      link->client->disconnect();
      link->server.abort();
    }
  }
  void Accept(QTcpSocket* client, quint16 serverPort) {
    const int number = static_cast<int>(links.size());
    Link& link = *links.emplace_back(std::make_unique<Link>());
    link.client = client;
    link.server.connectToHost(QHostAddress::LocalHost, serverPort);
    const auto keep = [number](std::vector<Message>& into) {
      return [number, &into](DWBUffer& message) {
        DWBUffer m(message.bytes());
        m.GetLong();  // "MIC "
        m.GetLong();  // length
        const std::int16_t code = m.GetInteger();
        into.push_back({number, code, m});
      };
    };
    link.up.SetDeliver(keep(requests));
    link.down.SetDeliver(keep(replies));
    const auto fault = [this](const std::string& why) { faults.push_back(why); };
    link.up.SetFault(fault);
    link.down.SetFault(fault);
    const auto record = [](MessageReceiver& receiver, const QByteArray& bytes) {
      receiver.Receive(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                       static_cast<std::size_t>(bytes.size()));
    };
    QObject::connect(client, &QTcpSocket::readyRead, client, [&link, record] {
      const QByteArray bytes = link.client->readAll();
      record(link.up, bytes);
      link.server.write(bytes);  // held by the socket until it has connected
    });
    QObject::connect(&link.server, &QTcpSocket::readyRead, &link.server, [&link, record] {
      const QByteArray bytes = link.server.readAll();
      record(link.down, bytes);
      link.client->write(bytes);
    });
    // Either side closing closes the other once what it sent has gone through.
    QObject::connect(client, &QTcpSocket::disconnected, client, [&link] {
      if (link.closedBy == 0) link.closedBy = 'c';
      link.server.disconnectFromHost();
    });
    QObject::connect(&link.server, &QTcpSocket::disconnected, &link.server, [&link] {
      if (link.closedBy == 0) link.closedBy = 's';
      link.client->disconnectFromHost();
    });
  }
  bool ClosedBy(int n, char side) const {
    return n < static_cast<int>(links.size()) &&
           links[static_cast<std::size_t>(n)]->closedBy == side;
  }
  // Nothing held by the relay or waiting in its sockets, in either direction.
  bool Quiet() const {
    return std::all_of(links.begin(), links.end(), [](const auto& l) {
      return l->up.heldBytes() == 0 && l->down.heldBytes() == 0 &&
             l->server.bytesAvailable() == 0 && l->server.bytesToWrite() == 0 &&
             l->client->bytesAvailable() == 0 && l->client->bytesToWrite() == 0;
    });
  }
};

// The program started through Module1 in a folder of its own, its ov.cfg
// pointing at the relay, the modal forms answered through the Interaction seam.
struct DeskSession {
  QTemporaryDir dir;
  testing::ScriptedInteraction ui;
  testing::ScriptedMenus menus;
  // Declared in this order so that the windows (and their sockets) go before
  // the relay, and the relay before the server.
  testing::ServerProcess server;
  std::unique_ptr<WireRelay> relay;
  std::unique_ptr<Module1> app;
  std::unique_ptr<frmMain> main;
  frmDocument* document = nullptr;
  QString user, password, mapToPick;          // the login form and the map list
  QString oldPassword, newPassword, retyped;  // the password dialog
  QString why;
  int redraws = 0;
  std::size_t repliesAtRedraw = 0;

  // Starts the server (with `options` for its serve command) and the relay and
  // runs the program's start-up; false (`why` says why) when any of it failed.
  bool Start(const QString& name, const QString& secret, const QStringList& options = {}) {
    user = name;
    password = secret;
    if (!server.Start(QStringLiteral(ORVENDA_SERVER_PROGRAM), 15000, options)) {
      why = server.Why();
      return false;
    }
    relay = std::make_unique<WireRelay>(server.Port());
    testing::WriteFile(dir.filePath("ov.cfg"), QString("127.0.0.1\r\n%1\r\n%2\r\n")
                                                   .arg(relay->listener.serverPort())
                                                   .arg(dir.path())
                                                   .toUtf8());
    ui.onModal = [this](ModalForm& form) {
      if (auto* login = dynamic_cast<frmLogin*>(&form)) {
        login->txtUserName->setText(user);
        login->txtPassword->setText(password);
        login->cmdOK->click();
        // A refused login leaves the form open for another try: cancel it then.
        if (!WaitUntil([login] { return !login->Waiting(); }, 10000))
          why = "no answer to the login";
        if (!login->Accepted) login->cmdCancel->click();
      } else if (auto* list = dynamic_cast<dlgMapList*>(&form)) {
        const auto found = list->lstMapList->findItems(mapToPick, Qt::MatchExactly);
        if (found.size() == 1) list->lstMapList->setCurrentItem(found[0]);
        list->OKButton->click();
      } else if (auto* dialog = dynamic_cast<dlgChangePassword*>(&form)) {
        dialog->txtOldPassword->setText(oldPassword);
        dialog->txtNewPassword->setText(newPassword);
        dialog->txtRetypePassword->setText(retyped);
        dialog->OKButton->click();
      } else {
        why = "an unexpected modal form";
      }
    };
    app = std::make_unique<Module1>(ui, dir.path(), dir.path());
    app->menus = &menus;
    main = app->Main();
    if (main == nullptr && why.isEmpty()) why = "the login was not accepted";
    return main != nullptr && why.isEmpty();
  }
  // Opens the map called `name` through the map list command and waits until it
  // is drawn; null when no document came of it.
  frmDocument* Open(const QString& name) {
    mapToPick = name;
    // The viewer connects when it first shows and draws only once replies have
    // come, which takes the event loop: no MapRedrawn is missed below.
    main->MenuItem("mnuListaMapas")->trigger();
    document = main->ActiveDocument();
    if (document == nullptr) return nullptr;
    // A lone document opens maximised; the views below are worked out for its normal
    // size, taken before the first view is applied.
    document->parentWidget()->showNormal();
    QObject::connect(document->Viewer1, &Viewer::MapRedrawn, document->Viewer1, [this] {
      ++redraws;
      repliesAtRedraw = relay->replies.size();
    });
    return After([] {}) ? document : nullptr;
  }
  Viewer& viewer() { return *document->Viewer1; }
  // Runs `action` (which may draw at once) and lets events run until nothing is
  // pending, nothing is on its way through the relay, MapRedrawn came after the
  // last reply, and that still holds once the events already due have run.
  bool After(const std::function<void()>& action) {
    const int before = redraws;
    QElapsedTimer timer;
    timer.start();
    action();
    const auto drawn = [&] {
      return redraws > before && viewer().PendingRequests() == 0 && relay->Quiet() &&
             repliesAtRedraw == relay->replies.size();
    };
    while (WaitUntil(drawn, static_cast<int>(15000 - timer.elapsed()))) {
      testing::RunPendingEvents();
      if (drawn()) return true;
    }
    why = QString("the map was not drawn in time; pending %1, status \"%2\"")
              .arg(viewer().PendingRequests())
              .arg(viewer().StatusCaption());
    return false;
  }
  // The program's Pan command and a drag on the map from `from` to `to`.
  void Drag(QPoint from, QPoint to) {
    main->MenuItem("mnuPan")->trigger();
    QTest::mousePress(&viewer(), Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(&viewer(), (from + to) / 2);
    QTest::mouseMove(&viewer(), to);
    QTest::mouseRelease(&viewer(), Qt::LeftButton, Qt::NoModifier, to);
  }
  QStringList ComboItems() const {
    QStringList items;
    for (int i = 0; i < main->cbLayers->count(); ++i) items << main->cbLayers->itemText(i);
    return items;
  }
};

// (layer, row, column) of a grid cell.
using Cell = std::tuple<std::int32_t, std::int32_t, std::int32_t>;

// The cells asked for by the requests at positions `from` to `to` (excluded).
std::vector<Cell> CellRequests(const WireRelay& relay, std::size_t from = 0,
                               std::size_t to = SIZE_MAX) {
  std::vector<Cell> cells;
  for (std::size_t n = from; n < std::min(to, relay.requests.size()); ++n) {
    if (relay.requests[n].code != cmd::kCell) continue;
    DWBUffer f = relay.requests[n].fields;
    const std::int32_t layer = f.GetLong();
    const std::int32_t row = f.GetLong();
    cells.emplace_back(layer, row, f.GetLong());
  }
  return cells;
}

std::vector<std::int16_t> Codes(const WireRelay& relay, int connection) {
  std::vector<std::int16_t> codes;
  for (const auto& m : relay.requests) {
    if (m.connection == connection) codes.push_back(m.code);
  }
  return codes;
}

// The cells that cover the view of every layer the last redraw found visible:
// rows from latitude and columns from longitude, counted from -90 and -180 in
// steps of the layer's grid, to the nearest whole number (halves to even),
// within the rows and columns that the map definition gave for the layer.
std::set<Cell> CellsOfTheView(Viewer& viewer) {
  const BoundingBox& v = viewer.view().ViewExtents;
  const auto index = [](double value, float delta) {
    return static_cast<std::int32_t>(std::nearbyint(value / static_cast<double>(delta)));
  };
  std::set<Cell> cells;
  for (const layer& lay : viewer.layers()) {
    if (!lay.Visible) continue;
    // The definition gives the row bounds first (minCol/maxCol), then the columns'.
    const std::int32_t r1 = std::max(index(v.MinY + 90, lay.GridDeltaY), lay.minCol);
    const std::int32_t r2 = std::min(index(v.MaxY + 90, lay.GridDeltaY), lay.maxCol);
    const std::int32_t c1 = std::max(index(v.MinX + 180, lay.GridDeltaX), lay.minRow);
    const std::int32_t c2 = std::min(index(v.MaxX + 180, lay.GridDeltaX), lay.maxRow);
    for (std::int32_t r = r1; r <= r2; ++r) {
      for (std::int32_t c = c1; c <= c2; ++c) cells.emplace(lay.IDLayer, r, c);
    }
  }
  return cells;
}

// What a step asked for since request `from`: only grid cells and their values,
// each cell once, and exactly the cells of the new view that no earlier step
// asked for. Answers the cells it asked for.
std::set<Cell> ExpectOnlyNewCellsOfTheView(const WireRelay& relay, std::size_t from,
                                           Viewer& viewer) {
  for (std::size_t n = from; n < relay.requests.size(); ++n) {
    const auto code = relay.requests[n].code;
    EXPECT_TRUE(code == cmd::kCell || code == cmd::kCellValues) << "request " << code;
  }
  const std::vector<Cell> earlier = CellRequests(relay, 0, from);
  const std::vector<Cell> now = CellRequests(relay, from);
  const std::set<Cell> before(earlier.begin(), earlier.end()), asked(now.begin(), now.end());
  EXPECT_EQ(asked.size(), now.size()) << "a cell asked twice in one step";
  std::set<Cell> expected;
  for (const Cell& cell : CellsOfTheView(viewer)) {
    if (!before.contains(cell)) expected.insert(cell);
  }
  EXPECT_EQ(asked, expected) << "view " << Describe(viewer.view().ViewExtents);
  return asked;
}

QPoint Pixel(Viewer& viewer, double lon, double lat) {
  const SurfacePoint p = viewer.view().GeoToSurface(lon, lat);
  return {static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y))};
}

QRgb Background(Viewer& viewer) {
  return ToQColor(static_cast<Colour>(viewer.map().BackgroundColor)).rgb() & 0xFFFFFF;
}

// Whether any pixel of `rect` (cut to the picture) is not the background.
bool Inked(const QImage& picture, const QRect& rect, QRgb background) {
  return testing::CountPixels(picture, rect.intersected(picture.rect()),
                              [&](QRgb c) { return (c & 0xFFFFFF) != background; }) > 0;
}

QRect Around(QPoint p, int r) { return {p - QPoint(r, r), QSize(2 * r + 1, 2 * r + 1)}; }

// Something other than the background within `r` pixels of where the view puts
// the geographic position in the viewer's last picture.
bool InkAt(Viewer& viewer, double lon, double lat, int r = 2) {
  return Inked(viewer.SavedPicture(), Around(Pixel(viewer, lon, lat), r), Background(viewer));
}

// Ink of `before` that, moved by the bare drag from `from` to `to`, finds no ink
// in `after` near where it lands. Near the pointer the map must follow it to
// within two pixels; further away a pan may change the scale by up to 3 % (it
// applies the moved geographic rectangle again, through the map's projection),
// so the allowance grows with the distance from the pointer. Called the other
// way round, it finds ink of `after` that did not come from `before`.
int MissedByTheDrag(Viewer& viewer, const QImage& before, const QImage& after, QPoint from,
                    QPoint to) {
  const QRgb background = Background(viewer);
  int missed = 0;
  for (int y = 0; y < before.height(); ++y) {
    for (int x = 0; x < before.width(); ++x) {
      if ((before.pixel(x, y) & 0xFFFFFF) == background) continue;
      const QPoint q = QPoint(x, y) + to - from;
      const QPoint d = q - to;
      const QRect around = Around(q, 2 + static_cast<int>(0.03 * std::hypot(d.x(), d.y())));
      if (after.rect().contains(around) && !Inked(after, around, background)) ++missed;
    }
  }
  return missed;
}

// Runs a step and checks that it left the viewer idle (no status line, no
// busy pointer) having asked only for the cells newly in view.
std::set<Cell> Step(DeskSession& desk, const std::function<void()>& action) {
  const std::size_t mark = desk.relay->requests.size();
  EXPECT_TRUE(desk.After(action)) << desk.why.toStdString();
  EXPECT_EQ(desk.viewer().StatusCaption(), "");
  EXPECT_NE(desk.viewer().MousePointer(), 11) << "hourglass";
  return ExpectOnlyNewCellsOfTheView(*desk.relay, mark, desk.viewer());
}

// Pans by dragging the geographic position `spot` to the surface point `to`,
// and checks that the map followed the pointer and that the picture is the
// earlier one moved by the drag, no more and no less.
void PanAndCheck(DeskSession& desk, GeoLonLat spot, QPoint to) {
  Viewer& viewer = desk.viewer();
  const QImage before = viewer.SavedPicture();
  const QPoint from = Pixel(viewer, spot.lon, spot.lat);
  Step(desk, [&] { desk.Drag(from, to); });
  const SurfacePoint moved = viewer.view().GeoToSurface(spot.lon, spot.lat);
  EXPECT_NEAR(moved.x, to.x(), 3.0) << "the map follows the pointer";
  EXPECT_NEAR(moved.y, to.y(), 3.0);
  const QImage after = viewer.SavedPicture();
  EXPECT_EQ(MissedByTheDrag(viewer, before, after, from, to), 0) << "the picture moved";
  EXPECT_EQ(MissedByTheDrag(viewer, after, before, to, from), 0) << "and nothing else came in";
  EXPECT_GT(MissedByTheDrag(viewer, before, after, from, to + QPoint(12, -12)), 0)
      << "the comparison sees a wrong drag";
}

// Drags a spot near the roads to the middle of the map and zooms in twice.
void GoToTheRoads(DeskSession& desk) {
  const QPoint middle(desk.viewer().width() / 2, desk.viewer().height() / 2);
  const QPoint spot = Pixel(desk.viewer(), -100.2, 25.3);
  ASSERT_TRUE(desk.After([&] { desk.Drag(spot, middle); })) << desk.why.toStdString();
  for (int step = 1; step <= 2; ++step) {
    ASSERT_TRUE(desk.After([&] { desk.main->ToolbarButton("Zoom In")->trigger(); }))
        << desk.why.toStdString();
  }
}

TEST(DeskWithRealServer, OpensAMapNavigatesAskingOnlyForWhatTheViewLacksAndChangesThePassword) {
  DeskSession desk;
  ASSERT_TRUE(desk.Start("ana", "secreta")) << desk.why.toStdString();
  const TestData& data = desk.server.Data();
  const WireRelay& relay = *desk.relay;
  frmMain& main = *desk.main;
  ASSERT_NE(desk.Open("Ciudad"), nullptr) << desk.why.toStdString();
  Viewer& viewer = desk.viewer();
  // The opening exchange (the protocol tests check it byte for byte) asks for
  // the map for the logged-in user, then only for the cells of the first view.
  EXPECT_EQ(ExpectOnlyNewCellsOfTheView(relay, 4, viewer),
            (std::set<Cell>{{data.places, 1157, 797}}))
      << "only the places show at first";
  ASSERT_EQ(relay.links.size(), 2u) << "the login on a connection of its own";
  EXPECT_EQ(Codes(relay, 1).front(), cmd::kOpenMap);
  DWBUffer open = relay.requests[1].fields;
  EXPECT_EQ(open.GetLong(), desk.app->UserID);
  EXPECT_EQ(open.GetLong(), TestData::kMap);
  EXPECT_EQ(desk.ComboItems(), QStringList{"Lugares"});

  // The places are drawn where the view puts them (the program's own run below
  // checks their colours); the layer the user may not see is not, nor is
  // anything where the map has no data.
  const QImage opened = viewer.SavedPicture();
  EXPECT_TRUE(InkAt(viewer, -100.31, 25.67)) << "Monterrey";
  EXPECT_FALSE(InkAt(viewer, -100.43, 25.53, 4)) << "inside the secret layer's area";
  EXPECT_FALSE(InkAt(viewer, -100.8, 25.2, 4));

  // Over Monterrey the status bar shows where the pointer is.
  QTest::mouseMove(&viewer, Pixel(viewer, -100.31, 25.67));
  EXPECT_TRUE(QRegularExpression(R"(^x: -100° 18' [0-9.]+", y: 25° 40' [0-9.]+"$)")
                  .match(main.StatusPanel1->text())
                  .hasMatch())
      << main.StatusPanel1->text().toStdString();

  // A spot near the roads is dragged to the middle of the map.
  PanAndCheck(desk, {-100.2, 25.3}, QPoint(viewer.width() / 2, viewer.height() / 2));
  EXPECT_TRUE(InkAt(viewer, -100.31, 25.67)) << "Monterrey still in view";

  // Zoom in twice about the middle: the roads show from 50 km down and only
  // their cells in the new view are asked for.
  for (int step = 1; step <= 2; ++step) {
    const double height = viewer.view().ViewExtents.MaxY - viewer.view().ViewExtents.MinY;
    const std::set<Cell> asked = Step(desk, [&] { main.ToolbarButton("Zoom In")->trigger(); });
    const BoundingBox& now = viewer.view().ViewExtents;
    EXPECT_NEAR((now.MaxY - now.MinY) / height, 0.5, 0.02);
    if (step == 2) {
      EXPECT_EQ(asked, (std::set<Cell>{{data.roads, 230, 159}, {data.roads, 230, 160}}));
      EXPECT_EQ(desk.ComboItems(), (QStringList{"Calles", "Lugares"}));
      // The middle of the second road's first segment.
      EXPECT_TRUE(InkAt(viewer, -100.10, 25.205)) << "a road is drawn";
    }
  }
  PanAndCheck(desk, {-100.12, 25.20}, Pixel(viewer, -100.12, 25.20) + QPoint(-90, -120));
  EXPECT_TRUE(InkAt(viewer, -100.075, 25.125)) << "a road come into view";
  // Value requests (labels, directions, thematic values) name a layer, a cell
  // and a field; none is sent twice, and each is for a cell its layer asked for.
  const std::vector<Cell> cells = CellRequests(relay);
  std::set<std::pair<Cell, std::string>> values;
  for (const auto& m : relay.requests) {
    if (m.code != cmd::kCellValues) continue;
    DWBUffer f = m.fields;
    const Cell cell{f.GetLong(), f.GetLong(), f.GetLong()};
    EXPECT_TRUE(values.emplace(cell, f.GetString()).second) << "values asked twice";
    EXPECT_NE(std::find(cells.begin(), cells.end(), cell), cells.end())
        << "values of a cell never asked for";
  }
  // What arrived in each layer is what the database holds for the cells the
  // layer asked for, point for point: nothing for the layer closed to the user.
  // (The database is a twin of the server's, built the same way.)
  QTemporaryDir twin;
  const auto store = server::OpenStore(twin.filePath("map.db").toStdString());
  server::test::BuildTestDatabase(*store);
  for (const layer& lay : viewer.layers()) {
    std::map<std::int32_t, std::vector<server::Point>> expected;
    for (const auto& [id, row, column] : cells) {
      if (id != lay.IDLayer) continue;
      for (const auto& e : store->CellElements(id, {row, column})) expected[e.id] = e.points;
    }
    EXPECT_EQ(lay.Entidades.count(), static_cast<std::int32_t>(expected.size())) << lay.Nombre;
    for (const auto& [element, points] : expected) {
      const Entidad* got = lay.Entidades.ItemByID(element);
      ASSERT_NE(got, nullptr) << lay.Nombre << " element " << element;
      ASSERT_EQ(got->Points().size(), points.size());
      for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_NEAR(got->Points()[i].X, points[i].x, 1e-7) << lay.Nombre << " " << element;
        EXPECT_NEAR(got->Points()[i].Y, points[i].y, 1e-7) << lay.Nombre << " " << element;
      }
    }
  }

  // Zoom extents: every cell of the whole map was asked for at the start, so
  // nothing goes on the wire and the picture is the first one again.
  EXPECT_TRUE(Step(desk, [&] { main.MenuItem("mnuZoomExtents")->trigger(); }).empty());
  EXPECT_TRUE(viewer.SavedPicture() == opened) << "the first picture again";
  EXPECT_EQ(desk.ComboItems(), QStringList{"Lugares"});

  EXPECT_TRUE(relay.faults.empty());
  EXPECT_TRUE(desk.ui.shown.empty()) << desk.ui.shown.front().text;

  // A blank or mistyped new password never leaves the dialog; a wrong old one
  // is refused by the server; the right one changes it. The user is told each time.
  const std::tuple<const char*, const char*, const char*, const char*> changes[] = {
      {"secreta", "", "", "Password can't be blank"},
      {"secreta", "nueva", "nuevo", "Please retype password."},
      {"mala", "nueva clave", "nueva clave", "Wrong Password. Please try again"},
      {"secreta", "nueva clave", "nueva clave", "Password succesfully changed"}};
  for (const auto& [old, typed, again, told] : changes) {
    std::tie(desk.oldPassword, desk.newPassword, desk.retyped) = std::tuple(old, typed, again);
    const std::size_t shown = desk.ui.shown.size();
    main.MenuItem("mnuChangePassword")->trigger();
    ASSERT_TRUE(WaitUntil([&] { return desk.ui.shown.size() > shown; }, 10000)) << told;
    EXPECT_EQ(desk.ui.shown.back().text, told);
  }
  const std::vector<std::int16_t> codes = Codes(relay, 1);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), cmd::kChangePassword), 2)
      << "the two the dialog let through, both on the map's connection";
  // At the next login the old password is refused and the new one accepted.
  EXPECT_FALSE(desk.app->LogIn(&main));
  EXPECT_EQ(desk.ui.shown.back().text, "Invalid Username or password. Please try again");
  desk.password = "nueva clave";
  EXPECT_TRUE(desk.app->LogIn(&main));
  EXPECT_EQ(desk.ui.shown.size(), 5u) << desk.ui.shown.back().text;
  // No password, right or wrong, and no password hash in what the server wrote.
  const QString log = desk.server.Log();
  EXPECT_TRUE(log.contains("ana")) << "the log names the account";
  for (const char* secret : {"secreta", "nueva clave", "mala", "argon2"}) {
    EXPECT_FALSE(log.contains(secret)) << secret;
  }

  // Exit closes the document and with it the map's connection.
  main.MenuItem("mnuExit")->trigger();
  EXPECT_TRUE(WaitUntil([&] { return main.Documents().isEmpty(); }));
  EXPECT_FALSE(main.isVisible());
  EXPECT_TRUE(WaitUntil([&] { return relay.ClosedBy(1, 'c'); }));
}

// The roads of the view whose vertices lie (all of them, or at least one) inside
// the polygon, as GEOS finds them.
std::set<int> RoadsInsideByGeos(Viewer& viewer, std::int32_t roads, const std::vector<Point>& ring,
                                bool whole) {
  const GEOSContextHandle_t ctx = GEOS_init_r();
  const auto sequence = [&](const std::vector<Point>& points, bool close) {
    const auto n = static_cast<unsigned>(points.size() + (close ? 1 : 0));
    GEOSCoordSequence* seq = GEOSCoordSeq_create_r(ctx, n, 2);
    for (unsigned k = 0; k < n; ++k) {
      GEOSCoordSeq_setXY_r(ctx, seq, k, points[k % points.size()].X, points[k % points.size()].Y);
    }
    return seq;
  };
  GEOSGeometry* area = GEOSGeom_createPolygon_r(
      ctx, GEOSGeom_createLinearRing_r(ctx, sequence(ring, true)), nullptr, 0);
  std::set<int> inside;
  const Entidades& elements = viewer.layers().Item(Key(roads))->Entidades;
  for (std::int32_t k = 1; k <= elements.count(); ++k) {
    const Entidad& road = *elements.Item(k);
    const std::vector<Point> points = road.Points();
    GEOSGeometry* vertices = GEOSGeom_createLineString_r(ctx, sequence(points, false));
    GEOSGeometry* corners = GEOSGeom_extractUniquePoints_r(ctx, vertices);
    if ((whole ? GEOSWithin_r : GEOSIntersects_r)(ctx, corners, area) == 1) inside.insert(road.ID);
    GEOSGeom_destroy_r(ctx, corners);
    GEOSGeom_destroy_r(ctx, vertices);
  }
  GEOSGeom_destroy_r(ctx, area);
  GEOS_finish_r(ctx);
  return inside;
}

// Pointing at the map: a place clicked with the information command shows its
// values; the roads selected inside a polygon drawn on the map are those GEOS
// finds inside it, under either polygon rule.
TEST(DeskWithRealServer, TellsAClickedPlaceAndSelectsWhatLiesInsideADrawnPolygon) {
  DeskSession desk;
  ASSERT_TRUE(desk.Start("ana", "secreta")) << desk.why.toStdString();
  ASSERT_NE(desk.Open("Ciudad"), nullptr) << desk.why.toStdString();
  Viewer& viewer = desk.viewer();
  desk.main->cbLayers->setCurrentText("Lugares");
  desk.main->ToolbarButton("ViewInfo")->trigger();
  QTest::mouseClick(&viewer, Qt::LeftButton, Qt::NoModifier, Pixel(viewer, -100.31, 25.67));
  ASSERT_TRUE(WaitUntil([&] { return !desk.ui.shown.empty(); }, 10000));
  EXPECT_EQ(desk.ui.shown[0].text,
            "Layer: Lugares\n\nNOMBRE: Monterrey\n\nPOBLACION: 1142994\n\nALTURA: 2.5\n\n"
            "CODIGO: -7\n\nAREA: 969.7\n\n");
  // Ana may edit the places' values but not erase them.
  desk.main->ToolbarButton("EditInfo")->trigger();
  EXPECT_EQ(viewer.toolState().MouseAction, 10);
  desk.main->ToolbarButton("Erase")->trigger();
  EXPECT_EQ(desk.ui.shown.back().title + desk.ui.shown.back().text,
            "Orvenda ViewerAcceso Denegado");
  QTest::keyClick(&viewer, Qt::Key_Escape);

  GoToTheRoads(desk);
  // A little further south, where the roads begin.
  const QPoint middle(viewer.width() / 2, viewer.height() / 2);
  ASSERT_TRUE(desk.After([&] { desk.Drag(middle, middle - QPoint(0, viewer.height() * 2 / 5)); }));
  const std::int32_t roads = desk.server.Data().roads;
  const std::vector<Point> corners = {
      {-100.13, 25.08}, {-100.04, 25.08}, {-100.04, 25.215}, {-100.13, 25.215}};
  std::vector<QPoint> clicks;
  std::vector<Point> ring;  // where the clicks land
  for (const Point& c : corners) {
    clicks.push_back(Pixel(viewer, c.X, c.Y));
    ASSERT_TRUE(viewer.rect().contains(clicks.back())) << Describe(viewer.view().ViewExtents);
    const GeoLonLat at = viewer.view().SurfaceToGeo(clicks.back().x(), clicks.back().y());
    ring.push_back({at.lon, at.lat});
  }
  QSignalSpy selections(&viewer, &Viewer::SelectionSet);
  for (const bool whole : {true, false}) {
    viewer.SelectObjects(roads);
    desk.menus.answers = {whole ? "mnuWholeElementInside" : "mnuOneVertex", "mnuCerrarPline",
                          "mnuEndSelection"};
    const auto rightClick = [&] { QTest::mouseClick(&viewer, Qt::RightButton, {}, clicks[0]); };
    rightClick();
    for (const QPoint& at : clicks) QTest::mouseClick(&viewer, Qt::LeftButton, {}, at);
    rightClick();
    rightClick();
    ASSERT_EQ(selections.count(), whole ? 1 : 2);
    const QList<int> picked = selections.back()[2].value<QList<int>>();
    const std::set<int> expected = RoadsInsideByGeos(viewer, roads, ring, whole);
    EXPECT_EQ(std::set<int>(picked.begin(), picked.end()), expected);
    EXPECT_EQ(expected.size(), whole ? 1u : 2u) << "a polygon that tells the rules apart";
  }
  EXPECT_EQ(desk.ui.shown.size(), 2u);
}

// A guest sees only what the server lets it see: the roads, closed to it, are
// never asked for nor drawn however close it zooms, and once a map is open it
// may still neither save maps nor change its password. (And a map list left
// without a choice opens nothing.)
TEST(DeskWithRealServer, AGuestNeverAsksForLayersClosedToIt) {
  DeskSession desk;
  ASSERT_TRUE(desk.Start("invitado", "")) << desk.why.toStdString();
  frmMain& main = *desk.main;
  // The map list does not close until a map is chosen.
  EXPECT_EQ(desk.Open("Ninguno"), nullptr);
  ASSERT_EQ(desk.ui.shown.size(), 1u);
  EXPECT_EQ(desk.ui.shown[0].text, "You must select a map.");
  desk.ui.shown.clear();
  ASSERT_NE(desk.Open("Ciudad"), nullptr) << desk.why.toStdString();
  GoToTheRoads(desk);
  EXPECT_LT(desk.viewer().CurrentZoom(), 50) << "close enough for the roads";
  for (const Cell& cell : CellRequests(*desk.relay)) {
    EXPECT_EQ(std::get<0>(cell), desk.server.Data().places);
  }
  EXPECT_FALSE(InkAt(desk.viewer(), -100.10, 25.205)) << "no road drawn";
  EXPECT_EQ(desk.ComboItems(), QStringList{"Lugares"});
  for (const char* item : {"mnuSaveMap", "mnuSaveAs", "mnuChangePassword"}) {
    EXPECT_FALSE(main.MenuItem(item)->isEnabled()) << item;
  }
  EXPECT_FALSE(main.ToolbarButton("SaveMap")->isEnabled());
  EXPECT_TRUE(desk.ui.shown.empty()) << desk.ui.shown.front().text;
}

// A map left open longer than the server keeps an idle connection: the server
// drops the connection, and the next view that needs data must still get it.
TEST(DeskWithRealServer, AMapLeftIdleStillGetsWhatTheViewNeeds) {
  DeskSession desk;
  // The server drops a map's connection after one idle second.
  ASSERT_TRUE(desk.Start("ana", "secreta", {"--idle-timeout", "1"})) << desk.why.toStdString();
  ASSERT_NE(desk.Open("Ciudad"), nullptr) << desk.why.toStdString();
  const WireRelay& relay = *desk.relay;
  ASSERT_TRUE(WaitUntil([&] { return relay.ClosedBy(1, 's'); }, 10000))
      << "the server kept the idle connection";
  GoToTheRoads(desk);
  const std::int32_t roads = desk.server.Data().roads;
  const std::vector<Cell> cells = CellRequests(relay);
  EXPECT_EQ(std::count_if(cells.begin(), cells.end(),
                          [&](const Cell& c) { return std::get<0>(c) == roads; }),
            2);
  // However often the server dropped it, each new connection opens the map
  // again before it asks for anything, and never asks for its definition again.
  ASSERT_GE(relay.links.size(), 3u);
  for (int connection = 2; connection < static_cast<int>(relay.links.size()); ++connection) {
    const std::vector<std::int16_t> codes = Codes(relay, connection);
    if (codes.empty()) continue;
    EXPECT_EQ(codes.front(), cmd::kOpenMap) << "connection " << connection;
    EXPECT_EQ(std::count(codes.begin(), codes.end(), cmd::kMapDefinition), 0);
  }
  EXPECT_TRUE(InkAt(desk.viewer(), -100.10, 25.205)) << "the roads arrived and are drawn";
  EXPECT_EQ(desk.viewer().StatusCaption(), "");
  EXPECT_TRUE(desk.ui.shown.empty()) << desk.ui.shown.front().text;
}

// The map setup changed (the first layer drawn later, a zoom range, a background of
// its own) and saved as a new map: a name already taken is refused and keeps the
// document; a new one brings a new login whose map list holds the map, which opens
// with exactly the setup saved (less the layer the user may not see), and which its
// author may save over.
TEST(DeskWithRealServer, AMapSetupSavedAsANewMapOpensAsSaved) {
  DeskSession desk;
  ASSERT_TRUE(desk.Start("ana", "secreta")) << desk.why.toStdString();
  ASSERT_NE(desk.Open("Ciudad"), nullptr) << desk.why.toStdString();
  frmMain& main = *desk.main;
  QString name = "Ciudad";
  int logins = 0;
  const auto answer = desk.ui.onModal;
  desk.ui.onModal = [&](ModalForm& form) {
    if (auto* chooser = dynamic_cast<QColorDialog*>(&form)) {
      chooser->setCurrentColor(QColor(0x20, 0x40, 0x60));
      chooser->accept();
    } else if (auto* setup = dynamic_cast<dlgMapSetup*>(&form)) {
      setup->cmdMoveDownLayer->click();
      setup->txtZoomMax->setText("5000");
      setup->cmdModifyLayer->click();
      setup->cmdBackColor->click();
      setup->OKButton->click();
    } else if (auto* box = dynamic_cast<QInputDialog*>(&form)) {
      EXPECT_EQ(box->textValue(), "Ciudad1");
      box->setTextValue(name);
      box->accept();
    } else {
      logins += dynamic_cast<frmLogin*>(&form) != nullptr;
      answer(form);
    }
  };
  Viewer* viewer = &desk.viewer();
  const std::string first = viewer->layers().Item(1).Nombre;
  ASSERT_TRUE(desk.After([&] { main.ToolbarButton("MapSetup")->trigger(); }));
  EXPECT_EQ(viewer->layers().Item(2).Nombre, first);
  EXPECT_EQ(viewer->layers().Item(2).ZoomMax, 5000.0f);
  EXPECT_EQ(viewer->map().BackgroundColor, 0x604020);
  SaveMapRequest saved = SaveMapSetup(*viewer, 0, "").value();
  std::erase_if(saved.layers, [&](const SavedLayer& l) {
    return viewer->layers().Item(std::to_string(l.id))->AccessLevel == ALNoAccess;
  });
  const auto said = [&](const char* text) {
    return WaitUntil([&] { return !desk.ui.shown.empty() && desk.ui.shown.back().text == text; },
                     10000);
  };
  main.MenuItem("mnuSaveAs")->trigger();
  EXPECT_TRUE(said("Nombre Inválido. Intente de nuevo"));
  EXPECT_EQ(main.Documents().size(), 1);
  name = "Ciudad de Ana";
  main.MenuItem("mnuSaveAs")->trigger();
  EXPECT_TRUE(said("Mapa guardado con éxito!"));
  ASSERT_TRUE(WaitUntil([&] { return main.Documents().isEmpty(); }, 10000));
  EXPECT_EQ(logins, 1) << "one login, after the map was saved";
  ASSERT_TRUE(desk.app->MapNames.contains(name));

  ASSERT_NE(desk.Open(name), nullptr) << desk.why.toStdString();
  viewer = &desk.viewer();
  SaveMapRequest opened = SaveMapSetup(*viewer, 0, "").value();
  EXPECT_EQ(opened.name, name.toStdString());
  opened.mapCode = saved.mapCode;
  opened.name = saved.name;
  EXPECT_TRUE(opened == saved);
  std::string order, expected;
  for (const SavedLayer& l : opened.layers) order += l.name + " ";
  for (const SavedLayer& l : saved.layers) expected += l.name + " ";
  EXPECT_EQ(order, expected);
  main.ToolbarButton("SaveMap")->trigger();
  EXPECT_TRUE(WaitUntil([&] { return desk.ui.shown.size() == 3; }, 10000));
  EXPECT_EQ(desk.ui.shown.back().text, "Mapa guardado con éxito!");
}

// The OrvendaDesk program itself, as a user starts it without a person at the
// keyboard: its own main(), ov.cfg from --config-dir, the automatic login, the
// first map opened and a picture of the window saved once the map is drawn.
TEST(DeskProgram, LogsInOpensTheFirstMapAndSavesItsPicture) {
  testing::ServerProcess server;
  ASSERT_TRUE(server.Start(QStringLiteral(ORVENDA_SERVER_PROGRAM))) << server.Why().toStdString();
  QTemporaryDir dir;
  testing::WriteFile(
      dir.filePath("ov.cfg"),
      QString("127.0.0.1\r\n%1\r\n%2\r\n").arg(server.Port()).arg(dir.path()).toUtf8());
  const QString shot = dir.filePath("shot.png");
  QProcess desk;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  desk.setProcessEnvironment(environment);
  desk.start(ORVENDA_DESK_PROGRAM,
             {"--config-dir", dir.path(), "--auto-login", "ana:secreta", "--open-first-map",
              "--screenshot", shot, "--quit-after-redraw"});
  if (!desk.waitForFinished(40000)) {
    desk.kill();
    desk.waitForFinished(5000);
    FAIL() << "OrvendaDesk did not end; its log:\n" << desk.readAllStandardError().toStdString();
  }
  EXPECT_EQ(desk.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(desk.exitCode(), 0) << desk.readAllStandardError().toStdString();
  // The window shows the map: its background, and the two places each in the
  // colour of its population class (colours no text or frame has).
  const QImage picture = QImage(shot).convertToFormat(QImage::Format_RGB32);
  const auto count = [&](QRgb colour) {
    return testing::CountColour(picture, picture.rect(), colour);
  };
  EXPECT_GT(count(qRgb(0xEE, 0xFF, 0x00)), 100000) << "the map's background";
  EXPECT_GT(count(qRgb(3, 0, 0)), 0) << "Monterrey";
  EXPECT_GT(count(qRgb(1, 0, 0)), 0) << "San Pedro";
}

}  // namespace
}  // namespace orvenda

#endif
