#include "protocol/mapopening.h"

#include <gtest/gtest.h>

#include <sstream>

#include "protocol/catalogue.h"
#include "support/recordingmapviewer.h"
#include "support/wire.h"

namespace orvenda {
namespace {

using testing::Bytes;
using testing::Wire;
using testing::WireValue;

// A theme record: lower bound, empty upper bound, colours and styles from `n`.
const char* const kTheme = "SSLIILI";
std::vector<WireValue> ThemeFields(const std::string& lower, int n) {
  return {lower, "", n, n, n, n + 1, n};
}

// Name, ID, kind; grid; cell size; visibility 7 (stored as 1); zooms; the default look;
// label field (" ": none), zooms, visibility, bold, colour; thematic field and type; fields.
const std::string kLayer = "SLI LLLL FF I FF LIILI S FF II L S I I";
const std::vector<WireValue> kCalles = {
    "Calles", 7,    2, 170, 10,       190, 20,       0.5,   0.25, 7, 1e-7,
    1e37,     0xFF, 2, 3,   0x00FF00, 6,   "NOMBRE", 0.001, 0.5,  2, 2,
    0x123456, " ",  3, 2,   "NOMBRE", 200, "dir",    2,     0};
const std::vector<WireValue> kEscuelas = {
    "Escuelas", 9,      1, 170, 10,       190, 20,     0.5,   0.25, 7, 1e-7,
    1e37,       0xFF,   2, 3,   0x00FF00, 6,   " ",    0.001, 0.5,  2, 1,
    0x123456,   "tipo", 3, 2,   "DIR",    2,   "TIPO", 200,   2};

Bytes MapDefinition() {
  std::vector<WireValue> v = {"Ciudad", -58.123456789f, -34.7f, -58.2f, -34.5f, 0xFFFFFF, 121, 2};
  for (const auto& part : {kCalles, kEscuelas, ThemeFields("A", 3), ThemeFields("B", 3)}) {
    v.insert(v.end(), part.begin(), part.end());
  }
  return Wire(101, "S FFFF LII" + kLayer + "SISI I" + kLayer + "SISI I" + kTheme + kTheme, v);
}

TEST(MapOpening, TheWholeSequenceByteForByte) {
  testing::RecordingMapViewer v;
  v.props.IDUser = 4711;
  v.props.MapCode = 121;
  SendOpenMap(v, v.props.IDUser, v.props.MapCode);
  EXPECT_EQ(v.pending, 1);
  EXPECT_EQ(v.sock.sent().back(),
            (Bytes{'M', 'I', 'C', ' ', 18, 0, 0, 0, 10, 0, 0x67, 0x12, 0, 0, 121, 0, 0, 0}));
  v.sock.Deliver(Wire(110, "I", {0}));
  EXPECT_EQ(v.pending, 1) << "110 answered, 1 sent";
  EXPECT_EQ(v.sock.sent().back(), (Bytes{'M', 'I', 'C', ' ', 14, 0, 0, 0, 1, 0, 121, 0, 0, 0}));

  const Bytes def = MapDefinition();  // arrives in two pieces
  v.sock.Deliver(Bytes(def.begin(), def.begin() + 50));
  EXPECT_EQ(v.mapLoaded, 0);
  v.sock.Deliver(Bytes(def.begin() + 50, def.end()));
  EXPECT_EQ(v.mapLoaded, 1);
  EXPECT_EQ(v.pending, 1) << "101 answered, 11 sent";
  EXPECT_EQ(v.sock.sent().back(), (Bytes{'M', 'I', 'C', ' ', 24, 0, 0, 0, 11, 0, 0x67, 0x12,
                                         0,   0,   2,   0,   7,  0, 0, 0, 9,  0, 0,    0}));
  EXPECT_EQ(v.props.Nombre, "Ciudad");
  EXPECT_EQ(v.props.MapExtents.MinX, static_cast<double>(-58.123456789f)) << "extents are Singles";
  EXPECT_EQ(v.props.MapExtents.MaxY, static_cast<double>(-34.5f));
  EXPECT_EQ(v.props.BackgroundColor, 0xFFFFFF);
  EXPECT_EQ(v.projections, std::vector<std::int16_t>{121});
  EXPECT_EQ(v.statuses, (std::vector<std::pair<std::int32_t, int>>{{0, 1}, {0, 101}}));

  // 55 is no layer of this map.
  v.sock.Deliver(Wire(111, "I LI LI LI", {3, 7, ALDraw, 9, ALViewer, 55, ALDraw}));
  EXPECT_EQ(v.pending, 0);
  EXPECT_EQ(v.zoomExtents, 1);
  EXPECT_EQ(v.layerList.Item("7")->AccessLevel, ALDraw);
  EXPECT_EQ(v.layerList.Item("9")->AccessLevel, ALViewer);
  EXPECT_TRUE(v.ui.shown.empty());
}

// A layer as text: name ID kind | grid | cell size | visibility, zooms | label field,
// zooms, visibility, bold, colour | thematic field, type, field type | direction field,
// visibility | fields | classes: bounds, pen colour, style, width, fill colour, style.
std::string Summary(layer& l) {
  std::ostringstream os;
  os << l.Nombre << " " << l.IDLayer << " " << l.Tipo << " | " << l.minCol << " " << l.minRow << " "
     << l.maxCol << " " << l.maxRow << " | " << l.GridDeltaX << " " << l.GridDeltaY << " | "
     << l.UserVisibility() << " " << l.ZoomMin << " " << l.ZoomMax << " | " << l.lblField << " "
     << l.lblZoomMin << " " << l.lblZoomMax << " " << l.UserLabelVisibility() << " " << l.lblBold
     << " " << l.lblColor << " | " << l.ThematicField << " " << l.ThematicType << " "
     << l.ThematicFieldType << " | " << l.DirectionField << " " << l.UserDirectionVisibility()
     << " |";
  for (const Campo& c : l.Campos()) os << " " << c.Nombre << ":" << c.Tipo;
  os << " |";
  for (const Theme& t : l.ThematicMap()) {
    os << " " << t.min << "-" << t.max << " " << t.DrawColor << " " << t.DrawStyle << " "
       << t.DrawWidth << " " << t.FillColor << " " << t.FillStyle;
  }
  return os.str();
}

// " " means no field; a visibility of 7 is stored as 1; only 1 means bold; a "DIR" field
// is a line layer's direction field (hidden at first), never a point layer's.
TEST(MapOpening, LayerRecordsFillTheModel) {
  testing::RecordingMapViewer v;
  v.sock.Deliver(MapDefinition());
  ASSERT_EQ(v.layerList.count(), 2);
  EXPECT_EQ(Summary(v.layerList.Item(1)),
            "Calles 7 2 | 170 10 190 20 | 0.5 0.25 | 1 1e-07 1e+37 | NOMBRE 0.001 0.5 2 0 1193046 "
            "|  3 0 | DIR 0 | NOMBRE:200 dir:2 | MICanyMIC- 255 2 3 65280 6");
  EXPECT_EQ(
      Summary(v.layerList.Item(2)),
      "Escuelas 9 1 | 170 10 190 20 | 0.5 0.25 | 1 1e-07 1e+37 |  0.001 0.5 2 1 1193046 | "
      "tipo 3 200 |  0 | DIR:2 TIPO:200 | MICanyMIC- 255 2 3 65280 6 A- 3 3 3 4 3 B- 3 3 3 4 3");
}

TEST(MapOpening, RefusalAndSingleLayerReplies) {
  testing::RecordingMapViewer v;
  v.pending = 1;
  v.sock.Deliver(Wire(110, "I", {3}));
  EXPECT_EQ(v.pending, 0);
  EXPECT_TRUE(v.sock.sent().empty());
  ASSERT_EQ(v.ui.shown.size(), 1u);
  EXPECT_EQ(v.ui.shown[0].text, "Acceso Denegado");
  EXPECT_EQ(v.ui.shown[0].title, "Orvenda Viewer");
  EXPECT_EQ(v.ui.shown[0].icon, MessageIcon::Critical);

  v.sock.Deliver(MapDefinition());
  v.layerList.Item("7")->DirectionField = "";
  v.pending = 4;
  const auto fields = [](int layerId) { return Wire(103, "LI SI", {layerId, 1, "Dir", 3}); };
  auto theme = ThemeFields("C", 5);
  const auto themes = [&](int layerId) {
    std::vector<WireValue> record = {layerId, 1};
    record.insert(record.end(), theme.begin(), theme.end());
    return Wire(109, std::string("LI") + kTheme, record);
  };
  v.sock.Deliver(testing::Join({fields(7), themes(9), fields(404), themes(404)}));
  EXPECT_EQ(v.pending, 0);
  EXPECT_EQ(v.layerList.Item("7")->Campos().count(), 3);
  EXPECT_EQ(v.layerList.Item("7")->DirectionField, "");
  layer& escuelas = *v.layerList.Item("9");
  EXPECT_EQ(escuelas.ThematicMap().count(), 4);
  EXPECT_EQ(escuelas.ThematicMap().Item(4).min, "C");
  EXPECT_EQ(v.ui.shown.size(), 1u) << "nothing more to tell the user";
}

// The server drops a connection left idle; the map loaded on it is opened again
// on the next one, before the request that needed the connection, and its reply
// asks for no definition: the viewer already has it.
TEST(MapOpening, ALoadedMapIsOpenedAgainOnANewConnection) {
  testing::RecordingMapViewer v;
  v.pump.onPump = [&v] {
    v.clock.now += 1;
    v.sock.Pump();
  };
  v.props.IDUser = 77;
  v.props.MapCode = 3;
  v.sock.SetState(Connection::kClosed);
  SendMapDefinition(v, 3);
  ASSERT_EQ(v.sock.sent().size(), 1u) << "nothing loaded yet: nothing to open again";

  v.props.layerscargados = true;
  v.sock.SetState(Connection::kClosed);
  v.pending = 0;
  v.link().SendToServer(cmd::kCell, [](DWBUffer& b) {
    testing::PutFields(b, "LLL", {9, 230, 159});
  });
  ASSERT_EQ(v.sock.sent().size(), 3u);
  EXPECT_EQ(v.sock.sent()[1], Wire(10, "LL", {77, 3}));
  EXPECT_EQ(v.sock.sent()[2][8], cmd::kCell) << "the cell request after it";
  EXPECT_EQ(v.pending, 2);
  v.sock.Deliver(Wire(110, "I", {0}));
  EXPECT_EQ(v.pending, 1);
  EXPECT_EQ(v.sock.sent().size(), 3u) << "no second map definition";
  EXPECT_FALSE(v.props.reopening);
  EXPECT_TRUE(v.ui.shown.empty());

  // Refused this time (the user lost the map): the user is told, nothing more is asked.
  v.sock.SetState(Connection::kClosed);
  v.link().SendToServer(cmd::kCell);
  v.sock.Deliver(Wire(110, "I", {1}));
  EXPECT_EQ(v.sock.sent().size(), 5u);
  ASSERT_EQ(v.ui.shown.size(), 1u);
  EXPECT_EQ(v.ui.shown[0].text, "Acceso Denegado");
  EXPECT_FALSE(v.props.reopening);

  // A first opening still asks for the definition.
  v.sock.Deliver(Wire(110, "I", {0}));
  ASSERT_EQ(v.sock.sent().size(), 6u);
  EXPECT_EQ(v.sock.sent()[5], Wire(1, "L", {3}));
}

}  // namespace
}  // namespace orvenda
