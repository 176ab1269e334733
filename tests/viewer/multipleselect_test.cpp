// Multiple selection: the constraint list without widgets, the dialogs dlgSelect and
// dlgConstraintBuilder on a map of a few layers, and the viewer's whole flow (the
// polygon picked or drawn on the map, request 14, the table window of reply 114 and
// the request 221 it sends) against a scripted server.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "dialogs/constraintlist.h"
#include "dialogs/dlgconstraintbuilder.h"
#include "dialogs/dlgselect.h"
#include "dialogs/dlgshowinfoelements.h"
#include "dialogs/selectiontablewindow.h"
#include "support/recordingmapviewer.h"
#include "viewer_rig.h"

namespace orvenda {
namespace {

using testing::Bytes;

std::string Joined(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += (s.empty() ? "" : "|") + l;
  return s;
}

std::string Lines(const QListWidget* list) {
  std::vector<std::string> lines;
  for (int k = 0; k < list->count(); ++k) lines.push_back(list->item(k)->text().toStdString());
  return Joined(lines);
}

TEST(Constraints, OperatorsLinesAndValueChecksByFieldType) {
  const auto offered = [](std::int16_t type) {
    std::vector<std::string> texts;
    for (const std::uint8_t code : OperatorsFor(type)) texts.push_back(OperatorOf(code)->builder);
    return Joined(texts);
  };
  EXPECT_EQ(offered(202), "=|Starting with|Containing|Ending with|Different");
  EXPECT_EQ(offered(3), "=|<|<=|>|>=|Between|Different");
  EXPECT_EQ(OperatorCodeOf("Ending with"), 3);
  EXPECT_EQ(ConstraintLine({"AREA", 5, 10, "10", "20"}), "AREA between '10' And '20'");
  EXPECT_EQ(ConstraintLine({"NOMBRE", 202, 5, "x", ""}), "NOMBRE distinct 'x'");
  // Values pasted or preset, past the key filter: type, operator, values, what is wrong.
  const std::tuple<std::int16_t, std::uint8_t, const char*, const char*, const char*> rows[] = {
      {3, 8, "12", "", ""},
      {3, 8, "1.5", "", "does not suit"},
      {2, 1, "70000", "", "does not suit"},
      {5, 1, "1.2.3", "", "does not suit"},
      {5, 6, " ", "", "does not suit"},
      {5, 10, "1", "", "needs a second value"},
      {5, 10, "1", "2-", "does not suit"},
      {202, 1, "O'Brien", "", "quotes"},
      {200, 4, "say \"hi\"", "", "quotes"},
      {202, 2, "", "", ""},
      {202, 1, "Juárez", "", ""},
      {5, 11, "1", "", "Unknown operator"},
      {99, 1, "1", "", "does not suit"}};
  for (const auto& [type, op, v1, v2, wrong] : rows) {
    const auto problem = ConstraintProblem({"F", type, op, v1, v2});
    EXPECT_EQ(problem.has_value(), *wrong != '\0') << type << " " << v1;
    if (problem) {
      EXPECT_NE(problem->find(wrong), std::string::npos) << *problem;
    }
  }
  // The 114 table window lists 10000 rows in full, and 9997 of more.
  for (const auto& [n, listed] : {std::pair{0, 0}, {10000, 10000}, {10001, 9997}, {50000, 9997}})
    EXPECT_EQ(ListedRows(n), static_cast<std::size_t>(listed)) << n;
}

TEST(Constraints, HostArraysPresetCheckAndRemoval) {
  using S = std::vector<std::string>;
  ConstraintList list;
  // A code outside 1-10 drops its constraint only.
  list.Set(
      {S{"A", "B", "C"}, std::vector<std::int16_t>{1, 11, 10}, S{"1", "2", "3"}, S{"", "", "4"}});
  EXPECT_EQ(Joined(list.Lines()), "A = '1'|C between '3' And '4'");
  list.Set({S{"A"}, std::vector<std::int16_t>{1, 2}, S{"1"}, S{""}});
  EXPECT_EQ(list.items().size(), 2u) << "arrays of different lengths change nothing";
  Campos fields;
  fields.Add("A", 3);
  fields.Add("C", 5);
  EXPECT_TRUE(list.CheckAgainst(fields));
  EXPECT_EQ(list.items()[1].fieldType, 5) << "the type is the layer's";
  EXPECT_EQ(list.Get().value2, (S{"", "4"}));
  EXPECT_FALSE(list.Remove(2));
  EXPECT_TRUE(list.Remove(0));
  list.Add({"A", 3, 8, "x", ""});
  EXPECT_FALSE(list.CheckAgainst(fields)) << "one bad value drops them all";
  EXPECT_EQ(Joined(list.Lines()), "No Constraints");
  list.Add({"A", 3, 8, "1", ""});
  list.Set({});
  EXPECT_TRUE(list.empty()) << "undimensioned arrays clear it";
}

// A map of a few layers: polygons (one hidden), lines, an image and points without fields.
struct SelectRig {
  testing::RecordingMapViewer v;
  dlgSelect d{v};
  SelectRig() {
    const auto add = [&](const char* name, int id, TipoLayer kind, bool visible,
                         std::vector<std::pair<const char*, std::int16_t>> fields) -> layer& {
      layer& l = v.layerList.Add(name, Key(id), kind, &v);
      l.Visible = visible;
      for (const auto& [n, t] : fields) l.Campos().Add(n, t);
      return l;
    };
    const Point square[] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    layer& zones = add("Zonas", 1, polygonlayer, true, {{"ZONA", 202}});
    zones.Entidades.Add(100, square, &zones).IDLabel = zones.LabelIndex("Centro");
    add("Calles", 2, polylinelayer, true, {{"NOMBRE", 202}, {"CARRILES", 3}});
    add("Fondo", 3, ImageLayer, true, {});
    add("Puntos", 4, pointlayer, true, {});
    add("Oculta", 5, polygonlayer, false, {{"X", 3}});
    add("Barrios", 6, polygonlayer, true, {});
  }
  void Open(bool fromPolygon, std::int32_t source, std::int32_t element, std::int32_t target,
            const ConstraintArrays& presets) {
    d.FromPolygon = fromPolygon;
    d.SourceLayer = source;
    d.IDElement = element;
    d.TargetLayer = target;
    d.SetConstraints(presets);
    d.Open();
  }
  void Choose(QComboBox* combo, const char* name) {
    combo->setCurrentText(QString::fromUtf8(name));
    emit combo->activated(combo->currentIndex());
  }
  std::string Shown() {
    std::string all;
    for (const auto& m : v.ui.shown) all += m.text + "|";
    v.ui.shown.clear();
    return all;
  }
};

// Opening never fails on what a host gives: unknown or unfit layers are cleared, a
// target equal to the source still fills the combos, and the preset check always runs.
TEST(dlgSelect, OpeningRepairsWhatTheHostGave) {
  using S = std::vector<std::string>;
  using C = std::vector<std::int16_t>;
  const std::tuple<bool, int, int, int, ConstraintArrays, int, int, int, const char*> rows[] = {
      {true, 1, 100, 1, {S{"ZONA"}, C{1}, S{"x"}, S{""}}, 1, 100, 1, "ZONA = 'x'"},
      {true,
       9,
       100,
       2,
       {S{"NOMBRE", "NOMBRE"}, C{0, 2}, S{"a", "J"}, S{"", ""}},
       1,
       0,
       2,
       "NOMBRE starting with 'J'"},
      {false, 2, 100, 3, {}, 1, 0, 1, "No Constraints"},
      {true, 1, 999, 2, {S{"CARRILES"}, C{8}, S{"dos"}, S{""}}, 1, 0, 2, "No Constraints"},
      {false, 6, 0, 5, {S{"X"}, C{1}, S{"1"}, S{""}}, 6, 0, 1, "No Constraints"}};
  for (const auto& [fromPolygon, source, element, target, presets, wantSource, wantElement,
                    wantTarget, lines] : rows) {
    SelectRig rig;
    rig.Open(fromPolygon, source, element, target, presets);
    const std::string at = std::to_string(source) + "/" + std::to_string(target);
    EXPECT_EQ(rig.d.SourceLayer, wantSource) << at;
    EXPECT_EQ(rig.d.IDElement, wantElement) << at;
    EXPECT_EQ(rig.d.TargetLayer, wantTarget) << at;
    EXPECT_EQ(Lines(rig.d.lstConstraints), lines) << at;
    EXPECT_EQ(rig.d.optSelPol->isChecked(), fromPolygon) << at;
    EXPECT_EQ(rig.d.cboSourceLayer->count(), 2) << at;
    EXPECT_EQ(rig.d.cboTargetLayer->count(), 4) << "no image, no hidden layer: " << at;
  }
}

TEST(dlgSelect, LayerChangesConstraintsAndExecuteChecks) {
  SelectRig rig;
  dlgSelect& d = rig.d;
  rig.Open(true, 1, 100, 2, {{{"NOMBRE"}}, {{1}}, {{"Hidalgo"}}, {{""}}});
  EXPECT_EQ(d.lblSelectedElement->text(), "Etiqueta: Centro");
  EXPECT_TRUE(d.chkRestrictions->isChecked() && d.cmdAddConstraint->isEnabled());
  rig.Choose(d.cboTargetLayer, "Calles");
  EXPECT_EQ(rig.Shown(), "") << "no question when the target stays";
  rig.v.ui.answers = {MessageAnswer::No};
  rig.Choose(d.cboTargetLayer, "Puntos");
  EXPECT_EQ(rig.v.ui.shown.at(0).title, "Selección Múltiple");
  EXPECT_EQ(rig.Shown(), "OK para continuar?|");
  EXPECT_EQ(d.cboTargetLayer->currentText(), "Calles");
  EXPECT_EQ(Lines(d.lstConstraints), "NOMBRE = 'Hidalgo'");
  rig.Choose(d.cboTargetLayer, "Puntos");
  EXPECT_EQ(rig.Shown(), "OK para continuar?|");
  EXPECT_EQ(d.TargetLayer, 4);
  EXPECT_EQ(Lines(d.lstConstraints), "No Constraints");
  EXPECT_FALSE(d.lstConstraints->isEnabled());
  EXPECT_FALSE(d.cmdAddConstraint->isEnabled()) << "a layer without fields takes no constraint";
  rig.Choose(d.cboSourceLayer, "Barrios");
  EXPECT_EQ(d.IDElement, 0) << "the element picked was on the old source";
  EXPECT_EQ(d.lblSelectedElement->text(), "");
  rig.Choose(d.cboTargetLayer, "Barrios");
  EXPECT_EQ(rig.Shown(),
            "Error: No se puede usar el mismo layer para dibujar o seleccionar el polígono y "
            "consultar elementos|");
  EXPECT_EQ(d.TargetLayer, 6) << "taken all the same";

  // Ejecutar: each check in turn, the dialog staying open.
  const auto execute = [&] {
    d.OKButton->click();
    return rig.Shown() + (d.Cancelled ? "open" : "done");
  };
  EXPECT_EQ(execute().substr(0, 6), "Error:");
  rig.Choose(d.cboTargetLayer, "Calles");
  EXPECT_EQ(execute(), "Debe seleccionar al menos un poligono|open");
  d.optDrawPol->click();
  EXPECT_TRUE(d.cmdDrawPol->isEnabled() && !d.cmdSelPol->isEnabled());
  EXPECT_EQ(execute(), "Seleccionar o dibujar un poligono o restringir la consulta|open");
  d.optNoPol->click();
  EXPECT_EQ(execute(), "Seleccionar o dibujar un poligono o restringir la consulta|open");

  // A constraint from the builder: pasted values are checked on OK.
  int builds = 0;
  rig.v.ui.onModal = [&](ModalForm& form) {
    auto& b = dynamic_cast<dlgConstraintBuilder&>(form);
    ++builds;
    EXPECT_EQ(b.cboOperator->count(), 5) << "NOMBRE first: a text field";
    b.cboFieldName->setCurrentText("CARRILES");
    EXPECT_EQ(b.cboOperator->count(), 7);
    b.cboOperator->setCurrentText("Between");
    EXPECT_TRUE(b.txtValue2->isVisibleTo(&b));
    b.txtValue1->setText("2");
    b.OKButton->click();
    b.txtValue2->setText("4.5");
    b.OKButton->click();
    b.txtValue2->setText("4");
    b.OKButton->click();
  };
  d.chkRestrictions->click();
  EXPECT_FALSE(d.cmdAddConstraint->isEnabled()) << "unticked";
  d.chkRestrictions->click();
  d.cmdAddConstraint->click();
  EXPECT_EQ(builds, 1);
  EXPECT_EQ(rig.Shown(),
            "\"Between\" needs a second value for the field CARRILES.|The value \"4.5\" does not "
            "suit the field CARRILES.|");
  EXPECT_EQ(Lines(d.lstConstraints), "CARRILES between '2' And '4'");
  rig.v.layerList.Item("2")->Visible = false;
  EXPECT_EQ(execute(), "Los layers deben ser visibles|open");
  rig.v.layerList.Item("2")->Visible = true;
  EXPECT_EQ(execute(), "done");
  d.lstConstraints->setCurrentRow(0);
  emit d.lstConstraints->itemClicked(d.lstConstraints->item(0));
  d.cmdRemConstraint->click();
  EXPECT_EQ(Lines(d.lstConstraints), "No Constraints");
}

// The viewer's side on a scripted server: roads 1 and 2 in the middle of the map, 3 in
// a corner, and zone 500 around road 1.
struct FlowRig : testing::ViewerRig {
  Viewer& v = *viewer;
  FlowRig() {
    Open({testing::LayerDef{}, testing::LayerDef{"Zonas", 8, 4}});
    layer& roads = *v.layers().Item("7");
    roads.Campos().Add("NOMBRE", 202);
    const std::vector<std::vector<Point>> lines = {
        {{0.8, 0.8}, {0.9, 0.9}}, {{1.2, 1.2}, {1.4, 1.3}}, {{1.8, 0.2}, {1.9, 0.3}}};
    for (int k = 0; k < 3; ++k) roads.Entidades.Add(k + 1, lines[k], &roads);
    layer& zones = *v.layers().Item("8");
    const Point square[] = {{0.7, 0.7}, {1.0, 0.7}, {1.0, 1.0}, {0.7, 1.0}};
    zones.Entidades.Add(500, square, &zones);
    v.Redraw();
  }
  void Click(Point p, Qt::MouseButton button = Qt::LeftButton) {
    const SurfacePoint s = v.view().GeoToSurface(p.X, p.Y);
    QTest::mouseClick(&v, button, {}, QPoint(std::lround(s.x), std::lround(s.y)));
  }
  // Draws the polygon with tool 13 and resumes it.
  void Draw(const std::vector<Point>& corners) {
    for (const Point& c : corners) Click(c);
    menus.answers = {"mnuCerrarPline"};
    menus.shown = 0;
    Click(corners[0], Qt::RightButton);
  }
  std::vector<Bytes> Sent(std::int16_t code) const {
    std::vector<Bytes> found;
    for (const Bytes& m : sock.sent()) {
      if (m.size() >= 10 && m[8] == (code & 0xFF) && m[9] == code >> 8) found.push_back(m);
    }
    return found;
  }
};

TEST(MultipleSelect, PolygonPickedOrDrawnThenMarkedOrAskedAndTheTableSends221) {
  FlowRig rig;
  int shows = 0;
  // A polygon picked on the map, no constraint: the roads wholly inside are selected.
  rig.ui.onModal = [&](ModalForm& form) {
    auto& d = dynamic_cast<dlgSelect&>(form);
    if (shows++ == 0) {
      d.optSelPol->click();
      return d.cmdSelPol->click();
    }
    EXPECT_EQ(d.lblSelectedElement->text(), "Element #: 500");
    d.OKButton->click();
  };
  rig.v.MultipleSelect();
  EXPECT_EQ(rig.v.toolState().MouseAction, tool::kPickSourcePolygon);
  rig.Click({0.75, 0.95});
  EXPECT_EQ(shows, 2);
  EXPECT_EQ(rig.v.Selection(), std::vector<std::int32_t>{1});
  EXPECT_EQ(rig.v.toolState().SelectionLayer, 7);

  // A polygon drawn round roads 1 and 2, and a preset constraint: request 14.
  shows = 0;
  rig.ui.onModal = [&](ModalForm& form) {
    auto& d = dynamic_cast<dlgSelect&>(form);
    EXPECT_EQ(Lines(d.lstConstraints), "NOMBRE starting with 'Av'");
    if (shows++ == 0) {
      d.optDrawPol->click();
      return d.cmdDrawPol->click();
    }
    d.OKButton->click();
  };
  const ConstraintArrays presets{{{"NOMBRE"}}, {{2}}, {{"Av"}}, {{""}}};
  rig.v.MultipleSelect(false, 0, 0, 7, presets);
  EXPECT_EQ(rig.v.toolState().MouseAction, tool::kSelectionPolygon);
  rig.sock.ClearSent();
  rig.Draw({{0.5, 0.5}, {1.6, 0.5}, {1.6, 1.6}, {0.5, 1.6}});
  const Constraint startsWithAv{"NOMBRE", 202, 2, "Av", ""};
  EXPECT_EQ(rig.Sent(cmd::kMultipleSelection),
            std::vector<Bytes>{WriteMultipleSelection({7, {1, 2}, {startsWithAv}}).buffer()});

  // 10001 rows: 9997 listed; an overwritten column goes out for them as request 221.
  SelectionTable reply{7, 2, {}};
  for (int id = 1; id <= 10001; ++id) reply.rows.push_back({id, {"Av " + std::to_string(id)}});
  int windows = 0;
  rig.ui.onModal = [&](ModalForm& form) {
    auto& w = dynamic_cast<dlgShowInfoElements&>(form);
    ASSERT_EQ(w.table().Rows(), 9997 + 2);
    EXPECT_EQ(w.table().Cell(0, 0) + w.table().Cell(9998, 0), "# ElementTotal");
    EXPECT_EQ(w.lblSelectedElements->text(), "Numero de Elementos Seleccionados: 10001");
    if (windows++ == 0) w.table().Overwrite(1, "Centro");
    (windows == 1 ? w.cmdUpdate : w.cmdCancel)->click();
  };
  rig.sock.Deliver(WriteSelectionTable(reply).buffer());
  EXPECT_EQ(windows, 2);
  ASSERT_FALSE(rig.ui.shown.empty());
  EXPECT_EQ(rig.ui.shown.back().text,
            "Demasiados elementos más de 10000, solamente 9997 aparecen en esta ventana!!!");
  const auto picked = rig.Sent(cmd::kPickedRowsEdit);
  ASSERT_EQ(picked.size(), 1u);
  DWBUffer b(picked[0]);
  for (int k = 0; k < 2; ++k) b.GetLong();  // "MIC ", the length
  EXPECT_EQ(b.GetInteger(), cmd::kPickedRowsEdit);
  const PickedRowsEdit edit = ReadPickedRowsEdit(b);
  EXPECT_EQ(edit.elementIds.size(), 9997u);
  EXPECT_EQ(edit.cells, (std::vector<CellIJ>{{91, 181}, {90, 182}})) << "where roads 1-3 are";
  EXPECT_EQ(edit.values, (std::vector<PickedRowsEdit::FieldValueText>{{"NOMBRE", 202, "Centro"}}));

  // Constraints alone (no polygon drawn): request 14 without candidates. A polygon
  // round nothing: nothing is asked.
  rig.sock.ClearSent();
  rig.ui.onModal = [&](ModalForm& form) { dynamic_cast<dlgSelect&>(form).OKButton->click(); };
  rig.v.MultipleSelect(false, 0, 0, 7, presets);
  EXPECT_EQ(rig.Sent(cmd::kMultipleSelection),
            std::vector<Bytes>{WriteMultipleSelection({7, {}, {startsWithAv}}).buffer()});
  rig.sock.Deliver(WriteSelectionTable({7, 1, {{0, {}}}}).buffer());
  shows = 0;
  rig.ui.onModal = [&](ModalForm& form) {
    auto& d = dynamic_cast<dlgSelect&>(form);
    if (shows++ == 0) {
      d.optDrawPol->click();
      return d.cmdDrawPol->click();
    }
    d.OKButton->click();
  };
  rig.v.MultipleSelect(false, 0, 0, 7, presets);
  rig.Draw({{1.5, 0.1}, {1.7, 0.1}, {1.7, 0.3}});
  EXPECT_EQ(rig.ui.shown.back().text, "No elements inside polygon");
  EXPECT_EQ(rig.Sent(cmd::kMultipleSelection).size(), 1u);
}

}  // namespace
}  // namespace orvenda
