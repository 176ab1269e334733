// The mouse tools without a widget: a scripted gesture on a recording host whose
// view is 0..2 x 0..2 degrees (no projection) on 300 x 300 units: 150 units per
// degree, unit (150, 150) at (1, 1). Each script gives the log of what the tool
// asked of the host and the state it left.
#include <gtest/gtest.h>

#include <span>
#include <sstream>

#include "protocol/editmessages.h"
#include "support/fakes.h"
#include "support/wire.h"
#include "viewer/tools/newelement.h"
#include "viewer/tools/pointrules.h"
#include "viewer/tools/tooldispatcher.h"
#include "viewer/tools/toolmenus.h"
#include "viewer/tools/vertexedittool.h"

namespace orvenda {
namespace {

std::string Text(SurfaceXY p) {
  std::ostringstream s;
  s << p.x << "," << p.y;
  return s.str();
}
std::string Text(const std::optional<SurfaceLine>& l) {
  return l ? Text(l->from) + ">" + Text(l->to) : "-";
}

class RecordingHost final : public ToolHost {
 public:
  ToolState state;
  testing::ScriptedInteraction ui;
  std::vector<std::string> menuAnswers;  // one for each menu shown, in turn
  ViewTransform transform;
  layer picked;      // layer 7
  Layers mapLayers;  // the map's layers, for the point rules and the new elements
  std::vector<testing::Bytes> sent;
  // What the attribute dialog (or OnNewElement) and the snapping dialogs answer.
  std::optional<std::vector<std::string>> values;
  std::optional<ProjectedXY> offsets;
  std::optional<std::pair<double, double>> distances;
  std::vector<std::string> log;
  ToolDispatcher dispatch{*this};

  RecordingHost() {
    transform.ViewWidth = transform.ViewHeight = 300;
    transform.ApplyExtents(0, 0, 2, 2);
  }
  ToolState& tools() override { return state; }
  Interaction& interaction() override { return ui; }
  const ViewTransform& view() const override { return transform; }
  bool LayersLoaded() const override { return true; }
  bool Idle() const override { return true; }
  void ForgetPendingRequests() override {}
  void ApplyExtents(double x1, double y1, double x2, double y2) override {
    Log("extents " + Text({x1, y1}) + " " + Text({x2, y2}));
  }
  void PanFrom(GeoLonLat d, GeoLonLat u) override {
    Log("pan " + Text({d.lon, d.lat}) + ">" + Text({u.lon, u.lat}));
  }
  void ZoomAboutPointer() override { Log("zoom"); }
  void RepaintSaved() override { Log("repaint"); }
  void ClearSelection() override { Log("clear selection"); }
  layer* FindLayer(std::int32_t id) override {
    return id == picked.IDLayer ? &picked : mapLayers.Item(std::to_string(id));
  }
  Layers& layers() override { return mapLayers; }
  std::optional<std::vector<std::string>> AskNewElementValues(layer&,
                                                              const std::string& title) override {
    Log(title);
    return values;
  }
  std::optional<ProjectedXY> AskRelativeTo() override { return offsets; }
  std::optional<std::pair<double, double>> AskSmartEndPoint(
      const std::function<bool()>& selectSegment) override {
    return selectSegment() ? distances : std::nullopt;
  }
  void MultipleSelectPolygon(std::int32_t id, const std::vector<Point>& drawn) override {
    Log("polygon " + std::to_string(id) + " of " + std::to_string(drawn.size()));
  }
  void UnloadSelectForm() override {}
  void RequestInformation(std::int32_t id, const std::vector<std::int32_t>& ids) override {
    Log("information " + Ids(id, ids));
  }
  void RaiseSelectionSet(std::int32_t id, const std::vector<std::int32_t>& ids) override {
    Log("SelectionSet " + Ids(id, ids));
  }
  void ZoomToSelected(std::int32_t id, const std::vector<std::int32_t>& ids) override {
    Log("zoom to " + Ids(id, ids));
  }
  void EraseElements(std::int32_t id, const std::vector<std::int32_t>& ids) override {
    Log("erase " + Ids(id, ids));
  }
  void EditAttributes(std::int32_t id, const std::vector<std::int32_t>& ids) override {
    Log("edit " + Ids(id, ids));
  }
  void SetRubberBand(std::optional<SurfaceLine> c) override { Log("band " + Text(c)); }
  void SetPictureShift(std::optional<SurfaceXY> s) override {
    Log("shift " + (s ? Text(*s) : "-"));
  }
  void SetRubberLines(std::optional<SurfaceLine> a, std::optional<SurfaceLine> b) override {
    Log("lines " + Text(a) + " " + Text(b));
  }
  void DrawFigure(bool closed) override { Log(closed ? "polygon" : "polyline"); }
  void SetVertexMarker(std::optional<SurfaceXY> c) override {
    Log("marker " + (c ? Text(*c) : "-"));
  }
  void RepaintLayer(std::int32_t id) override { Log("repaint layer " + std::to_string(id)); }
  bool SendToServer(const DWBUffer& request) override {
    sent.push_back(request.buffer());
    return true;
  }
  void SetToolPointer(int code) override { Log("tool pointer " + std::to_string(code)); }
  void SetMousePointer(int code) override { Log("pointer " + std::to_string(code)); }
  int MousePointer() const override { return 0; }
  std::string Popup(const ContextMenu& menu, SurfaceXY) override {
    Log(menu.name);
    const std::string answer = menuAnswers.empty() ? "" : menuAnswers.front();
    if (!menuAnswers.empty()) menuAnswers.erase(menuAnswers.begin());
    return answer;
  }

