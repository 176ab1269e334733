#include "dialogs/dlgviewconditionelements.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "dialogs/dialoglayout.h"
#include "dialogs/findterms.h"
#include "protocol/elementinfo.h"

namespace orvenda {
namespace {}  // namespace

dlgViewConditionElements::dlgViewConditionElements(MapViewer& viewer, std::int32_t layerId,
                                                   std::string mode, QWidget* parent)
    : QDialog(parent),
      Mode(std::move(mode)),
      lbl1(Named(new QLabel(this), "lbl1")),
      lblCondition(Named(new QLabel(this), "lblCondition")),
      lblElements(Named(new QLabel(this), "lblElements")),
      lstElements(Named(new QListWidget(this), "lstElements")),
      lblServer(
          Named(new QLabel(QStringLiteral("Requiere Información del Servidor de Mapas."), this),
                "lblServer")),
      cmdViewInfo(Named(new QPushButton(QStringLiteral("Ver Información"), this), "cmdViewInfo")),
      cmdResaltarElemento(Named(new QPushButton(this), "cmdResaltarElemento")),
      cmdCancel(Named(new QPushButton(QStringLiteral("Cerrar"), this), "cmdCancel")),
      viewer_(viewer),
      layerId_(layerId) {
  setObjectName(QStringLiteral("dlgViewConditionElements"));
  setWindowTitle(QStringLiteral("Resultado: Seleccionar por Condición"));
  const bool find = Mode == "FIND";
  lbl1->setText(find ? QStringLiteral("Condition:")
                     : QStringLiteral("Seleccionar Elemento para Editar/Ver"));
  lblCondition->setVisible(find);
  cmdResaltarElemento->setText(find ? QStringLiteral("Zoom al Elemento")
                                    : QStringLiteral("Editar Info"));
  auto* caption = new QHBoxLayout;
  caption->addWidget(lbl1);
  caption->addWidget(lblCondition, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdViewInfo);
  buttons->addWidget(cmdResaltarElemento);
  buttons->addWidget(cmdCancel);
  auto* all = new QVBoxLayout(this);
  all->addLayout(caption);
  all->addWidget(lblElements);
  all->addWidget(lstElements);
  all->addWidget(lblServer);
  all->addLayout(buttons);
  lblServer->hide();
  cmdViewInfo->setEnabled(false);
  cmdResaltarElemento->setEnabled(false);
  connect(lstElements, &QListWidget::currentRowChanged, this, [this] { ChooseLine(); });
  connect(cmdViewInfo, &QPushButton::clicked, this, [this] {
    // The viewer's information window, when it is free to ask.
    const auto id = ChosenElement();
    if (id && viewer_.PendingRequests() == 0) {
      viewer_.infoExchange().ReleaseInfoEvent = false;
      SendElementInfoRequest(viewer_, layerId_, *id);
    }
  });
  connect(cmdResaltarElemento, &QPushButton::clicked, this, [this] { Act(); });
  connect(cmdCancel, &QPushButton::clicked, this, [this] {
    Mode = "CLOSE";
    hide();
  });
  SetElementValues({}, {});
}

void dlgViewConditionElements::SetElementValues(const std::vector<std::int32_t>& ids,
                                                const std::vector<std::string>& values) {
  ids_ = ids;
  lstElements->clear();
  for (std::size_t i = 0; i < ids.size(); ++i) {
    lstElements->addItem(QString::fromStdString(i < values.size() ? values[i] : std::string()));
  }
  lblElements->setText(QString::number(ids.size()) + QStringLiteral(" elementos encontrados."));
}

void dlgViewConditionElements::SetCondition(const Constraint& condition) {
  lblCondition->setText(QString::fromStdString(ConditionCaption(condition)));
}

std::optional<std::int32_t> dlgViewConditionElements::ChosenElement() const {
  const int row = lstElements->currentRow();
  if (row < 0 || row >= static_cast<int>(ids_.size())) return std::nullopt;
  return ids_[static_cast<std::size_t>(row)];
}

void dlgViewConditionElements::ChooseLine() {
  const auto id = ChosenElement();
  cmdViewInfo->setEnabled(id.has_value());
  cmdResaltarElemento->setEnabled(id.has_value());
  if (!id) return;
  viewer_.Redraw();
  layer* lay = viewer_.layers().Item(Key(layerId_));
  const bool held = lay && lay->Entidades.ItemByID(*id);
  if (held) viewer_.Highlight(*lay, *id);
  lblServer->setVisible(!held);
}

void dlgViewConditionElements::Act() {
  const auto id = ChosenElement();
  if (!id) return;
  if (Mode == "FIND") {
    if (viewer_.PendingRequests() == 0) ZoomToElements(viewer_, layerId_, {*id});
    return;
  }
  Mode = "EDIT";
  hide();
}

}  // namespace orvenda
