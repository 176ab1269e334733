#include "dialogs/dlgconstraintbuilder.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/constraintlist.h"
#include "dialogs/dialoglayout.h"
#include "dialogs/keyfilter.h"
#include "protocol/fieldvalue.h"

namespace orvenda {
namespace {}  // namespace

dlgConstraintBuilder::dlgConstraintBuilder(MapViewer& viewer, std::int32_t layerId,
                                           const std::string& fieldName, QWidget* parent)
    : QDialog(parent),
      cboFieldName(Named(new QComboBox(this), "cboFieldName")),
      cboOperator(Named(new QComboBox(this), "cboOperator")),
      txtValue1(Named(new QLineEdit(this), "txtValue1")),
      lblAnd(Named(new QLabel(QStringLiteral("Y"), this), "lblAnd")),
      txtValue2(Named(new QLineEdit(this), "txtValue2")),
      OKButton(Named(new QPushButton(QStringLiteral("OK"), this), "OKButton")),
      CancelButton(Named(new QPushButton(QStringLiteral("Cancel"), this), "CancelButton")),
      viewer_(viewer) {
  setObjectName(QStringLiteral("dlgConstraintBuilder"));
  setWindowTitle(QStringLiteral("Restricción:"));
  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel(QStringLiteral("Campo"), this), 0, 0);
  grid->addWidget(cboFieldName, 0, 1, 1, 3);
  grid->addWidget(new QLabel(QStringLiteral("Criterio"), this), 1, 0);
  grid->addWidget(cboOperator, 1, 1, 1, 3);
  grid->addWidget(new QLabel(QStringLiteral("Valor"), this), 2, 0);
  grid->addWidget(txtValue1, 2, 1);
  grid->addWidget(lblAnd, 2, 2);
  grid->addWidget(txtValue2, 2, 3);
  grid->addWidget(OKButton, 3, 2);
  grid->addWidget(CancelButton, 3, 3);
  OKButton->setDefault(true);
  const auto type = [this] {
    const int k = cboFieldName->currentIndex();
    return k >= 0 && k < static_cast<int>(types_.size()) ? types_[k] : std::int16_t{0};
  };
  FilterKeys(txtValue1, type);
  FilterKeys(txtValue2, type);

  if (layer* lay = viewer.layers().Item(Key(layerId))) {
    for (const Campo& field : lay->Campos()) {
      cboFieldName->addItem(QString::fromStdString(field.Nombre));
      types_.push_back(field.Tipo);
    }
  }
  const int preset = cboFieldName->findText(QString::fromStdString(fieldName));
  cboFieldName->setCurrentIndex(preset >= 0 ? preset : (cboFieldName->count() > 0 ? 0 : -1));
  ChooseField(cboFieldName->currentIndex());
  connect(cboFieldName, &QComboBox::currentIndexChanged, this,
          [this](int index) { ChooseField(index); });
  connect(cboOperator, &QComboBox::currentIndexChanged, this, [this] { ChooseOperator(); });
  connect(OKButton, &QPushButton::clicked, this, [this] { Accept(); });
  connect(CancelButton, &QPushButton::clicked, this, [this] { reject(); });
}

void dlgConstraintBuilder::ChooseField(int index) {
  cboOperator->clear();
  if (index >= 0 && index < static_cast<int>(types_.size())) {
    for (const std::uint8_t code : OperatorsFor(types_[index])) {
      cboOperator->addItem(QString::fromLatin1(OperatorOf(code)->builder));
    }
  }
  cboOperator->setCurrentIndex(cboOperator->count() > 0 ? 0 : -1);
  txtValue1->clear();
  txtValue2->clear();
  ChooseOperator();
}

void dlgConstraintBuilder::ChooseOperator() {
  const bool between = cboOperator->currentText() == QStringLiteral("Between");
  lblAnd->setVisible(between);
  txtValue2->setVisible(between);
}

void dlgConstraintBuilder::Accept() {
  const int k = cboFieldName->currentIndex();
  if (k < 0) return;
  Constraint c{cboFieldName->currentText().toStdString(),
               types_[k],
               OperatorCodeOf(cboOperator->currentText().toStdString()),
               txtValue1->text().toStdString(),
               {}};
  if (c.op == 10) c.value2 = txtValue2->text().toStdString();
  if (const auto problem = ConstraintProblem(c)) {
    viewer_.interaction().MessageBox(*problem, "Orvenda Viewer", MessageIcon::Exclamation,
                                     MessageButtons::Ok);
    return;
  }
  // Numbers go in the plain form the server reads.
  c.value1 = FieldValueToSend(c.fieldType, c.value1);
  c.value2 = FieldValueToSend(c.fieldType, c.value2);
  result_ = c;
  Cancelled = false;
  hide();
}

void dlgConstraintBuilder::reject() {
  Cancelled = true;
  hide();
}

}  // namespace orvenda