  // A press and release at `at`; whether `click` is raised.
  bool Click(SurfaceXY at, int button = kLeftButton) {
    dispatch.Press(button, 0, at);
    dispatch.Release(at);
    return dispatch.ClickAfterRelease(at);
  }
  std::string Joined() {
    std::string all;
    for (const std::string& line : log) all += (all.empty() ? "" : "; ") + line;
    log.clear();
    return all;
  }

 private:
  void Log(const std::string& line) { log.push_back(line); }
  static std::string Ids(std::int32_t layerId, const std::vector<std::int32_t>& ids) {
    std::string text = std::to_string(layerId) + ":";
    for (const std::int32_t id : ids) text += " " + std::to_string(id);
    return text;
  }
};

// A drag from (75, 75) to `to` and the release there, armed over tool 11 with
// KeepTool or not.
TEST(MouseTools, DragGesturesOfZoomWindowAndPan) {
  struct Row {
    bool pan, keep;
    SurfaceXY to;
    std::string log;
    bool mouseUp;
    int afterwards;
  };
  const Row rows[] = {
      {false, false, {225, 150}, "band 75,75>225,150; extents 0.5,1.5 1.5,1; pointer 0", true, 0},
      {false, true, {75, 75}, "band 75,75>75,75; band -; repaint", false, 11},
      {true,
       false,
       {105, 45},
       "shift 30,-30; shift -; tool pointer 11; pan 0.5,1.5>0.7,1.7",
       false,
       0},
      {true, true, {75, 75}, "shift 0,0; shift -; tool pointer 11; repaint", false, 11},
  };
  for (const Row& r : rows) {
    RecordingHost host;
    host.state = ToolState{.MouseAction = r.pan ? 3 : 1, .KeepTool = r.keep, .BaseTool = 11};
    EXPECT_TRUE(host.dispatch.Press(kLeftButton, 0, {75, 75}));
    EXPECT_TRUE(host.dispatch.Move(r.to));
    EXPECT_EQ(host.dispatch.Release(r.to), r.mouseUp) << &r - rows;
    EXPECT_EQ(host.Joined(), r.log) << &r - rows;
    EXPECT_EQ(host.state.MouseAction, r.afterwards) << &r - rows;
  }
}

TEST(MouseTools, DrawingCollectsVerticesAndItsMenuDropsOrCancels) {
  RecordingHost host;
  host.state = ToolState{.MouseAction = 7, .KeepTool = true, .BaseTool = 3};
  EXPECT_FALSE(host.Click({30, 150})) << "the first click only takes the tool back";
  EXPECT_EQ(host.Joined(), "tool pointer 7; polygon");
  EXPECT_TRUE(host.state.Vertices.empty());
  for (const double x : {30, 180}) EXPECT_TRUE(host.Click({x, 150}));
  host.dispatch.Move({180, 270});
  EXPECT_EQ(host.Joined(),
            "repaint; polygon; repaint; polygon; lines 180,150>180,270 30,150>180,270");
  ASSERT_EQ(host.state.Vertices.size(), 2u);
  EXPECT_DOUBLE_EQ(host.state.Vertices[1].X, 1.2);

  host.menuAnswers = {"mnuEraseLastPoint", "mnuCancelElement"};
  EXPECT_FALSE(host.Click({0, 0}, kRightButton));
  EXPECT_EQ(host.Joined(), "mnuEnd; repaint; polygon");
  EXPECT_EQ(host.state.Vertices.size(), 1u);
  host.Click({0, 0}, kRightButton);
  EXPECT_EQ(host.Joined(),
            "mnuEnd; band -; shift -; repaint; pointer 0; lines - -; clear selection");
  EXPECT_EQ(std::vector({host.state.MouseAction, host.state.BaseTool, host.state.VertexCount()}),
            std::vector({0, 0, 0}));
}

// Tools answer their pointer, whether a press drags, and their menu.
TEST(MouseTools, PointersDragsAndMenusByToolAndSelectMethod) {
  struct Row {
    int code, selectMethod, pointer;
    bool drags;
    const char* menu;
  };
  const Row rows[] = {
      {1, 1, 101, true, ""},        {2, 1, 106, false, ""},         {3, 1, 102, true, ""},
      {4, 1, 103, false, ""},       {4, 2, 103, true, ""},          {6, 1, 110, true, "mnuEnd"},
      {7, 1, 111, true, "mnuEnd"},  {8, 1, 109, true, "mnuEnd"},    {9, 1, 108, false, "mnuSelect"},
      {9, 3, 108, false, "mnuEnd"}, {10, 2, 107, true, ""},         {11, 0, 0, false, "mnuSelect"},
      {11, 2, 0, true, "mnuEnd"},   {11, 4, 0, false, "mnuSelect"}, {12, 2, 0, false, ""},
      {13, 1, 0, true, "mnuEnd"},   {14, 1, 0, false, ""},          {15, 1, 0, false, "mnuEditGeo"},
      {17, 1, 0, false, "mnuEnd"},  {19, 1, 0, false, ""},
  };
  for (const Row& r : rows) {
    RecordingHost host;
    host.state = ToolState{.MouseAction = r.code, .ZoomStep = 0.5F, .SelectMethod = r.selectMethod};
    EXPECT_EQ(host.dispatch.PointerOf(r.code), r.pointer) << r.code;
    host.dispatch.Press(kRightButton, 0, {0, 0});
    EXPECT_EQ(host.state.Dragging, r.drags) << r.code << " " << r.selectMethod;
    host.dispatch.ClickAfterRelease({0, 0});
    EXPECT_EQ(host.log.empty() ? "" : host.log[0], r.menu) << r.code << " " << r.selectMethod;
    EXPECT_EQ(host.state.SelectMethod, r.selectMethod == 0 ? 1 : r.selectMethod) << "0 becomes 1";
    EXPECT_EQ(host.state.KeepTool, r.code == 15) << "vertex editing keeps its tool";
  }
  RecordingHost host;
  host.state.ZoomStep = 2.5F;
  EXPECT_EQ(host.dispatch.PointerOf(tool::kZoomFactor), 105);
  EXPECT_EQ(host.state.ZoomStepText, "2.5");
}

std::string Marked(const std::vector<MenuItem>& items, bool checked) {
  std::string marks;
  for (const MenuItem& i : items) {
    if (i.text == "-") continue;
    if (checked && i.checked) marks += (marks.empty() ? "" : " ") + i.name;
    if (!checked) marks += i.enabled ? "1" : "0";
  }
  return marks;
}

// mnuEditGeo: items enabled by the layer's kind and the current vertex of three
// (Next, Previous, Move, Insert Before, Insert After, Delete, Join, Break,
// Proceed, Cancel). mnuSelect: the check marks after each choice.
TEST(ToolMenus, EditGeoEnablingAndSelectionSettings) {
  const std::tuple<TipoLayer, int, std::string> rows[] = {
      {pointlayer, 1, "0010000011"},    {polylinelayer, 1, "1011111011"},
      {polylinelayer, 2, "1111111111"}, {polylinelayer, 3, "0111111011"},
      {polygonlayer, 2, "1111110111"},
  };
  for (const auto& [kind, vertex, enabled] : rows) {
    const ToolState s{.EditKind = kind, .EditVertex = vertex, .EditVertexCount = 3};
    EXPECT_EQ(Marked(EditGeoMenuItems(s), false), enabled) << kind << " " << vertex;
  }
  const std::pair<const char*, const char*> steps[] = {
      {"mnuOneVertex", "mnuOneVertex"},
      {"mnuSQLSelect", "mnuOneVertex mnuSQLSelect"},
      {"mnuRemoveElementsFromSelection",
       "mnuOneVertex mnuSQLSelect mnuRemoveElementsFromSelection"},
      {"mnuWholeElementInside", "mnuWholeElementInside mnuRemoveElementsFromSelection"},
      {"mnuSelectIndividual",
       "mnuSelectIndividual mnuWholeElementInside mnuRemoveElementsFromSelection"},
      {"mnuRemoveElementsFromSelection", "mnuSelectIndividual mnuWholeElementInside"},
  };
  ToolState s;
  for (const auto& [item, checked] : steps) {
    s.Vertices = {{0, 0}};
    EXPECT_TRUE(ChooseSelectSetting(s, item));
    EXPECT_EQ(Marked(SelectMenuItems(s), true), checked) << item;
    EXPECT_EQ(s.Vertices.empty(), s.SelectMethod == 2) << "a polygon is drawn afresh";
  }
  s.RelativeTo = true;
  EXPECT_TRUE(ChooseEndSetting(s, "mnuEndPoint"));
  EXPECT_EQ(Marked(EndMenuItems(s), true), "mnuEndPoint");
  EXPECT_TRUE(ChooseEndSetting(s, "mnuEndPoint"));
  EXPECT_EQ(Marked(EndMenuItems(s), true), "") << "a second click unchecks it";
}

// Points 1 at (0.5, 0.5), 2 at (1.5, 1.5) and 3 at (1, 1.8) of layer 7 picked one
// by one, removed, and inside a drawn polygon; "Resume" reports them in the order
// picked. The information tool asks for what lies under one click.
TEST(MouseTools, SelectionByPointAndPolygonAndItsResume) {
  RecordingHost host;
  host.picked.IDLayer = 7;
  host.picked.Tipo = pointlayer;
  host.picked.ThematicMap().Add(0, 1, 0, 0, 0, kAnyValueClass, "");
  for (const auto& [id, p] : {std::pair{1, Point{0.5, 0.5}}, {2, {1.5, 1.5}}, {3, {1, 1.8}}}) {
    host.picked.Entidades.Add(id, std::span(&p, 1), &host.picked).ThemeCode = 1;
    host.picked.DrawnEntities.push_back(id);
  }
  EXPECT_TRUE(host.dispatch.ArmPicking(tool::kSelect, 7));
  EXPECT_EQ(host.state.BaseTool * host.state.KeepTool, 11);
  const auto click = [&](SurfaceXY at, const char* menuAnswer = nullptr) {
    if (menuAnswer) host.menuAnswers = {menuAnswer};
    host.Click(at, menuAnswer ? kRightButton : kLeftButton);
  };
  for (const SurfaceXY at : {SurfaceXY{75, 225}, {225, 75}, {78, 226}, {10, 10}}) click(at);
  EXPECT_EQ(host.state.Selection, (std::vector<std::int32_t>{1, 2}));
  click({0, 0}, "mnuRemoveElementsFromSelection");
  click({75, 225});
  click({0, 0}, "mnuRemoveElementsFromSelection");
  EXPECT_EQ(host.state.Selection, (std::vector<std::int32_t>{2}));
  // A polygon over lon 0.2 .. 1.2; two corners alone select nothing.
  for (const auto& corners : {std::vector<SurfaceXY>{{30, 0}, {180, 0}},
                              std::vector<SurfaceXY>{{30, 0}, {180, 0}, {180, 300}, {30, 300}}}) {
    click({0, 0}, "mnuSelectPolygon");
    for (const SurfaceXY at : corners) click(at);
    EXPECT_EQ(host.state.VertexCount(), static_cast<int>(corners.size()));
    click({0, 0}, "mnuCerrarPline");
    EXPECT_EQ(host.state.SelectMethod * (1 + host.state.VertexCount()), 1);
  }
  host.log.clear();
  click({0, 0}, "mnuZoomToSelected");
  click({0, 0}, "mnuEndSelection");
  EXPECT_EQ(host.Joined(),
            "mnuSelect; zoom to 7: 2 1 3; mnuSelect; SelectionSet 7: 2 1 3; repaint");
  EXPECT_EQ(host.state.MouseAction + host.state.KeepTool + host.state.Selection.size(), 0u);

  host.state = ToolState{.MouseAction = 4, .KeepTool = true, .BaseTool = 3, .SelectionLayer = 7};
  EXPECT_FALSE(host.Click({225, 75})) << "the first click only takes the tool back";
  EXPECT_TRUE(host.Click({10, 10})) << "nothing under it";
  EXPECT_EQ(host.state.MouseAction, 4);
  host.Click({225, 75});
  EXPECT_EQ(host.Joined(), "information 7: 2; repaint");
  EXPECT_EQ(host.state.MouseAction, 0);
}

// Layer `id` in `all` with one drawn element of `vertices`.
layer& AddDrawn(Layers& all, std::int32_t id, TipoLayer kind, std::vector<Point> vertices) {
  layer& lay = all.Add("Calles", std::to_string(id), kind, nullptr);
  lay.Entidades.Add(1, vertices, &lay);
  lay.DrawnEntities.push_back(1);
  return lay;
}

// Around the segment from a to b, at ±L along and ±T across it from b: the candidate
// nearest the reference, the first on a tie, none for a segment of no length.
TEST(PointRules, SmartEndPointTakesTheCandidateNearestTheReference) {
  struct Row {
    ProjectedXY a, b, r;
    std::optional<ProjectedXY> expected;
  };
  const Row rows[] = {
      {{0, 0}, {10, 0}, {7, 2}, ProjectedXY{8, 1}},
      {{0, 0}, {10, 0}, {13, 2}, ProjectedXY{12, 1}},
      {{0, 0}, {10, 0}, {7, -3}, ProjectedXY{8, -1}},
      {{0, 0}, {10, 0}, {12, -1}, ProjectedXY{12, -1}},
      {{0, 0}, {10, 0}, {10, 0}, ProjectedXY{8, 1}},
      {{0, 0}, {0, 10}, {-5, 5}, ProjectedXY{-1, 8}},
      {{3, 3}, {3, 3}, {3, 3}, std::nullopt},
  };
  for (const Row& r : rows) {
    const std::optional<ProjectedXY> got = SmartEndPoint(r.a, r.b, r.r, 2, 1);
    ASSERT_EQ(got.has_value(), r.expected.has_value()) << &r - rows;
    if (!got) continue;
    EXPECT_EQ(std::pair(got->x, got->y), std::pair(r.expected->x, r.expected->y)) << &r - rows;
  }
}

// A street from (0.5, 0.5) to (1.5, 0.5) and, on a hidden layer, a point at (0.4, 1.1).
// The rule chosen in mnuEnd (where the menu was opened), then a left click: its vertex.
TEST(PointRules, EachRuleOfTheDrawingMenuGivesItsVertex) {
  struct Row {
    const char* item;
    SurfaceXY menuAt, click;
    Point vertex;
  };
  const Row rows[] = {
      {"", {}, {60, 150}, {0.4, 1.0}},
      {"mnuEndPoint", {}, {60, 150}, {0.5, 0.5}},
      {"mnuRelativeTo", {}, {60, 150}, {0.75, 0.4}},
      {"mnuSmartEndPoint", {195, 225}, {90, 210}, {0.7, 0.6}},
      {"mnuSmartEndPoint", {0, 0}, {60, 150}, {0.4, 1.0}},  // no segment there: not confirmed
  };
  for (const Row& r : rows) {
    RecordingHost host;
    AddDrawn(host.mapLayers, 3, polylinelayer, {{0.5, 0.5}, {1.5, 0.5}});
    AddDrawn(host.mapLayers, 4, pointlayer, {{0.4, 1.1}}).Visible = false;
    host.offsets = ProjectedXY{0.25, -0.1};
    host.distances = std::pair{0.2, 0.1};
    host.state = ToolState{.MouseAction = 6, .KeepTool = true, .BaseTool = 6};
    host.menuAnswers = {r.item};
    host.Click(r.menuAt, kRightButton);
    host.Click(r.click);
    ASSERT_EQ(host.state.VertexCount(), 1) << r.item;
    EXPECT_NEAR(host.state.Vertices[0].X, r.vertex.X, 1e-9) << r.item;
    EXPECT_NEAR(host.state.Vertices[0].Y, r.vertex.Y, 1e-9) << r.item;
    EXPECT_FALSE(host.state.RelativeTo || host.state.SmartEndPoint) << "they apply once";
  }
}

// Roads (polylines, drawing access, cells of 0.5 degrees) with a text and a 16-bit field:
// "Resume" sends the line once its values suit. (A layer without the drawing level is
// refused: the real server's tests.)
TEST(NewElements, DrawnLinesAndPointsGoOutWithTheirCellsAndCheckedValues) {
  RecordingHost host;
  layer& roads = AddDrawn(host.mapLayers, 3, polylinelayer, {{0.5, 0.5}, {1.5, 0.5}});
  roads.AccessLevel = ALDraw;
  roads.GridDeltaX = roads.GridDeltaY = 0.5F;
  roads.Campos().Add("NOMBRE", 202);
  roads.Campos().Add("DIR", 2);

  using Values = std::optional<std::vector<std::string>>;
  const std::pair<Values, std::string> rows[] = {
      {Values{{"Reforma", "3"}}, ""},
      {Values{{"Reforma", "x"}}, "The value \"x\" does not suit the field DIR. Nothing was sent."},
      {Values{{"Reforma"}}, "The layer Calles has 2 fields, not 1. Nothing was sent."},
      {std::nullopt, ""},
  };
  for (const auto& [values, message] : rows) {
    host.sent.clear();
    host.ui.shown.clear();
    ASSERT_TRUE(ArmNewElement(host.dispatch, host, 3));
    EXPECT_EQ(host.state.MouseAction * host.state.KeepTool, 6);
    host.values = values;
    host.Click({75, 150});
    host.Click({225, 150});
    host.log.clear();
    host.menuAnswers = {"mnuCerrarPline"};
    host.Click({0, 0}, kRightButton);
    EXPECT_EQ(host.log.at(1), "Polilínea Nueva. layer: Calles");
    const std::vector<testing::Bytes> line = {testing::Wire(
        206, "LL LLLL L DDDD FF I SS",
        {3, 2, 182, 361, 182, 363, 2, 0.5, 1.0, 1.5, 1.0, 0.5, 0.5, 2, "Reforma", "3"})};
    EXPECT_EQ(host.sent, message.empty() && values ? line : std::vector<testing::Bytes>{});
    EXPECT_EQ(host.ui.shown.empty() ? "" : host.ui.shown[0].text, message);
    EXPECT_EQ(host.state.MouseAction + host.state.VertexCount(), 0);
  }
  // A point layer without fields: EndPoint hidden, one click sends 205 with no values.
  layer& marks = AddDrawn(host.mapLayers, 6, pointlayer, {{1, 1}});
  marks.AccessLevel = ALDraw;
  marks.GridDeltaX = marks.GridDeltaY = 0.5F;
  host.sent.clear();
  host.values = std::vector<std::string>{};
  ASSERT_TRUE(ArmNewElement(host.dispatch, host, 6));
  EXPECT_FALSE(EndMenuItems(host.state)[2].visible);
  host.Click({150, 150});
  EXPECT_EQ(host.sent, std::vector<testing::Bytes>{testing::Wire(
                           205, "L LL DD FF I", {6, 182, 362, 1.0, 1.0, 0.5, 0.5, 0})});
  EXPECT_EQ(host.state.MouseAction, 0);

  // Points given to AddElement are only checked against the layer's kind.
  EXPECT_TRUE(ValidNewElementPoints(pointlayer, 1, {1}, {2}));
  EXPECT_FALSE(ValidNewElementPoints(pointlayer, 2, {1, 2}, {1, 2}));
  EXPECT_TRUE(ValidNewElementPoints(polylinelayer, 2, {1, 2}, {1, 2}));
  EXPECT_FALSE(ValidNewElementPoints(polylinelayer, 2, {1}, {1, 2}));
  EXPECT_FALSE(ValidNewElementPoints(polygonlayer, 2, {1, 2}, {1, 2}));
}

// Leaving an edit asks first; No keeps everything, Yes cancels.
TEST(MouseTools, CancellingAVertexEditAsksFirst) {
  RecordingHost host;
  host.state = ToolState{.MouseAction = 15, .KeepTool = true, .BaseTool = 14};
  host.ui.answers = {MessageAnswer::No, MessageAnswer::Yes};
  host.dispatch.KeyPress(27);
  EXPECT_EQ(host.state.MouseAction, 15);
  EXPECT_TRUE(host.log.empty());
  host.dispatch.KeyPress(27);
  EXPECT_EQ(host.state.MouseAction, 0);
  ASSERT_EQ(host.ui.shown.size(), 2u);
  EXPECT_EQ(host.ui.shown[1].text, "Do you really want to Cancel Edition?");
}

// Join's merge: which end of the edited line meets which end of the other, the
// current vertex kept on its vertex, repeats next to each other kept once.
TEST(VertexEditing, JoinMergesAtTheNearerEnds) {
  using Pts = std::vector<Point>;
  const Pts e = {{0, 0}, {1, 0}, {2, 0}};
  struct Row {
    Pts edited;
    std::int32_t current;
    Pts other, joined;
    std::int32_t after;
  };
  const Row rows[] = {
      {e, 3, {{3, 0}, {4, 0}}, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}, 3},
      {e, 3, {{4, 0}, {3, 0}}, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}, 3},
      {e, 1, {{-1, 0}, {-2, 0}}, {{-2, 0}, {-1, 0}, {0, 0}, {1, 0}, {2, 0}}, 3},
      {e, 1, {{-2, 0}, {-1, 0}}, {{-2, 0}, {-1, 0}, {0, 0}, {1, 0}, {2, 0}}, 3},
      {e, 2, {{-1, 1}, {-3, 1}}, {{-3, 1}, {-1, 1}, {0, 0}, {1, 0}, {2, 0}}, 4},
      {e, 2, {{1, 5}, {1, 6}}, {{0, 0}, {1, 0}, {2, 0}, {1, 5}, {1, 6}}, 2},    // a tie: the end
      {e, 3, {{3, 1}, {3, -1}}, {{0, 0}, {1, 0}, {2, 0}, {3, -1}, {3, 1}}, 3},  // P's last
      {{{0, 0}, {1, 0}}, 1, {{5, 0}, {0, 0}}, {{5, 0}, {0, 0}, {1, 0}}, 2},
      {{{0, 0}, {1, 0}}, 2, {{1, 0}, {2, 0}}, {{0, 0}, {1, 0}, {2, 0}}, 2},
  };
  for (const Row& r : rows) {
    const JoinedVertices j = JoinVertices(r.edited, r.current, r.other);
    EXPECT_EQ(j.points, r.joined) << &r - rows;
    EXPECT_EQ(j.current, r.after) << &r - rows;
  }
}

