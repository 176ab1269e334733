#include "dialogs/dlgviewcandidates.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>

#include "dialogs/findterms.h"

namespace orvenda {

dlgViewCandidates::dlgViewCandidates(QWidget* parent)
    : QDialog(parent),
      lstCandidates(new QListWidget(this)),
      cbLayer(new QComboBox(this)),
      lblStreetName(new QLabel(this)),
      lblStreetNumber(new QLabel(this)),
      ViewMap(new QPushButton(QStringLiteral("Ver Mapa"), this)),
      OKButton(new QPushButton(QStringLiteral("Punto Nuevo"), this)),
      CancelButton(new QPushButton(QStringLiteral("Cancel"), this)) {
  setObjectName(QStringLiteral("dlgViewCandidates"));
  setWindowTitle(QStringLiteral("Buscar Dirección"));
  lstCandidates->setObjectName(QStringLiteral("lstCandidates"));
  cbLayer->setObjectName(QStringLiteral("cbLayer"));
  lblStreetName->setObjectName(QStringLiteral("lblStreetName"));
  lblStreetNumber->setObjectName(QStringLiteral("lblStreetNumber"));
  ViewMap->setObjectName(QStringLiteral("ViewMap"));
  OKButton->setObjectName(QStringLiteral("OKButton"));
  CancelButton->setObjectName(QStringLiteral("CancelButton"));
  auto* asked = new QGroupBox(QStringLiteral("Dirección a Buscar"), this);
  auto* askedRows = new QFormLayout(asked);
  askedRows->addRow(QStringLiteral("Calle"), lblStreetName);
  askedRows->addRow(QStringLiteral("Número"), lblStreetNumber);
  auto* layerRow = new QFormLayout;
  layerRow->addRow(QStringLiteral("Layer"), cbLayer);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ViewMap);
  buttons->addWidget(OKButton);
  buttons->addWidget(CancelButton);
  auto* all = new QVBoxLayout(this);
  all->addWidget(asked);
  all->addWidget(new QLabel(QStringLiteral("Seleccionar calle"), this));
  all->addWidget(lstCandidates);
  all->addLayout(layerRow);
  all->addLayout(buttons);
  connect(lstCandidates, &QListWidget::currentRowChanged, this, [this] { ChooseCandidate(); });
  connect(ViewMap, &QPushButton::clicked, this, [this] { Close(false, 0); });
  connect(OKButton, &QPushButton::clicked, this, [this] { Close(false, 1); });
  connect(CancelButton, &QPushButton::clicked, this, [this] { Close(true, 0); });
  ChooseCandidate();
}

void dlgViewCandidates::Load() {
  if (cbLayer->count() > 0) cbLayer->setCurrentIndex(0);
  Cancelled = true;
  ChooseCandidate();
}

void dlgViewCandidates::ChooseCandidate() {
  const QListWidgetItem* item = lstCandidates->currentItem();
  const CandidateButtons on = CandidateButtonsFor(
      item ? std::optional(item->text().toStdString()) : std::nullopt, cbLayer->count() > 0);
  ViewMap->setEnabled(on.viewMap);
  OKButton->setEnabled(on.newPoint);
}

void dlgViewCandidates::Close(bool cancelled, std::int16_t chosen) {
  Cancelled = cancelled;
  action = chosen;
  hide();
}

}  // namespace orvenda
