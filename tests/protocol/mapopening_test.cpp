#include "protocol/mapopening.h"

#include <gtest/gtest.h>

#include "protocol/catalogue.h"
#include "support/recordingmapviewer.h"
#include "support/wire.h"

namespace orvenda {
namespace {

using testing::Bytes;
using testing::Message;
using testing::RecordingMapViewer;

struct Field {
  std::string name;
  std::int16_t type;
};
struct ThemeRec {
  std::string lower, upper;
  std::int32_t colour;
  std::int16_t style, width;
  std::int32_t fill;
  std::int16_t fillStyle;
};
struct LayerRec {
  std::string name;
  std::int32_t id;
  std::int16_t kind;
  std::string label = " ", thematic = " ";
  std::int16_t bold = 1;
  std::vector<Field> fields;
  std::vector<ThemeRec> themes;
};

void PutTheme(DWBUffer& b, const ThemeRec& t) {
  b.PutString(t.lower);
  b.PutString(t.upper);
  b.PutLong(t.colour);
  b.PutInteger(t.style);
  b.PutInteger(t.width);
  b.PutLong(t.fill);
  b.PutInteger(t.fillStyle);
}

void PutLayer(DWBUffer& b, const LayerRec& l) {
  b.PutString(l.name);
  b.PutLong(l.id);
  b.PutInteger(l.kind);
  for (std::int32_t v : {170, 10, 190, 20}) b.PutLong(v);  // minCol minRow maxCol maxRow
  b.PutSingle(0.5f);
  b.PutSingle(0.25f);
  b.PutInteger(7);  // out of range: stored as 1
  b.PutSingle(1e-7f);
  b.PutSingle(1e37f);
  b.PutLong(0x0000FF);  // the default look: colour, style, width, fill colour, fill style
  b.PutInteger(2);
  b.PutInteger(3);
  b.PutLong(0x00FF00);
  b.PutInteger(6);
  b.PutString(l.label);
  b.PutSingle(0.001f);
  b.PutSingle(0.5f);
  b.PutInteger(2);
  b.PutInteger(l.bold);
  b.PutLong(0x123456);
  b.PutString(l.thematic);
  b.PutInteger(3);
  b.PutInteger(static_cast<std::int16_t>(l.fields.size()));
  for (const Field& f : l.fields) {
    b.PutString(f.name);
    b.PutInteger(f.type);
  }
  b.PutInteger(static_cast<std::int16_t>(l.themes.size()));
  for (const ThemeRec& t : l.themes) PutTheme(b, t);
}

Bytes MapDefinition(const std::vector<LayerRec>& layers) {
  return Message(101, [&](DWBUffer& b) {
    b.PutString("Ciudad");
    b.PutSingle(-58.123456789f);
    b.PutSingle(-34.7f);
    b.PutSingle(-58.2f);
    b.PutSingle(-34.5f);
    b.PutLong(0xFFFFFF);
    b.PutInteger(121);
    b.PutInteger(static_cast<std::int16_t>(layers.size()));
    for (const LayerRec& l : layers) PutLayer(b, l);
  });
}

const std::vector<LayerRec> kTwoLayers = {
    {"Calles", 7, 2, "NOMBRE", " ", 2, {{"NOMBRE", 200}, {"dir", 2}}, {}},
    {"Escuelas",
     9,
     1,
     " ",
     "tipo",
     1,
     {{"DIR", 2}, {"TIPO", 200}},
     {{"A", "", 1, 0, 1, 2, 0}, {"B", "", 3, 1, 2, 4, 1}}},
};

TEST(MapOpening, TheWholeSequenceByteForByte) {
  RecordingMapViewer v;
  v.props.IDUser = 4711;
  v.props.MapCode = 121;
  SendOpenMap(v, v.props.IDUser, v.props.MapCode);
  EXPECT_EQ(v.pending, 1);
  EXPECT_EQ(v.sock.sent().back(),
            (Bytes{'M', 'I', 'C', ' ', 18, 0, 0, 0, 10, 0, 0x67, 0x12, 0, 0, 121, 0, 0, 0}));

  v.sock.Deliver(Message(110, [](DWBUffer& b) { b.PutInteger(0); }));
  EXPECT_EQ(v.pending, 1) << "110 answered, 1 sent";
  EXPECT_EQ(v.sock.sent().back(), (Bytes{'M', 'I', 'C', ' ', 14, 0, 0, 0, 1, 0, 121, 0, 0, 0}));

  // The definition arrives in two pieces.
  const Bytes def = MapDefinition(kTwoLayers);
  v.sock.Deliver(Bytes(def.begin(), def.begin() + 50));
  EXPECT_EQ(v.mapLoaded, 0);
  v.sock.Deliver(Bytes(def.begin() + 50, def.end()));
  EXPECT_EQ(v.mapLoaded, 1);
  EXPECT_EQ(v.pending, 1) << "101 answered, 11 sent";
  EXPECT_EQ(v.sock.sent().back(), (Bytes{'M', 'I', 'C', ' ', 24, 0, 0, 0, 11, 0, 0x67, 0x12,
                                         0,   0,   2,   0,   7,  0, 0, 0, 9,  0, 0,    0}));
  EXPECT_EQ(v.props.Nombre, "Ciudad");
  EXPECT_EQ(v.props.MapExtents.MinX, static_cast<double>(-58.123456789f)) << "extents are Singles";
  EXPECT_EQ(v.props.BackgroundColor, 0xFFFFFF);
  EXPECT_EQ(v.projections, std::vector<std::int16_t>{121});
  EXPECT_EQ(v.statuses, (std::vector<std::pair<std::int32_t, int>>{{0, 1}, {0, 101}}));

  v.sock.Deliver(Message(111, [](DWBUffer& b) {
    b.PutInteger(3);
    b.PutLong(7);
    b.PutInteger(ALDraw);
    b.PutLong(9);
    b.PutInteger(ALViewer);
    b.PutLong(55);  // not a layer of this map
    b.PutInteger(ALDraw);
  }));
  EXPECT_EQ(v.pending, 0);
  EXPECT_EQ(v.zoomExtents, 1);
  EXPECT_EQ(v.layerList.Item("7")->AccessLevel, ALDraw);
  EXPECT_EQ(v.layerList.Item("9")->AccessLevel, ALViewer);
  EXPECT_TRUE(v.ui.shown.empty());
}

TEST(MapOpening, LayerRecordsFillTheModel) {
  RecordingMapViewer v;
  v.pending = 1;
  v.sock.Deliver(MapDefinition(kTwoLayers));
  ASSERT_EQ(v.layerList.count(), 2);
  layer& calles = v.layerList.Item(1);
  EXPECT_EQ(calles.Nombre, "Calles");
  EXPECT_EQ(calles.IDLayer, 7);
  EXPECT_EQ(calles.minCol, 170);
  EXPECT_EQ(calles.maxRow, 20);
  EXPECT_EQ(calles.GridDeltaY, 0.25f);
  EXPECT_EQ(calles.UserVisibility(), 1);
  EXPECT_EQ(calles.ZoomMax, 1e37f);
  EXPECT_EQ(calles.lblField, "NOMBRE");
  EXPECT_EQ(calles.ThematicField, "");
  EXPECT_FALSE(calles.lblBold) << "only 1 means bold";
  EXPECT_EQ(calles.DirectionField, "DIR") << "a line layer's dir field is its direction field";
  EXPECT_EQ(calles.UserDirectionVisibility(), 0);
  EXPECT_EQ(calles.Campos().count(), 2);
  ASSERT_EQ(calles.ThematicMap().count(), 1);
  const Theme& def = calles.ThematicMap().Item(1);
  EXPECT_EQ(def.min, "MICanyMIC");
  EXPECT_EQ(def.max, "");
  EXPECT_EQ(def.DrawColor, 0x0000FFu);
  EXPECT_EQ(def.DrawStyle, 2);
  EXPECT_EQ(def.DrawWidth, 3);
  EXPECT_EQ(def.FillColor, 0x00FF00u);
  EXPECT_EQ(def.FillStyle, 6);

  layer& escuelas = v.layerList.Item(2);
  EXPECT_EQ(escuelas.lblField, "");
  EXPECT_TRUE(escuelas.lblBold);
  EXPECT_EQ(escuelas.DirectionField, "") << "point layers have no direction";
  EXPECT_EQ(escuelas.ThematicField, "tipo");
  EXPECT_EQ(escuelas.ThematicFieldType, 200);
  ASSERT_EQ(escuelas.ThematicMap().count(), 3);
  EXPECT_EQ(escuelas.ThematicMap().Item(3).min, "B");
  EXPECT_EQ(escuelas.ThematicMap().Item(3).FillColor, 4u);
}

TEST(MapOpening, RefusalAndSingleLayerReplies) {
  RecordingMapViewer v;
  v.pending = 1;
  v.sock.Deliver(Message(110, [](DWBUffer& b) { b.PutInteger(3); }));
  EXPECT_EQ(v.pending, 0);
  EXPECT_TRUE(v.sock.sent().empty());
  ASSERT_EQ(v.ui.shown.size(), 1u);
  EXPECT_EQ(v.ui.shown[0].text, "Acceso Denegado");
  EXPECT_EQ(v.ui.shown[0].title, "Orvenda Viewer");
  EXPECT_EQ(v.ui.shown[0].icon, MessageIcon::Critical);

  v.pending = 1;
  v.sock.Deliver(MapDefinition(kTwoLayers));
  v.pending = 4;
  v.sock.Deliver(testing::Join({
      Message(103,
              [](DWBUffer& b) {
                b.PutLong(9);
                b.PutInteger(1);
                b.PutString("Dir2");
                b.PutInteger(3);
              }),
      Message(109,
              [](DWBUffer& b) {
                b.PutLong(9);
                b.PutInteger(1);
                PutTheme(b, {"C", "", 5, 0, 1, 6, 0});
              }),
      Message(103,
              [](DWBUffer& b) {  // a layer the map does not hold
                b.PutLong(404);
                b.PutInteger(1);
                b.PutString("X");
                b.PutInteger(3);
              }),
      Message(109,
              [](DWBUffer& b) {
                b.PutLong(404);
                b.PutInteger(0);
              }),
  }));
  EXPECT_EQ(v.pending, 0);
  layer& escuelas = *v.layerList.Item("9");
  EXPECT_EQ(escuelas.Campos().count(), 3);
  EXPECT_EQ(escuelas.ThematicMap().count(), 4);
  EXPECT_EQ(escuelas.ThematicMap().Item(4).min, "C");
  EXPECT_EQ(v.ui.shown.size(), 1u) << "nothing more to tell the user";
}

// The server drops a connection left idle; the map loaded on it is opened again
// on the next one, before the request that needed the connection, and its reply
// asks for no definition: the viewer already has it.
TEST(MapOpening, ALoadedMapIsOpenedAgainOnANewConnection) {
  RecordingMapViewer v;
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
    for (std::int32_t n : {9, 230, 159}) b.PutLong(n);
  });
  ASSERT_EQ(v.sock.sent().size(), 3u);
  EXPECT_EQ(v.sock.sent()[1], Message(10, [](DWBUffer& b) {
              b.PutLong(77);
              b.PutLong(3);
            }));
  EXPECT_EQ(v.sock.sent()[2][8], cmd::kCell) << "the cell request after it";
  EXPECT_EQ(v.pending, 2);
  v.sock.Deliver(Message(110, [](DWBUffer& b) { b.PutInteger(0); }));
  EXPECT_EQ(v.pending, 1);
  EXPECT_EQ(v.sock.sent().size(), 3u) << "no second map definition";
  EXPECT_FALSE(v.props.reopening);
  EXPECT_TRUE(v.ui.shown.empty());

  // Refused this time (the user lost the map): the user is told, nothing more is asked.
  v.sock.SetState(Connection::kClosed);
  v.link().SendToServer(cmd::kCell);
  v.sock.Deliver(Message(110, [](DWBUffer& b) { b.PutInteger(1); }));
  EXPECT_EQ(v.sock.sent().size(), 5u);
  ASSERT_EQ(v.ui.shown.size(), 1u);
  EXPECT_EQ(v.ui.shown[0].text, "Acceso Denegado");
  EXPECT_FALSE(v.props.reopening);

  // A first opening still asks for the definition.
  v.sock.Deliver(Message(110, [](DWBUffer& b) { b.PutInteger(0); }));
  ASSERT_EQ(v.sock.sent().size(), 6u);
  EXPECT_EQ(v.sock.sent()[5], Message(1, [](DWBUffer& b) { b.PutLong(3); }));
}

}  // namespace
}  // namespace orvenda
