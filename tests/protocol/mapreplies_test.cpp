#include <gtest/gtest.h>

#include "protocol/catalogue.h"
#include "protocol/cellloading.h"
#include "protocol/layerchange.h"
#include "protocol/mapopening.h"
#include "protocol/savemap.h"
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

// `callesBold`: the bold value of the first layer.
Bytes MapDefinition(int callesBold = 2) {
  std::vector<WireValue> v = {"Ciudad", -58.123456789f, -34.7f, -58.2f, -34.5f, 0xFFFFFF, 121, 2};
  std::vector<WireValue> calles = kCalles;
  calles[21] = callesBold;
  for (const auto& part : {calles, kEscuelas, ThemeFields("A", 3), ThemeFields("B", 3)}) {
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
  // Name, extents and colour: the save test reads them back from the model.
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

// Request 240 (below) carries most of a layer record back; not the fields, the thematic
// field's type, the direction field (a line layer's "DIR", never a point layer's) nor the
// one label per text. Bold is 1, or the -1 that request 240 sends.
TEST(MapOpening, LayerRecordsFillTheModel) {
  for (const auto& [bold, expected] : {std::pair{1, true}, {-1, true}, {0, false}, {2, false}}) {
    testing::RecordingMapViewer v;
    v.sock.Deliver(MapDefinition(bold));
    layer& calles = v.layerList.Item(1);
    const layer& escuelas = v.layerList.Item(2);
    EXPECT_EQ(calles.lblBold, expected) << bold;
    EXPECT_EQ(std::tuple(calles.DirectionField, escuelas.DirectionField, escuelas.ThematicFieldType,
                         calles.Campos().count(), calles.lblAllowDuplicates),
              std::tuple("DIR", "", 200, 2, false));
  }
}

// The map as opened goes back as request 240: the first class is the layer's look,
// the others follow, counted as written (a repeated default class is left out and
// not counted); bold goes as -1, maxRow as a Single. Nothing goes before the map's
// layers are loaded, nor once they were dropped.
TEST(SaveMap, TheOpenedSetupGoesBackAsRequest240) {
  testing::RecordingMapViewer v;
  v.props.MapCode = 121;
  v.sock.Deliver(MapDefinition(-1));
  v.sock.ClearSent();
  v.pending = 0;
  EXPECT_FALSE(SendSaveMap(v, 5, ""));
  v.props.layerscargados = true;
  v.layerList.Item("9")->ThematicMap().Add(0, 1, 0, 0, 0, kAnyValueClass, "");
  ASSERT_TRUE(SendSaveMap(v, 5, ""));
  const SavedLayer calles{"Calles", 7,     2,     170,  10,       190, 20.0f,    0.5f, 0.25f,
                          1,        1e-7f, 1e37f, 0xFF, 2,        3,   0x00FF00, 6,    "NOMBRE",
                          0.001f,   0.5f,  2,     true, 0x123456, "",  3,        {}};
  SavedLayer escuelas = calles;
  escuelas.name = "Escuelas";
  escuelas.id = 9;
  escuelas.kind = 1;
  escuelas.lblField = "";
  escuelas.thematicField = "tipo";
  escuelas.themes = {{3, 3, 3, 4, 3, "A", ""}, {3, 3, 3, 4, 3, "B", ""}};
  SaveMapRequest expected{5,      121,      "Ciudad", -58.123456789f,    -34.7f, -58.2f,
                          -34.5f, 0xFFFFFF, 121,      {calles, escuelas}};
  EXPECT_EQ(v.sock.sent().back(), WriteSaveMap(expected).buffer());
  EXPECT_EQ(v.pending, 0) << "not counted";

  ASSERT_TRUE(SendSaveMap(v, 5, "Copia"));
  expected.mapCode = 0;
  expected.name = "Copia";
  EXPECT_EQ(v.sock.sent().back(), WriteSaveMap(expected).buffer());
  v.layerList.Clear();
  EXPECT_FALSE(SendSaveMap(v, 5, ""));
  EXPECT_EQ(v.sock.sent().size(), 2u);
}

// Reply 241 is told to the user, then handed on.
TEST(SaveMap, TheResultIsToldThenHandedOn) {
  testing::RecordingMapViewer v;
  std::vector<std::int16_t> results;
  RegisterSaveMapReply(v.link(), [&](std::int16_t r) { results.push_back(r); });
  for (const int result : {0, 1, 1000, 7}) v.sock.Deliver(Wire(241, "I", {result}));
  EXPECT_EQ(results, (std::vector<std::int16_t>{0, 1, 1000, 7}));
  std::vector<std::string> told;
  for (const auto& m : v.ui.shown) told.push_back(m.title + ": " + m.text);
  EXPECT_EQ(told, (std::vector<std::string>{"Orvenda: Mapa guardado con éxito!",
                                            "Orvenda: Nombre Inválido. Intente de nuevo",
                                            "Orvenda: Error inesperado."}));
}

// Replies 103 and 109 add fields and classes to one layer; "Dir" makes no direction
// field once the map is defined.
TEST(MapOpening, SingleLayerReplies) {
  testing::RecordingMapViewer v;
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
  EXPECT_TRUE(v.ui.shown.empty());
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
  EXPECT_FALSE(v.props.reopening) << "a first opening asks for the definition again";
}

using testing::Message;
using Statuses = std::vector<std::pair<std::int32_t, int>>;

// Streets (7): label field NOMBRE, direction field DIR. Schools (9): thematic field TIPO.
struct Rig {
  testing::RecordingMapViewer v;
  layer* streets = &v.layerList.Add("Calles", "7", polylinelayer, &v);
  layer* schools = &v.layerList.Add("Escuelas", "9", pointlayer, &v);

  Rig() {
    streets->lblField = "NOMBRE";
    streets->DirectionField = "DIR";
    streets->Campos().Add("NOMBRE", 200);
    streets->Campos().Add("DIR", 2);
    streets->ThematicMap().Add(0, 1, 0, 0, 0, kAnyValueClass, "");
    schools->ThematicField = "TIPO";
    schools->ThematicFieldType = 200;
    schools->ThematicMap().Add(0, 1, 0, 0, 0, kAnyValueClass, "");
    schools->ThematicMap().Add(0, 1, 0, 0, 0, "PUBLICA", "");
  }
};

using Element = std::pair<std::int32_t, std::vector<Point>>;
// Form 0 sends Double positions; form 1 Single offsets from the origin.
Bytes CellReply(std::int32_t layerId, std::int32_t i, int form, Point origin,
                const std::vector<Element>& elements) {
  std::string types = "LLLBDDL";
  std::vector<WireValue> values = {
      layerId, i, i, form, origin.X, origin.Y, static_cast<int>(elements.size())};
  for (const auto& [id, points] : elements) {
    types += "LL";
    values.insert(values.end(), {id, static_cast<int>(points.size())});
    for (const Point& p : points)
      types += form == 0 ? "DD" : "FF", values.push_back(p.X), values.push_back(p.Y);
  }
  return Wire(102, types, values);
}

Bytes ValuesReply(std::int32_t layerId, const std::string& field,
                  const std::vector<std::pair<std::int32_t, std::int32_t>>& pairs,
                  const std::vector<std::string>& values) {
  std::string types = "LSL";
  std::vector<WireValue> fields = {layerId, field, static_cast<int>(pairs.size())};
  for (const auto& [id, pos] : pairs) types += "LL", fields.push_back(id), fields.push_back(pos);
  if (!pairs.empty()) types += "L", fields.push_back(static_cast<int>(values.size()));
  for (const auto& v : values) types += "S", fields.push_back(v);
  return Wire(105, types, fields);
}

TEST(CellLoading, RequestsRecordTheirCellsAndStatusOnlyWhenSent) {
  Rig r;
  SendCellRequest(r.v, *r.streets, 250, 120);
  SendCellValuesRequest(r.v, *r.streets, 250, 120, "nombre");
  SendCellValuesRequest(r.v, *r.streets, 250, 121, "DIR");
  SendCellValuesRequest(r.v, *r.schools, 3, 4, "tipo");
  EXPECT_EQ(r.v.pending, 4);
  EXPECT_EQ(
      (std::vector<bool>{
          r.streets->IsCellRequested(250, 120), r.streets->IsLabelCellRequested(250, 120),
          r.streets->IsDirectionCellRequested(250, 121), r.schools->IsLabelCellRequested(3, 4)}),
      (std::vector<bool>{true, true, true, false}));
  EXPECT_EQ(r.v.statuses, (Statuses{{7, 10}, {7, 20}, {9, 40}}));
  EXPECT_EQ(r.v.sock.sent()[0], Wire(2, "LLL", {7, 250, 120}));

  // A cell whose request never left is asked again by the next view.
  r.v.sock.SetState(Connection::kClosed);
  r.v.sock.connectTo = Connection::kError;
  SendCellRequest(r.v, *r.streets, 1, 2);
  SendCellValuesRequest(r.v, *r.streets, 1, 2, "NOMBRE");
  EXPECT_FALSE(r.streets->IsCellRequested(1, 2) || r.streets->IsLabelCellRequested(1, 2));
  EXPECT_EQ(r.v.pending, 4);
}

TEST(CellLoading, CellRepliesInBothFormsReplaceAndAskForThemes) {
  Rig r;
  r.v.pending = 4;
  r.v.sock.Deliver(testing::Join({
      CellReply(7, 1, 1, {1000, 2000}, {{11, {{0.5, -0.25}, {1.5, 0.75}}}, {12, {{0, 0}}}}),
      CellReply(7, 2, 0, {0, 0}, {{11, {{-58.123456789012, -34.6}}}}),
  }));
  EXPECT_EQ(r.streets->Entidades.ItemByID(11)->Points(),
            (std::vector<Point>{{-58.123456789012, -34.6}}));
  EXPECT_EQ(r.streets->Entidades.Item(2)->ID, 11) << "a replaced element moves to the end";
  EXPECT_EQ(r.streets->Entidades.ItemByID(12)->Points(), (std::vector<Point>{{1000, 2000}}));
  r.v.sock.Deliver(CellReply(7, 3, 1, {1000, 2000}, {{40, {{0.5, -0.25}}}}));
  EXPECT_EQ(r.streets->Entidades.ItemByID(40)->Points(), (std::vector<Point>{{1000.5, 1999.75}}));
  EXPECT_TRUE(r.streets->Loaded && r.v.props.layerscargados);
  EXPECT_EQ(r.v.redraws, 0) << "a request is still pending";

  // An empty cell of a thematic layer: loaded, and its values asked for.
  r.v.sock.Deliver(CellReply(9, 5, 1, {0, 0}, {}));
  EXPECT_TRUE(r.schools->Loaded);
  EXPECT_EQ(r.v.redraws, 1);
  EXPECT_EQ(r.v.sock.sent(), std::vector<Bytes>{Wire(5, "LLLS", {9, 5, 5, "TIPO"})});
  EXPECT_EQ(r.v.pending, 1);
}

TEST(CellLoading, ValueRepliesSetLabelsDirectionsAndClasses) {
  Rig r;
  r.v.pending = 2;
  r.v.sock.Deliver(CellReply(7, 1, 0, {0, 0}, {{1, {{0, 0}}}, {2, {{1, 1}}}, {3, {{2, 2}}}}));
  r.v.sock.Deliver(CellReply(9, 1, 0, {0, 0}, {{5, {{0, 0}}}, {6, {{1, 1}}}}));
  r.v.redraws = 0;
  r.v.pending = 4;
  r.v.statuses.clear();
  std::string longest;  // the longest String the wire carries: 32 767 characters
  for (int k = 0; k < 32767; ++k) longest += "ñ";
  r.v.sock.Deliver(testing::Join({
      ValuesReply(7, "nombre", {{1, 1}, {2, 2}, {3, 1}, {99, 2}}, {"Av. Peñalolén", longest}),
      ValuesReply(7, "DIR", {{1, 1}, {2, 2}, {3, 3}}, {" ", "+1", " -2"}),
      ValuesReply(9, "TIPO", {{5, 1}, {6, 2}}, {"PUBLICA", "PRIVADA"}),
      ValuesReply(7, "nombre", {}, {}),
  }));
  EXPECT_EQ(r.v.pending, 0);
  const Entidades& s = r.streets->Entidades;
  const Entidades& t = r.schools->Entidades;
  EXPECT_EQ(r.streets->Labels().Item(s.ItemByID(2)->IDLabel).word, longest);
  EXPECT_EQ(r.streets->Labels().Item(s.ItemByID(3)->IDLabel).word, "Av. Peñalolén");
  EXPECT_EQ((std::vector<int>{s.ItemByID(1)->IDLabel, r.streets->Labels().count(),
                              s.ItemByID(1)->Direction, s.ItemByID(2)->Direction,
                              s.ItemByID(3)->Direction, t.ItemByID(5)->ThemeCode,
                              t.ItemByID(6)->ThemeCode, r.v.redraws}),
            (std::vector<int>{s.ItemByID(3)->IDLabel, 2, 0, 1, -2, 2, 1, 1}));
  EXPECT_TRUE(r.schools->CalculateThemes);
  // Every loading line opened is closed again, the empty reply's too; directions have none.
  EXPECT_EQ(r.v.statuses, (Statuses{{7, 21}, {7, 121}, {9, 41}, {9, 141}, {7, 21}, {7, 121}}));
  EXPECT_TRUE(r.v.ui.shown.empty());
}

TEST(CellLoading, BadPairsAreReportedOncePerReplyAndGoodOnesApplied) {
  Rig r;
  r.v.sock.Deliver(CellReply(7, 1, 0, {0, 0}, {{1, {{0, 0}}}}));
  std::vector<std::pair<std::int32_t, std::int32_t>> pairs(5000, {0, 1});
  pairs.push_back({1, 1});
  r.v.sock.Deliver(ValuesReply(7, "NOMBRE", pairs, {"Lavalle"}));
  ASSERT_EQ(r.v.ui.shown.size(), 1u);
  EXPECT_EQ(r.v.ui.shown[0].text, "Error when loading labels.\nLayer: 7, Field: NOMBRE");
  EXPECT_EQ(r.streets->Labels().count(), 1);
  EXPECT_NE(r.streets->Entidades.ItemByID(1)->IDLabel, 0);
}

TEST(CellLoading, ImpossibleCountsDropTheReplyBeforeAnythingIsSized) {
  for (std::int32_t count : {100, -1}) {
    Rig r;
    r.v.pending = 2;
    r.v.sock.Deliver(Wire(102, "LLLBDDLLL", {7, 7, 7, 0, 0, 0, 1, 1, count}));  // no points follow
    EXPECT_EQ(r.v.pending, 1);
    ASSERT_EQ(r.v.ui.shown.size(), 1u);
    EXPECT_NE(r.v.ui.shown[0].text.find("count " + std::to_string(count) + " does not fit"),
              std::string::npos)
        << r.v.ui.shown[0].text;
    EXPECT_EQ(r.streets->Entidades.count(), 0);
  }
}

TEST(LayerChange, EveryOperationThenARepaint) {
  Rig r;
  r.v.sock.Deliver(CellReply(7, 1, 0, {0, 0}, {{1, {{0, 0}}}, {2, {{1, 1}}}}));
  r.streets->LabelCellSolicitada(1, 1);
  r.v.sock.ClearSent();
  r.v.sock.Deliver(Wire(250, "ILL I DDDD ISS", {1, 7, 2, 2, 5, 6, 7, 8, 2, "Florida", "-1"}));
  const Entidad* e2 = r.streets->Entidades.ItemByID(2);
  EXPECT_EQ(e2->Points(), (std::vector<Point>{{5, 6}, {7, 8}}));
  EXPECT_EQ(e2->Direction, -1);
  EXPECT_EQ(r.streets->Labels().count(), 1);
  r.v.sock.Deliver(Wire(250, "ILL I DD", {6, 7, 1, 1, 9, 10}));
  EXPECT_EQ(r.streets->Entidades.ItemByID(1)->Points(), (std::vector<Point>{{9, 10}}));
  r.v.sock.Deliver(Wire(250, "ILL ISS", {3, 7, 1, 2, "Florida", "1"}));
  EXPECT_EQ(r.streets->Entidades.ItemByID(1)->IDLabel, e2->IDLabel);
  EXPECT_EQ(r.streets->Entidades.ItemByID(1)->Direction, 1);
  r.v.sock.Deliver(Wire(250, "ILL", {2, 7, 1}));
  EXPECT_EQ(r.streets->Entidades.ItemByID(1), nullptr);
  r.v.sock.Deliver(Wire(250, "ILL LLLL", {4, 7, 0, 1, 2, 3, 4}));
  EXPECT_EQ(r.streets->minCol, 1);
  EXPECT_EQ(r.streets->maxRow, 4);
  r.v.sock.Deliver(Wire(250, "ILL L LLLLLL", {5, 7, 0, 3, 1, 1, 8, 8, 1, 0}));
  EXPECT_EQ(r.v.sock.sent().size(), 1u)
      << "only the label cell is asked again: the layer has no thematic field";
  r.v.sock.Deliver(Wire(250, "ILL", {2, 404, 1}));  // a layer this map does not hold
  EXPECT_EQ(r.v.repainted, (std::vector<std::int32_t>{7, 7, 7, 7, 7, 7}));
  EXPECT_TRUE(r.v.ui.shown.empty());
  r.v.sock.Deliver(Wire(250, "ILL L", {5, 7, 0, -1}));  // a negative count of stale cells
  EXPECT_EQ(r.v.ui.shown.size(), 1u);
  // New values classify by the thematic field's own value, not by any other field's.
  r.schools->Campos().Add("TIPO", 200);
  r.schools->Campos().Add("NOMBRE", 200);
  r.v.sock.Deliver(CellReply(9, 1, 0, {0, 0}, {{5, {{0, 0}}}}));
  r.v.sock.Deliver(Wire(250, "ILL ISS", {3, 9, 5, 2, "PUBLICA", "Escuela 5"}));
  EXPECT_EQ(r.schools->Entidades.ItemByID(5)->ThemeValue(), "PUBLICA");
}

}  // namespace
}  // namespace orvenda
