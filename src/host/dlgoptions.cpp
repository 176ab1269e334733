#include "host/dlgoptions.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

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
  OKButton->setObjectName(QStringLiteral("OKButton"));
  CancelButton->setObjectName(QStringLiteral("CancelButton"));
  OKButton->setDefault(true);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("URL"), txtURL);
  form->addRow(QStringLiteral("Port"), txtPort);
  form->addRow(QStringLiteral("Carpeta de Imágenes"), txtImagePath);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OKButton);
  buttons->addWidget(CancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
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