// Delete: (kind, vertices, current) -> deleted, current after; never past the end.
TEST(VertexEditing, DeleteKeepsTheLeastVerticesAndTheCurrentInRange) {
  const std::tuple<TipoLayer, int, std::int32_t, bool, std::int32_t> rows[] = {
      {polylinelayer, 2, 1, false, 1}, {polylinelayer, 3, 3, true, 2}, {3, 3, 1, true, 1},
      {polygonlayer, 3, 2, false, 2},  {polygonlayer, 4, 4, true, 3},  {pointlayer, 1, 1, false, 1},
      {polylinelayer, 3, 4, false, 4},
  };
  for (const auto& [kind, n, current, deleted, after] : rows) {
    std::vector<Point> v(static_cast<std::size_t>(n));
    std::int32_t c = current;
    EXPECT_EQ(DeleteVertex(kind, v, c), deleted) << kind << " " << n << " " << current;
    EXPECT_EQ(c, after) << kind << " " << n << " " << current;
    EXPECT_EQ(v.size() + deleted, static_cast<std::size_t>(n));
  }
}

// Layer 7 of the recording host, cells of 1 degree, with `elements` drawn.
void EditableLayer(layer& lay, TipoLayer kind,
                   const std::vector<std::pair<int, std::vector<Point>>>& elements) {
  lay.IDLayer = 7;
  lay.Tipo = kind;
  lay.GridDeltaX = lay.GridDeltaY = 1;
  lay.AccessLevel = ALDraw;
  lay.ThematicMap().Add(0, 1, 0, 0, 0, kAnyValueClass, "");
  for (const auto& [id, points] : elements) {
    lay.Entidades.Add(id, points, &lay);
    lay.DrawnEntities.push_back(id);
  }
}

