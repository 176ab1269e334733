#include "host/dialoglayout.h"

#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvenda {

void NameOkCancel(QPushButton* ok, QPushButton* cancel) {
  ok->setObjectName(QStringLiteral("OKButton"));
  cancel->setObjectName(QStringLiteral("CancelButton"));
  ok->setDefault(true);
}

void LayOutFields(QDialog* dialog, QFormLayout* fields, QPushButton* ok, QPushButton* cancel) {
  NameOkCancel(ok, cancel);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(dialog);
  layout->addLayout(fields);
  layout->addLayout(buttons);
}

}  // namespace orvenda
