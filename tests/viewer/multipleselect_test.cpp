// Multiple selection: the constraint list without widgets, the dialogs dlgSelect and
// dlgConstraintBuilder on a map of a few layers, and the viewer's whole flow (the
// polygon picked or drawn on the map, request 14, the table window of reply 114 and
// the request 221 it sends) against a scripted server.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <numeric>

#include "dialogs/dlgconstraintbuilder.h"
#include "dialogs/dlgselect.h"
#include "dialogs/dlgshowinfoelements.h"
#include "dialogs/selectiontablewindow.h"
#include "support/recordingmapviewer.h"
#include "viewer_rig.h"

namespace orvenda {
namespace {

using testing::Bytes;
using S = std::vector<std::string>;
using C = std::vector<std::int16_t>;

std::string Lines(const QListWidget* list) {
  std::string lines;
  for (int k = 0; k < list->count(); ++k) lines += list->item(k)->text().toStdString() + "|";
  return lines;
}

// A map of polygons (one hidden), lines, an image, and points without fields.
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
  // Opens with one preset constraint (none without a field).
  void Open(bool fromPolygon, int source, int element, int target, const char* field = nullptr,
            std::int16_t code = 1, const char* value = "") {
    d.FromPolygon = fromPolygon;
    d.SourceLayer = source;
    d.IDElement = element;
    d.TargetLayer = target;
    if (field) d.SetConstraints({S{field}, C{code}, S{value}, S{""}});
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
  const std::tuple<bool, int, int, int, const char*, int, const char*, int, int, int, const char*>
      rows[] = {{true, 1, 100, 1, "ZONA", 1, "x", 1, 100, 1, "ZONA = 'x'|"},
                {true, 9, 100, 2, "NOMBRE", 2, "J", 1, 0, 2, "NOMBRE starting with 'J'|"},
                {true, 1, 100, 2, "NOMBRE", 0, "J", 1, 100, 2, "No Constraints|"},
                {false, 2, 100, 3, nullptr, 1, "", 1, 0, 1, "No Constraints|"},
                {true, 1, 999, 2, "CARRILES", 8, "dos", 1, 0, 2, "No Constraints|"},
                {false, 6, 0, 5, "X", 1, "1", 6, 0, 1, "No Constraints|"}};
  for (const auto& [fromPolygon, source, element, target, field, code, value, wantSource,
                    wantElement, wantTarget, lines] : rows) {
    SelectRig rig;
    rig.Open(fromPolygon, source, element, target, field, static_cast<std::int16_t>(code), value);
    const std::string at = std::to_string(source) + "/" + std::to_string(target);
    EXPECT_EQ(std::tuple(rig.d.SourceLayer, rig.d.IDElement, rig.d.TargetLayer),
              std::tuple(wantSource, wantElement, wantTarget))
        << at;
    EXPECT_EQ(Lines(rig.d.lstConstraints), lines) << at;
    EXPECT_EQ(rig.d.cboSourceLayer->count() * 10 + rig.d.cboTargetLayer->count(), 24)
        << "polygons; neither images nor hidden layers: " << at;
  }
}

TEST(dlgSelect, LayerChangesConstraintsAndExecuteChecks) {
  SelectRig rig;
  dlgSelect& d = rig.d;
  rig.Open(true, 1, 100, 2, "NOMBRE", 1, "Hidalgo");
  EXPECT_EQ(d.lblSelectedElement->text(), "Etiqueta: Centro");
  rig.Choose(d.cboTargetLayer, "Calles");
  EXPECT_EQ(rig.Shown(), "") << "no question when the target stays";
  rig.v.ui.answers = {MessageAnswer::No};
  rig.Choose(d.cboTargetLayer, "Puntos");
  EXPECT_EQ(rig.Shown(), "OK para continuar?|");
  EXPECT_EQ(d.cboTargetLayer->currentText() + d.lstConstraints->item(0)->text(),
            "CallesNOMBRE = 'Hidalgo'");
  rig.Choose(d.cboTargetLayer, "Puntos");
  EXPECT_EQ(rig.Shown(), "OK para continuar?|");
  EXPECT_EQ(Lines(d.lstConstraints), "No Constraints|");
  EXPECT_FALSE(d.cmdAddConstraint->isEnabled()) << "a layer without fields takes no constraint";
  rig.Choose(d.cboSourceLayer, "Barrios");
  EXPECT_EQ(d.IDElement, 0) << "the element picked was on the old source";
  rig.Choose(d.cboTargetLayer, "Barrios");
  const std::string sameLayer =
      "Error: No se puede usar el mismo layer para dibujar o seleccionar el polígono y consultar "
      "elementos|";
  EXPECT_EQ(rig.Shown(), sameLayer);

  // Ejecutar: each check in turn, the dialog staying open.
  const auto execute = [&] {
    d.OKButton->click();
    return rig.Shown() + (d.Cancelled ? "open" : "done");
  };
  EXPECT_EQ(execute(), sameLayer + "open");
  rig.Choose(d.cboTargetLayer, "Calles");
  EXPECT_EQ(execute(), "Debe seleccionar al menos un poligono|open");
  d.optNoPol->click();
  EXPECT_EQ(execute(), "Seleccionar o dibujar un poligono o restringir la consulta|open");

  // A constraint from the builder: pasted values are checked on OK.
  rig.v.ui.onModal = [&](ModalForm& form) {
    auto& b = dynamic_cast<dlgConstraintBuilder&>(form);
    EXPECT_EQ(b.cboOperator->count(), 5) << "NOMBRE first: a text field";
    b.cboFieldName->setCurrentText("CARRILES");
    b.cboOperator->setCurrentText("Between");
    EXPECT_TRUE(b.txtValue2->isVisibleTo(&b));
    for (const char* second : {"", "4.5", "4"}) {
      b.txtValue1->setText("2");
      b.txtValue2->setText(second);
      b.OKButton->click();
    }
  };
  d.cmdAddConstraint->click();
  EXPECT_EQ(rig.Shown(),
            "Between needs a second value for the field CARRILES.|The value \"4.5\" does not "
            "suit the field CARRILES.|");
  EXPECT_EQ(Lines(d.lstConstraints), "CARRILES between '2' And '4'|");
  rig.v.layerList.Item("2")->Visible = false;
  EXPECT_EQ(execute(), "Los layers deben ser visibles|open");
  rig.v.layerList.Item("2")->Visible = true;
  EXPECT_EQ(execute(), "done");
}

// The viewer's side on a scripted server: road 1 in the middle of the map, 2 in a
// corner, and zone 500 round road 1.
struct FlowRig : testing::ViewerRig {
  Viewer& v = *viewer;
  FlowRig() {
    Open({testing::LayerDef{}, testing::LayerDef{"Zonas", 8, 4}});
    layer& roads = *v.layers().Item("7");
    roads.Campos().Add("NOMBRE", 202);
    const Point road1[] = {{0.8, 0.8}, {0.9, 0.9}}, road2[] = {{1.8, 0.2}, {1.9, 0.3}};
    roads.Entidades.Add(1, road1, &roads);
    roads.Entidades.Add(2, road2, &roads);
    layer& zones = *v.layers().Item("8");
    const Point square[] = {{0.7, 0.7}, {1.0, 0.7}, {1.0, 1.0}, {0.7, 1.0}};
    zones.Entidades.Add(500, square, &zones);
    v.Redraw();
  }
  void Click(Point p, Qt::MouseButton button = Qt::LeftButton) {
    const SurfacePoint s = v.view().GeoToSurface(p.X, p.Y);
    QTest::mouseClick(&v, button, {}, QPoint(std::lround(s.x), std::lround(s.y)));
  }
};

TEST(MultipleSelect, PolygonPickedOrDrawnThenMarkedOrAskedAndTheTableSends221) {
  FlowRig rig;
  std::string plan;  // each show of dlgSelect: p pick, d draw, e execute
  int windows = 0;
  rig.ui.onModal = [&](ModalForm& form) {
    if (auto* w = dynamic_cast<dlgShowInfoElements*>(&form)) {
      ASSERT_EQ(w->table().Rows(), 9997 + 2);
      EXPECT_EQ(w->table().Cell(0, 0) + w->table().Cell(9998, 0), "# ElementTotal");
      EXPECT_EQ(w->lblSelectedElements->text(), "Numero de Elementos Seleccionados: 10001");
      if (windows++ == 0) w->table().Overwrite(1, "Centro");
      return (windows == 1 ? w->cmdUpdate : w->cmdCancel)->click();
    }
    auto& d = dynamic_cast<dlgSelect&>(form);
    const char step = plan.at(0);
    plan.erase(0, 1);
    if (step == 'e') return d.OKButton->click();
    (step == 'p' ? d.optSelPol : d.optDrawPol)->click();
    (step == 'p' ? d.cmdSelPol : d.cmdDrawPol)->click();
  };
  // A polygon picked on the map, no constraint: the roads wholly inside are selected.
  plan = "pe";
  rig.v.MultipleSelect();
  rig.Click({0.75, 0.95});  // with tool 12, on zone 500
  EXPECT_EQ(rig.v.Selection(), std::vector<std::int32_t>{1});

  // Constraints alone: request 14 without candidates.
  plan = "e";
  rig.sock.ClearSent();
  const ConstraintArrays presets{S{"NOMBRE"}, C{2}, S{"Av"}, S{""}};
  rig.v.MultipleSelect(false, 0, 0, 7, presets);
  ASSERT_EQ(
      rig.sock.sent(),
      std::vector<Bytes>{WriteMultipleSelection({7, {}, {{"NOMBRE", 202, 2, "Av", ""}}}).buffer()});
  rig.sock.ClearSent();

  // 10001 rows: 9997 listed (10000 would be listed in full); an overwritten column goes
  // out for them as request 221.
  EXPECT_EQ(ListedRows(10000), 10000u);
  SelectionTable reply{7, 2, {}};
  for (int id = 1; id <= 10001; ++id) reply.rows.push_back({id, {"Av " + std::to_string(id)}});
  rig.sock.Deliver(WriteSelectionTable(reply).buffer());
  EXPECT_EQ(windows, 2);
  EXPECT_EQ(rig.ui.shown.at(0).text,
            "Demasiados elementos más de 10000, solamente 9997 aparecen en esta ventana!!!");
  std::vector<std::int32_t> listed(9997);
  std::iota(listed.begin(), listed.end(), 1);
  const PickedRowsEdit edit{7, listed, {{91, 181}, {90, 182}}, {{"NOMBRE", 202, "Centro"}}};
  EXPECT_EQ(rig.sock.sent(), std::vector<Bytes>{WritePickedRowsEdit(edit).buffer()})
      << "the listed elements, the cells of roads 1 and 2, the column";

  // A polygon drawn round nothing: nothing is asked.
  rig.sock.ClearSent();
  plan = "de";
  rig.v.MultipleSelect(false, 0, 0, 7, presets);
  for (const Point& corner : {Point{1.5, 0.1}, Point{1.7, 0.1}, Point{1.7, 0.3}}) rig.Click(corner);
  rig.menus.answers = {"mnuCerrarPline"};
  rig.Click({1.5, 0.1}, Qt::RightButton);
  EXPECT_EQ(rig.ui.shown.back().text, "No elements inside polygon");
  EXPECT_TRUE(rig.sock.sent().empty());
}

}  // namespace
}  // namespace orvenda