// Road 1 picked, its second vertex moved to (1.25, 1.25), road 2 joined at that end
// and the line broken there: 210 for road 2, then 208. Both roads came back with a
// cell reply meanwhile: the edited one is replaced, the absorbed one removed.
TEST(VertexEditing, MoveJoinAndBreakSendTheErasedAndTheNewGeometry) {
  RecordingHost host;
  layer& roads = host.picked;
  const std::vector<Point> first = {{0.2, 1}, {1, 1}}, second = {{1.8, 1}, {1.2, 1}};
  EditableLayer(roads, polylinelayer, {{1, first}, {2, second}});
  host.dispatch.ArmPicking(tool::kPickEditElement, 7);
  host.Click({10, 10});
  EXPECT_EQ(host.state.MouseAction, 14) << "nothing picked: still picking";
  host.log.clear();
  host.Click({90, 150});
  EXPECT_EQ(host.Joined(), "repaint layer 7; repaint");
  EXPECT_EQ(host.state.MouseAction * (roads.Entidades.ItemByID(1) == nullptr), 15);
  host.menuAnswers = {"mnuPreviousVertex", "mnuNextVertex", "mnuMoveVertex"};
  for (int k = 0; k < 3; ++k) host.Click({0, 0}, kRightButton);
  host.Click({187.5, 112.5});
  EXPECT_EQ(host.Joined(),
            "mnuEditGeo; mnuEditGeo; repaint; marker 150,150; polyline; mnuEditGeo; repaint; "
            "marker 187.5,112.5; polyline");
  host.menuAnswers = {"mnuJoin", "mnuBreak"};
  host.Click({0, 0}, kRightButton);
  host.Click({225, 150});
  EXPECT_EQ(roads.Entidades.ItemByID(2), nullptr);
  for (const auto& [id, points] : {std::pair{1, first}, {2, second}})
    roads.Entidades.Add(id, points, &roads);
  host.Click({0, 0}, kRightButton);
  ASSERT_EQ(host.sent.size(), 2u);
  EXPECT_EQ(host.sent[0], testing::Wire(210, "L L LLLL L", {7, 2, 91, 182, 91, 181, 2}));
  EXPECT_EQ(host.sent[1], testing::Wire(208, "L I L L LLLLLL L DDDDDDDD L FF",
                                        {7,   2, 1,    3,    91,  180, 91,  181, 91, 182, 4,
                                         0.2, 1, 1.25, 1.25, 1.2, 1,   1.8, 1,   2,  1,   1}));
  EXPECT_EQ(roads.Entidades.ItemByID(2), nullptr);
  EXPECT_EQ(roads.Entidades.ItemByID(1)->Points().size(), 4u);
  EXPECT_EQ(host.state.MouseAction + host.state.BaseTool + host.state.VertexCount(), 0);
}

