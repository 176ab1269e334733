// Finding elements: the checks of a condition's values and of an address, the
// caption of the results and the candidates' view, the find dialogs driven through
// their widgets, and "Punto Nuevo", which needs the drawing level.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <algorithm>

#include "dialogs/constraintlist.h"
#include "dialogs/dlgadd.h"
#include "dialogs/dlgfindaddress.h"
#include "dialogs/dlgfindbycondition.h"
#include "dialogs/dlgviewcandidates.h"
#include "dialogs/findterms.h"
#include "protocol/catalogue.h"
#include "viewer_rig.h"

namespace orvenda {
namespace {

using testing::Wire;

TEST(FindTerms, ConditionValuesAreCheckedWholeByTheFieldType) {
  // Type, operator, values, the fault ("" none).
  const std::tuple<std::int16_t, std::uint8_t, const char*, const char*, const char*> rows[] = {
      {3, 1, "12", "", ""},
      {3, 1, "", "", "The value \"\" does not suit the field F."},
      {3, 1, "-", "", "The value \"-\" does not suit the field F."},
      {3, 1, "1.5", "", "The value \"1.5\" does not suit the field F."},  // pasted
      {2, 8, "70000", "", "The value \"70000\" does not suit the field F."},
      {5, 10, "1.5", "", "Between needs a second value for the field F."},
      {5, 10, "1.5", "2e", "The value \"2e\" does not suit the field F."},
      {5, 10, "-1.5", "2", ""},
      {202, 4, "", "", ""},
      {202, 1, "O'Higgins", "", "Quotes are not allowed in the value of the field F."},
      {200, 2, "\"A", "", "Quotes are not allowed in the value of the field F."}};
  for (const auto& [type, op, v1, v2, fault] : rows) {
    EXPECT_EQ(ConstraintProblem({"F", type, op, v1, v2}).value_or(""), fault) << v1 << v2;
  }
}

TEST(FindTerms, CaptionsLinesAndViews) {
  EXPECT_EQ(ConditionCaption({"NOMBRE", 202, 2, "av. juárez ÷ñ", ""}),
            "NOMBRE Starting with 'AV. JUÁREZ ÷Ñ'");
  EXPECT_EQ(ConditionCaption({"AREA", 5, 10, "10", "20"}), "AREA Between 10 And 20");
  EXPECT_EQ(ConditionCaption({"POB", 3, 5, "7", ""}), "POB <> 7");

  EXPECT_TRUE(AddressTermsFault("Ave", "1a").value_or(AddressFault{}).inNumber) << "pasted";
  EXPECT_FALSE(AddressTermsFault("Ave", "12"));

  const AddressCandidates::Candidate segment{5, "Hidalgo", "101", "199", 1, 2, 3, 6, 0, 0};
  EXPECT_EQ(CandidateLine(segment), "Hidalgo (101-199)");
  const BoundingBox v = CandidateView(segment);
  EXPECT_EQ(std::vector<double>({v.MinX, v.MinY, v.MaxX, v.MaxY}),
            std::vector<double>({-2, -4, 6, 12}));
  // A street along a meridian has no width: the view is not a line.
  const BoundingBox m = CandidateView({5, "", "", "", 1, 2, 1, 6, 0, 0});
  EXPECT_NEAR(m.MaxX - m.MinX, 0.002, 1e-12);
  EXPECT_EQ(CandidateLine({}), " (-)");
  for (const bool anyLayer : {false, true}) {
    const CandidateButtons line = CandidateButtonsFor("Hidalgo (101-199)", anyLayer),
                           blank = CandidateButtonsFor(" (-)", anyLayer),
                           none = CandidateButtonsFor(std::nullopt, anyLayer);
    EXPECT_TRUE(line.viewMap && line.newPoint == anyLayer);
    EXPECT_FALSE(blank.viewMap || blank.newPoint || none.viewMap || none.newPoint);
  }
}

// A map with an image layer, a layer without fields and two layers with fields.
class FindDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.Open({{"Fondo", 1, 5}, {"Vacia", 2, 2}, {"Calles", 7, 2}, {"Lugares", 9, 1}});
    Layers& layers = rig.viewer->layers();
    layers.Item("7")->Campos().Add("NOMBRE", 202);
    layers.Item("7")->Campos().Add("CARRILES", 2);
    layers.Item("9")->Campos().Add("NOMBRE", 200);
    rig.sock.ClearSent();
  }
  static QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
  }
  testing::ViewerRig rig;
};

