#include "host/dlgmaplist.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "dialogs/dialoglayout.h"
#include "host/apptitle.h"

namespace orvenda {

dlgMapList::dlgMapList(Interaction& ui, QWidget* parent)
    : QDialog(parent),
      lstMapList(new QListWidget(this)),
      OKButton(new QPushButton(QStringLiteral("OK"), this)),
      CancelButton(new QPushButton(QStringLiteral("Cancel"), this)),
      ui_(ui) {
  setObjectName(QStringLiteral("dlgMapList"));
  setWindowTitle(QStringLiteral("Mapas Disponibles"));
  lstMapList->setObjectName(QStringLiteral("lstMapList"));
  NameOkCancel(OKButton, CancelButton);

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(OKButton);
  buttons->addWidget(CancelButton);
  buttons->addStretch();
  auto* row = new QHBoxLayout;
  row->addWidget(lstMapList);
  row->addLayout(buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Seleccione el mapa, y presione OK."), this));
  layout->addLayout(row);

  connect(OKButton, &QPushButton::clicked, this, &dlgMapList::OnOK);
  connect(lstMapList, &QListWidget::itemDoubleClicked, this, &dlgMapList::OnOK);
  connect(CancelButton, &QPushButton::clicked, this, [this] {
    Accepted = false;
    hide();
  });
}

void dlgMapList::OnOK() {
  if (lstMapList->currentRow() < 0 || lstMapList->selectedItems().isEmpty()) {
    ui_.MessageBox("You must select a map.", kApplicationTitle, MessageIcon::Information,
                   MessageButtons::Ok);
    return;
  }
  Accepted = true;
  hide();
}

}  // namespace orvenda