// An area is kept with its first vertex repeated: moving the first vertex moves the
// repeat too; Delete keeps three corners; Escape puts the area back as it was.
TEST(VertexEditing, AnAreaKeepsItsRingClosed) {
  RecordingHost host;
  const std::vector<Point> ring = {{0.5, 0.5}, {1.5, 0.5}, {1.5, 1.5}, {0.5, 0.5}};
  EditableLayer(host.picked, polygonlayer, {{3, ring}});
  for (const bool proceed : {false, true}) {
    host.dispatch.ArmPicking(tool::kPickEditElement, 7);
    host.Click({180, 180});
    EXPECT_EQ(host.state.VertexCount(), 3);
    host.menuAnswers = {"mnuDeleteVertex", "mnuMoveVertex", "mnuEditProceed"};
    for (int k = 0; k < 2; ++k) host.Click({0, 0}, kRightButton);
    host.Click({37.5, 262.5});
    EXPECT_EQ(host.state.VertexCount(), 3);
    if (!proceed) {
      host.ui.answers = {MessageAnswer::Yes};
      host.dispatch.KeyPress(27);
      EXPECT_EQ(host.picked.Entidades.ItemByID(3)->Points(), ring);
      EXPECT_TRUE(host.sent.empty());
      continue;
    }
    host.Click({0, 0}, kRightButton);
    ASSERT_EQ(host.sent.size(), 1u);
    EXPECT_EQ(host.sent[0],
              testing::Wire(208, "L I L L LLLLLL L DDDDDDDD L FF",
                            {7,    4,    3,   3,   90,  180, 90,   182,  92, 182, 4,
                             0.25, 0.25, 1.5, 0.5, 1.5, 1.5, 0.25, 0.25, 4,  1,   1}));
  }
}

}  // namespace
}  // namespace orvenda
