#include "dialogs/dlgfindbycondition.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/constraintlist.h"
#include "dialogs/dialoglayout.h"
#include "dialogs/findterms.h"
#include "dialogs/keyfilter.h"
#include "model/layers.h"
#include "protocol/mapviewer.h"

namespace orvenda {
namespace {}  // namespace

dlgFindByCondition::dlgFindByCondition(Interaction& ui, Layers& layers,
                                       const ConditionQuery& preset, QWidget* parent)
    : QDialog(parent),
      cboLayer(Named(new QComboBox(this), "cboLayer")),
      cboFieldName(Named(new QComboBox(this), "cboFieldName")),
      cboOperator(Named(new QComboBox(this), "cboOperator")),
      txtValue1(Named(new QLineEdit(this), "txtValue1")),
      lblAnd(Named(new QLabel(QStringLiteral("Y"), this), "lblAnd")),
      txtValue2(Named(new QLineEdit(this), "txtValue2")),
      OKButton(Named(new QPushButton(QStringLiteral("OK"), this), "OKButton")),
      CancelButton(Named(new QPushButton(QStringLiteral("Cancel"), this), "CancelButton")),
      ui_(ui),
      layers_(layers),
      preset_(preset) {
  setObjectName(QStringLiteral("dlgFindByCondition"));
  setWindowTitle(QStringLiteral("Selección"));
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Layer:"), cboLayer);
  form->addRow(QStringLiteral("Campo"), cboFieldName);
  form->addRow(QStringLiteral("Criterio"), cboOperator);
  form->addRow(QStringLiteral("Valor"), txtValue1);
  form->addRow(lblAnd, txtValue2);
  LayOutFields(this, form, OKButton, CancelButton);
  for (QLineEdit* box : {txtValue1, txtValue2}) FilterKeys(box, [this] { return FieldType(); });

  // Load: layers where a field can be chosen, the preset one when it is there.
  for (layer& lay : layers_) {
    if (HasFieldsToChoose(lay)) cboLayer->addItem(QString::fromStdString(lay.Nombre));
  }
  layer* presetLayer = preset.layerId != 0 ? layers_.Item(Key(preset.layerId)) : nullptr;
  const int layerRow =
      presetLayer ? cboLayer->findText(QString::fromStdString(presetLayer->Nombre)) : -1;
  cboLayer->setCurrentIndex(std::max(layerRow, 0));
  ChooseLayer();
  txtValue1->setText(QString::fromStdString(preset.condition.value1));
  txtValue2->setText(QString::fromStdString(preset.condition.value2));
  // Only what was preset and found is locked: a missing preset leaves the choice
  // free instead of locking whatever came first.
  const bool layerLocked = layerRow >= 0;
  layer* chosen = ChosenLayer();
  bool fieldLocked = false;
  if (layerLocked && chosen && !preset.condition.field.empty()) {
    for (const Campo& field : chosen->Campos()) {
      fieldLocked = fieldLocked || SameField(field.Nombre, preset.condition.field);
    }
  }
  const bool operatorLocked =
      fieldLocked && FindOperatorText(preset.condition.op, FieldType()).has_value();
  cboLayer->setEnabled(!layerLocked);
  cboFieldName->setEnabled(!fieldLocked);
  cboOperator->setEnabled(!operatorLocked);

  connect(cboLayer, &QComboBox::currentIndexChanged, this, [this] { ChooseLayer(); });
  connect(cboFieldName, &QComboBox::currentIndexChanged, this, [this] { ChooseField(); });
  connect(cboOperator, &QComboBox::currentIndexChanged, this, [this] { ChooseOperator(); });
  connect(OKButton, &QPushButton::clicked, this, [this] { OnOK(); });
  connect(CancelButton, &QPushButton::clicked, this, [this] {
    Cancelled = true;
    hide();
  });
}

layer* dlgFindByCondition::ChosenLayer() const {
  const std::string name = cboLayer->currentText().toStdString();
  for (layer& lay : layers_) {
    if (lay.Nombre == name && HasFieldsToChoose(lay)) return &lay;
  }
  return nullptr;
}

std::int16_t dlgFindByCondition::FieldType() const {
  layer* lay = ChosenLayer();
  const std::string name = cboFieldName->currentText().toStdString();
  if (lay) {
    for (const Campo& field : lay->Campos()) {
      if (field.Nombre == name) return field.Tipo;
    }
  }
  return 0;
}

void dlgFindByCondition::ChooseLayer() {
  const QSignalBlocker quiet(cboFieldName);
  cboFieldName->clear();
  int row = 0;
  if (layer* lay = ChosenLayer()) {
    for (const Campo& field : lay->Campos()) {
      if (SameField(field.Nombre, preset_.condition.field)) row = cboFieldName->count();
      cboFieldName->addItem(QString::fromStdString(field.Nombre));
    }
  }
  cboFieldName->setCurrentIndex(cboFieldName->count() > 0 ? row : -1);
  ChooseField();
}

void dlgFindByCondition::ChooseField() {
  const QSignalBlocker quiet(cboOperator);
  cboOperator->clear();
  for (const std::string& text : FindOperatorTexts(FieldType())) {
    cboOperator->addItem(QString::fromStdString(text));
  }
  // The preset operator when this field's list offers it, else the first.
  const auto preset = FindOperatorText(preset_.condition.op, FieldType());
  cboOperator->setCurrentIndex(
      preset ? std::max(0, cboOperator->findText(QString::fromStdString(*preset))) : 0);
  ChooseOperator();
}

void dlgFindByCondition::ChooseOperator() {
  const bool between = FindOperatorCode(cboOperator->currentText().toStdString()) == 10;
  lblAnd->setVisible(between);
  txtValue2->setVisible(between);
}

ConditionQuery dlgFindByCondition::Result() const {
  layer* lay = ChosenLayer();
  ConditionQuery q;
  q.layerId = lay ? lay->IDLayer : 0;
  q.condition.field = cboFieldName->currentText().toStdString();
  q.condition.fieldType = FieldType();
  q.condition.op = FindOperatorCode(cboOperator->currentText().toStdString());
  q.condition.value1 = txtValue1->text().toStdString();
  q.condition.value2 = txtValue2->text().toStdString();
  return q;
}

void dlgFindByCondition::OnOK() {
  const ConditionQuery q = Result();
  if (q.layerId == 0 || q.condition.field.empty()) return;
  if (const auto fault = ConstraintProblem(q.condition)) {
    ui_.MessageBox(*fault, "Selección", MessageIcon::Exclamation, MessageButtons::Ok);
    // The first value alone, as "=" takes it: when it is sound, the second is at fault.
    Constraint first = q.condition;
    first.op = 1;
    const bool second = !ConstraintProblem(first);
    (second ? txtValue2 : txtValue1)->setFocus();
    return;
  }
  Cancelled = false;
  hide();
}

}  // namespace orvenda
