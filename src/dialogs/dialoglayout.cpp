#include "dialogs/dialoglayout.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvenda {

QPushButton* Button(const char* name, const QString& text, QWidget* parent) {
  return Named(new QPushButton(text, parent), name);
}

void NameOkCancel(QPushButton* ok, QPushButton* cancel) {
  ok->setObjectName(QStringLiteral("OKButton"));
  cancel->setObjectName(QStringLiteral("CancelButton"));
  ok->setDefault(true);
}

void LayOutFields(QDialog* dialog, QLayout* fields, QPushButton* ok, QPushButton* cancel) {
  NameOkCancel(ok, cancel);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(dialog);
  layout->addLayout(fields);
  layout->addLayout(buttons);
}

void HideOnOkCancel(QDialog* dialog, QPushButton* ok, QPushButton* cancel, bool& cancelled) {
  QObject::connect(ok, &QPushButton::clicked, dialog, [dialog, &cancelled] {
    cancelled = false;
    dialog->hide();
  });
  QObject::connect(cancel, &QPushButton::clicked, dialog, [dialog, &cancelled] {
    cancelled = true;
    dialog->hide();
  });
}

}  // namespace orvenda
