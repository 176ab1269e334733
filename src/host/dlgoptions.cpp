#include "host/dlgoptions.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/dialoglayout.h"

namespace orvenda {

dlgOptions::dlgOptions(QWidget* parent)
    : QDialog(parent),
      txtURL(new QLineEdit(this)),
      txtPort(new QLineEdit(this)),
      txtImagePath(new QLineEdit(this)),
      OKButton(new QPushButton(QStringLiteral("OK"), this)),
      CancelButton(new QPushButton(QStringLiteral("Cancel"), this)) {
  setObjectName(QStringLiteral("dlgOptions"));
  setWindowTitle(QStringLiteral("Configuración de la Conexión"));
  txtURL->setObjectName(QStringLiteral("txtURL"));
  txtPort->setObjectName(QStringLiteral("txtPort"));
  txtImagePath->setObjectName(QStringLiteral("txtImagePath"));
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("URL"), txtURL);
  form->addRow(QStringLiteral("Port"), txtPort);
  form->addRow(QStringLiteral("Carpeta de Imágenes"), txtImagePath);
  LayOutFields(this, form, OKButton, CancelButton);
  txtURL->setMinimumWidth(280);

  connect(OKButton, &QPushButton::clicked, this, [this] {
    Cancelled = false;
    hide();
  });
  connect(CancelButton, &QPushButton::clicked, this, [this] {
    Cancelled = true;
    hide();
  });
}

}  // namespace orvenda