TEST_F(FindDialogs, FindByConditionLocksOnlyWhatWasPresetAndFound) {
  // Layer, field, operation preset; then what is enabled and chosen.
  const std::tuple<std::int32_t, const char*, std::uint8_t, const char*, const char*> rows[] = {
      {7, "carriles", 9, "Calles CARRILES >= ", "---"},  // the preset operator, not "="
      {7, "CARRILES", 3, "Calles CARRILES = ", "--o"},   // "Ending with" is not offered
      {7, "ANCHO", 9, "Calles NOMBRE = ", "-fo"},        // no such field
      {4, "NOMBRE", 1, "Calles NOMBRE = ", "lfo"},       // no such layer
      {0, "", 0, "Calles NOMBRE = ", "lfo"}};
  for (const auto& [id, field, op, chosen, enabled] : rows) {
    dlgFindByCondition d(rig.ui, rig.viewer->layers(), {id, {field, 0, op, "", ""}});
    EXPECT_EQ(Items(d.cboLayer), (QStringList{"Calles", "Lugares"}));
    EXPECT_EQ(d.cboLayer->currentText() + " " + d.cboFieldName->currentText() + " " +
                  d.cboOperator->currentText() + " ",
              chosen);
    const QString on = QString(d.cboLayer->isEnabled() ? "l" : "-") +
                       (d.cboFieldName->isEnabled() ? "f" : "-") +
                       (d.cboOperator->isEnabled() ? "o" : "-");
    EXPECT_EQ(on, enabled) << id << field;
  }
  dlgFindByCondition d(rig.ui, rig.viewer->layers(), {9, {"", 0, 0, "", ""}});
  EXPECT_EQ(Items(d.cboOperator).size(), 5) << "a text field";
  d.cboLayer->setEnabled(true);
  d.cboLayer->setCurrentText("Calles");
  d.cboFieldName->setCurrentText("CARRILES");
  EXPECT_EQ(Items(d.cboOperator).size(), 7);
  d.cboOperator->setCurrentText("Between");
  EXPECT_FALSE(d.txtValue2->isHidden());
  QTest::keyClicks(d.txtValue1, "1-2.a");
  EXPECT_EQ(d.txtValue1->text(), "12");
  d.OKButton->click();
  EXPECT_TRUE(d.Cancelled) << "Between without its second value";
  EXPECT_EQ(rig.ui.shown.back().text, "Between needs a second value for the field CARRILES.");
  d.txtValue2->setText("30");
  d.OKButton->click();
  EXPECT_FALSE(d.Cancelled);
  EXPECT_EQ(d.Result(), (ConditionQuery{7, {"CARRILES", 2, 10, "12", "30"}}));
}

TEST_F(FindDialogs, FindAddressKeepsTheFocusOnTheFieldAtFault) {
  dlgFindAddress d(rig.ui);
  d.show();
  QTest::keyClicks(d.txtStreetName, "Av'");
  QTest::keyClicks(d.txtStreetNumber, "12a");
  EXPECT_EQ(d.txtStreetName->text(), "Av");
  EXPECT_EQ(d.txtStreetNumber->text(), "12");
  d.txtStreetNumber->setFocus();
  d.OKButton->click();
  EXPECT_EQ(rig.ui.shown.back().text, "Street name must have at least 3 characters");
  EXPECT_EQ(rig.ui.shown.back().icon, MessageIcon::Information);
  EXPECT_EQ(d.focusWidget(), d.txtStreetName);
  QTest::keyClicks(d.txtStreetName, "e");
  d.txtStreetNumber->clear();
  d.OKButton->click();
  EXPECT_EQ(rig.ui.shown.back().text, "You must type a street number");
  EXPECT_EQ(d.focusWidget(), d.txtStreetNumber);
  EXPECT_TRUE(d.Cancelled);
}

// An address found; "Punto Nuevo" on the chosen point layer. Without the drawing
// level it used to ask for the values and send 205 all the same.
TEST_F(FindDialogs, NewPointAtAnAddressNeedsTheDrawingLevel) {
  layer& places = *rig.viewer->layers().Item("9");
  int asked = 0;
  rig.ui.onModal = [&](ModalForm& form) {
    if (auto* d = dynamic_cast<dlgViewCandidates*>(&form)) {
      EXPECT_EQ(Items(d->cbLayer), QStringList{"Lugares"});
      EXPECT_FALSE(d->OKButton->isEnabled()) << "no candidate chosen yet";
      d->lstCandidates->setCurrentRow(0);
      d->OKButton->click();
    } else if (auto* add = dynamic_cast<dlgAdd*>(&form)) {
      ++asked;
      add->txt[0]->setText("Casa");
      add->OKButton->click();
    }
  };
  for (const CONSTACCESSLEVEL level : {ALEditor, ALDraw}) {
    places.AccessLevel = level;
    rig.sock.Deliver(
        Wire(cmd::kFindAddressReply, "L SS L LSSS DDDD DD",
             {7, "Hidalgo", "150", 1, 5, "Hidalgo", "101", "199", 1.0, 1.0, 1.5, 1.5, 1.25, 1.25}));
  }
  ASSERT_EQ(rig.ui.shown.size(), 1u);
  EXPECT_EQ(rig.ui.shown[0].text, "Acceso Denegado");
  EXPECT_EQ(asked, 1) << "values asked only with the drawing level";
  const auto& sent = rig.sock.sent();
  EXPECT_EQ(std::count_if(sent.begin(), sent.end(),
                          [](const testing::Bytes& m) { return m[8] == 205 && m[9] == 0; }),
            1);
  const auto& view = rig.viewer->view().ViewExtents;
  EXPECT_NEAR((view.MinY + view.MaxY) / 2, 1.25, 1e-9);
  EXPECT_NEAR(view.MaxY - view.MinY, 0.002, 1e-9);
}

}  // namespace
}  // namespace orvenda
