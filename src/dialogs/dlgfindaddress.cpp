#include "dialogs/dlgfindaddress.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/dialoglayout.h"
#include "dialogs/findterms.h"
#include "dialogs/keyfilter.h"

namespace orvenda {

dlgFindAddress::dlgFindAddress(Interaction& ui, QWidget* parent)
    : QDialog(parent),
      cbLayers(new QComboBox(this)),
      txtStreetName(new QLineEdit(this)),
      txtStreetNumber(new QLineEdit(this)),
      OKButton(new QPushButton(QStringLiteral("Buscar"), this)),
      CancelButton(new QPushButton(QStringLiteral("Cancel"), this)),
      ui_(ui) {
  setObjectName(QStringLiteral("dlgFindAddress"));
  setWindowTitle(QStringLiteral("Buscar Dirección"));
  cbLayers->setObjectName(QStringLiteral("cbLayers"));
  txtStreetName->setObjectName(QStringLiteral("txtStreetName"));
  txtStreetNumber->setObjectName(QStringLiteral("txtStreetNumber"));
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Layer"), cbLayers);
  form->addRow(QStringLiteral("Nombre de Calle"), txtStreetName);
  form->addRow(QStringLiteral("Numero"), txtStreetNumber);
  LayOutFields(this, form, OKButton, CancelButton);
  // Street names as a text field (no quotes), numbers as whole numbers.
  FilterKeys(txtStreetName, 200);
  FilterKeys(txtStreetNumber, 3);
  connect(OKButton, &QPushButton::clicked, this, [this] { OnOK(); });
  connect(CancelButton, &QPushButton::clicked, this, [this] {
    Cancelled = true;
    hide();
  });
}

void dlgFindAddress::OnOK() {
  const auto fault =
      AddressTermsFault(txtStreetName->text().toStdString(), txtStreetNumber->text().toStdString());
  if (fault) {
    ui_.MessageBox(fault->message, "Orvenda", MessageIcon::Information, MessageButtons::Ok);
    (fault->inNumber ? txtStreetNumber : txtStreetName)->setFocus();
    return;
  }
  Cancelled = false;
  hide();
}

}  // namespace orvenda
