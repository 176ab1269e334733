#include "dialogs/dlgadd.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "dialogs/keyfilter.h"
#include "model/layer.h"
#include "protocol/fieldvalue.h"

namespace orvenda {

dlgAdd::dlgAdd(QWidget* parent)
    : QDialog(parent),
      VScroll1(new QScrollArea(this)),
      OKButton(new QPushButton(QStringLiteral("OK"), this)),
      CancelButton(new QPushButton(QStringLiteral("Cancel"), this)) {
  setObjectName(QStringLiteral("dlgAdd"));
  setWindowTitle(QStringLiteral("Nuevo"));
  VScroll1->setObjectName(QStringLiteral("VScroll1"));
  OKButton->setObjectName(QStringLiteral("OKButton"));
  CancelButton->setObjectName(QStringLiteral("CancelButton"));
  // Many fields scroll inside the dialog instead of growing it past the screen.
  auto* fields = new QWidget(VScroll1);
  rows_ = new QFormLayout(fields);
  VScroll1->setWidget(fields);
  VScroll1->setWidgetResizable(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OKButton);
  buttons->addWidget(CancelButton);
  auto* all = new QVBoxLayout(this);
  all->addWidget(VScroll1);
  all->addLayout(buttons);
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &dlgAdd::OnOK);
  connect(CancelButton, &QPushButton::clicked, this, [this] {
    Cancelled = true;
    hide();
  });
}

void dlgAdd::AddLabel(const std::string& name, std::int16_t type) {
  const int k = static_cast<int>(txt.size()) + 1;
  auto* label = new QLabel(QString::fromStdString(name));
  label->setObjectName(QStringLiteral("lbl%1").arg(k));
  auto* box = new QLineEdit;
  box->setObjectName(QStringLiteral("txt%1").arg(k));
  FilterKeys(box, type);
  rows_->addRow(label, box);
  lbl.push_back(label);
  txt.push_back(box);
  types_.push_back(type);
}

std::vector<std::string> dlgAdd::Values() const {
  std::vector<std::string> values;
  for (const QLineEdit* box : txt) values.push_back(box->text().toStdString());
  return values;
}

void dlgAdd::OnOK() {
  for (std::size_t k = 0; k < txt.size(); ++k) {
    const std::string value = txt[k]->text().toStdString();
    if (!value.empty() && !FieldValueFits(types_[k], value)) {
      txt[k]->setFocus();
      return;
    }
  }
  Cancelled = false;
  hide();
}

std::optional<std::vector<std::string>> AskNewElementAttributes(Interaction& ui, layer& lay,
                                                                const std::string& title,
                                                                QWidget* parent) {
  dlgAdd dialog(parent);
  dialog.setWindowTitle(QString::fromStdString(title));
  for (const Campo& field : lay.Campos()) dialog.AddLabel(field.Nombre, field.Tipo);
  ui.ShowModal(dialog);
  if (dialog.Cancelled) return std::nullopt;
  return dialog.Values();
}

}  // namespace orvenda
