#include "dialogs/dlgselect.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <stdexcept>

#include "dialogs/dialoglayout.h"
#include "dialogs/dlgconstraintbuilder.h"

namespace orvenda {
namespace {

constexpr const char* kSameLayer =
    "Error: No se puede usar el mismo layer para dibujar o seleccionar el polígono y consultar "
    "elementos";

QString Text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

dlgSelect::dlgSelect(MapViewer& viewer, QWidget* parent)
    : QDialog(parent),
      chkRestrictions(
          Named(new QCheckBox(QStringLiteral("Restricciones"), this), "chkRestrictions")),
      lstConstraints(Named(new QListWidget(this), "lstConstraints")),
      cmdAddConstraint(
          Named(new QPushButton(QStringLiteral("Agregar..."), this), "cmdAddConstraint")),
      cmdRemConstraint(Named(new QPushButton(QStringLiteral("Quitar"), this), "cmdRemConstraint")),
      cboTargetLayer(Named(new QComboBox(this), "cboTargetLayer")),
      optNoPol(Named(new QRadioButton(QStringLiteral("Sin Polígono"), this), "optNoPol")),
      optSelPol(
          Named(new QRadioButton(QStringLiteral("Seleccionar uno existente"), this), "optSelPol")),
      cmdSelPol(Named(new QPushButton(QStringLiteral("Seleccionar"), this), "cmdSelPol")),
      optDrawPol(
          Named(new QRadioButton(QStringLiteral("Dibujar nuevo temporario"), this), "optDrawPol")),
      cmdDrawPol(Named(new QPushButton(QStringLiteral("Dibujar"), this), "cmdDrawPol")),
      cboSourceLayer(Named(new QComboBox(this), "cboSourceLayer")),
      lblSelectedElement(Named(new QLabel(this), "lblSelectedElement")),
      OKButton(Named(new QPushButton(QStringLiteral("Ejecutar"), this), "OKButton")),
      CancelButton(Named(new QPushButton(QStringLiteral("Cancel"), this), "CancelButton")),
      viewer_(viewer) {
  setObjectName(QStringLiteral("dlgSelect"));
  setWindowTitle(QStringLiteral("Selección Múltiple"));
  auto* query = new QGroupBox(QStringLiteral("Definición de la Consulta "), this);
  auto* q = new QGridLayout(query);
  q->addWidget(chkRestrictions, 0, 0);
  q->addWidget(lstConstraints, 1, 0, 2, 1);
  q->addWidget(cmdAddConstraint, 1, 1);
  q->addWidget(cmdRemConstraint, 2, 1);
  q->addWidget(new QLabel(QStringLiteral("En Layer"), query), 3, 0);
  q->addWidget(cboTargetLayer, 4, 0, 1, 2);
  auto* polygon = new QGroupBox(QStringLiteral("Definición del Polígono "), this);
  auto* p = new QGridLayout(polygon);
  p->addWidget(optNoPol, 0, 0);
  p->addWidget(optSelPol, 1, 0);
  p->addWidget(cmdSelPol, 1, 1);
  p->addWidget(optDrawPol, 2, 0);
  p->addWidget(cmdDrawPol, 2, 1);
  p->addWidget(new QLabel(QStringLiteral("Layer en el que se encuentra el poligono"), polygon), 3,
               0, 1, 2);
  p->addWidget(cboSourceLayer, 4, 0, 1, 2);
  p->addWidget(lblSelectedElement, 5, 0, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OKButton);
  buttons->addWidget(CancelButton);
  auto* all = new QVBoxLayout(this);
  all->addWidget(query);
  all->addWidget(polygon);
  all->addLayout(buttons);
  OKButton->setDefault(true);
  for (QPushButton* b : {cmdAddConstraint, cmdRemConstraint, cmdSelPol, cmdDrawPol}) {
    b->setAutoDefault(false);
  }

  connect(chkRestrictions, &QCheckBox::toggled, this, [this] { EnableButtons(); });
  for (QRadioButton* o : {optNoPol, optSelPol, optDrawPol}) {
    connect(o, &QRadioButton::toggled, this, [this] { EnableButtons(); });
  }
  connect(lstConstraints, &QListWidget::itemClicked, this, [this] {
    cmdRemConstraint->setEnabled(!constraints_.empty() && chkRestrictions->isChecked());
  });
  connect(cmdAddConstraint, &QPushButton::clicked, this, [this] { AddConstraint(); });
  connect(cmdRemConstraint, &QPushButton::clicked, this, [this] { RemoveConstraint(); });
  // Only the user's choices run the handlers: a choice put back does not.
  connect(cboSourceLayer, &QComboBox::activated, this, [this] { ChooseSource(); });
  connect(cboTargetLayer, &QComboBox::activated, this, [this] { ChooseTarget(); });
  const auto toMap = [this](std::int16_t action) {
    ExitAction = action;
    Cancelled = false;
    hide();
  };
  connect(cmdSelPol, &QPushButton::clicked, this, [toMap] { toMap(1); });
  connect(cmdDrawPol, &QPushButton::clicked, this, [toMap] { toMap(2); });
  connect(OKButton, &QPushButton::clicked, this, [this] { Execute(); });
  connect(CancelButton, &QPushButton::clicked, this, [this] { reject(); });
  optNoPol->setChecked(true);
  RebuildList();
}

layer* dlgSelect::Layer(std::int32_t id) const {
  return id != 0 ? viewer_.layers().Item(Key(id)) : nullptr;
}

layer* dlgSelect::LayerNamed(const QString& name) const {
  for (layer& l : viewer_.layers()) {
    if (Text(l.Nombre) == name) return &l;
  }
  return nullptr;
}

std::int32_t dlgSelect::ShowLayer(QComboBox* combo, std::int32_t id) const {
  const layer* lay = Layer(id);
  int at = lay ? combo->findText(Text(lay->Nombre)) : -1;
  if (at < 0) at = combo->count() > 0 ? 0 : -1;
  combo->setCurrentIndex(at);
  const layer* shown = at >= 0 ? LayerNamed(combo->itemText(at)) : nullptr;
  return shown ? shown->IDLayer : 0;
}

void dlgSelect::Open() {
  Cancelled = true;
  ExitAction = 0;
  // What the caller gave is checked, whatever the polygon option: a layer the map
  // does not hold, or one that holds no polygons, cannot be used.
  const layer* source = Layer(SourceLayer);
  if (!source || source->Tipo != polygonlayer) {
    SourceLayer = IDElement = 0;
  } else if (!source->Entidades.ItemByID(IDElement)) {
    IDElement = 0;
  }
  layer* target = Layer(TargetLayer);
  if (!target || target->Tipo == ImageLayer) {
    TargetLayer = 0;
    constraints_.Clear();
  } else {
    constraints_.CheckAgainst(target->Campos());
  }
  cboSourceLayer->clear();
  cboTargetLayer->clear();
  for (const layer& l : viewer_.layers()) {
    if (!l.Visible) continue;
    if (l.Tipo == polygonlayer) cboSourceLayer->addItem(Text(l.Nombre));
    // Images have no elements to select.
    if (l.Tipo != ImageLayer) cboTargetLayer->addItem(Text(l.Nombre));
  }
  // A layer not listed (hidden now) gives way to the first one listed.
  const std::int32_t shownSource = ShowLayer(cboSourceLayer, SourceLayer);
  if (shownSource != SourceLayer) IDElement = 0;
  SourceLayer = shownSource;
  const std::int32_t shownTarget = ShowLayer(cboTargetLayer, TargetLayer);
  // Constraints are on the fields of the layer they were made for.
  if (shownTarget != TargetLayer) constraints_.Clear();
  TargetLayer = shownTarget;
  (FromPolygon ? optSelPol : optNoPol)->setChecked(true);
  chkRestrictions->setChecked(!constraints_.empty());
  RebuildList();
  PaintSelectedElement();
  EnableButtons();
}

void dlgSelect::SetConstraints(const ConstraintArrays& arrays) {
  constraints_.Set(arrays);
  RebuildList();
}

ConstraintArrays dlgSelect::GetConstraints() const {
  if (chkRestrictions->isChecked()) return constraints_.Get();
  return ConstraintList().Get();
}

std::vector<Constraint> dlgSelect::Constraints() const {
  return chkRestrictions->isChecked() ? constraints_.items() : std::vector<Constraint>{};
}

int dlgSelect::PolygonMode() const {
  if (optSelPol->isChecked()) return 1;
  return optDrawPol->isChecked() ? 2 : 0;
}

void dlgSelect::PaintSelectedElement() {
  QString text;
  layer* source = Layer(SourceLayer);
  if (IDElement != 0) {
    text = QStringLiteral("Element #: ") + QString::number(IDElement);
    const Entidad* e = source ? source->Entidades.ItemByID(IDElement) : nullptr;
    try {
      if (e && e->IDLabel > 0) {
        text = QStringLiteral("Etiqueta: ") + Text(source->Labels().Item(Key(e->IDLabel)).word);
      }
    } catch (const std::out_of_range&) {
      // A label not received yet: the number stands for it.
    }
  }
  lblSelectedElement->setText(text);
}

void dlgSelect::ChooseSource() {
  const layer* chosen = LayerNamed(cboSourceLayer->currentText());
  const std::int32_t id = chosen ? chosen->IDLayer : 0;
  // The element picked belongs to the old layer.
  if (id != SourceLayer) IDElement = 0;
  SourceLayer = id;
  PaintSelectedElement();
}

void dlgSelect::ChooseTarget() {
  const layer* chosen = LayerNamed(cboTargetLayer->currentText());
  const std::int32_t id = chosen ? chosen->IDLayer : 0;
  if (id == TargetLayer) return;
  if (!constraints_.empty() &&
      viewer_.interaction().MessageBox("OK para continuar?", "Selección Múltiple",
                                       MessageIcon::Exclamation,
                                       MessageButtons::YesNo) == MessageAnswer::No) {
    const layer* previous = Layer(TargetLayer);
    cboTargetLayer->setCurrentIndex(previous ? cboTargetLayer->findText(Text(previous->Nombre))
                                             : -1);
    return;
  }
  if (id == SourceLayer) Warn(kSameLayer);
  constraints_.Clear();
  TargetLayer = id;
  RebuildList();
  EnableButtons();
}

void dlgSelect::AddConstraint() {
  const layer* target = LayerNamed(cboTargetLayer->currentText());
  if (!target) return;
  dlgConstraintBuilder builder(viewer_, target->IDLayer, {}, this);
  viewer_.interaction().ShowModal(builder);
  if (builder.Cancelled) return;
  constraints_.Add(builder.Result());
  RebuildList();
}

void dlgSelect::RemoveConstraint() {
  if (!constraints_.Remove(lstConstraints->currentRow())) return;
  RebuildList();
}

void dlgSelect::RebuildList() {
  lstConstraints->clear();
  for (const std::string& line : constraints_.Lines()) lstConstraints->addItem(Text(line));
  lstConstraints->setEnabled(!constraints_.empty());
  cmdRemConstraint->setEnabled(false);
}

void dlgSelect::EnableButtons() {
  const bool ticked = chkRestrictions->isChecked();
  // Constraints need a field to be on.
  layer* target = Layer(TargetLayer);
  cmdAddConstraint->setEnabled(ticked && target && target->Campos().count() > 0);
  if (!ticked) cmdRemConstraint->setEnabled(false);
  QPalette palette = lstConstraints->palette();
  palette.setColor(QPalette::Base, ticked ? QColor(Qt::white) : this->palette().window().color());
  lstConstraints->setPalette(palette);
  cmdSelPol->setEnabled(optSelPol->isChecked());
  cmdDrawPol->setEnabled(optDrawPol->isChecked());
}

void dlgSelect::Warn(const std::string& text) {
  viewer_.interaction().MessageBox(text, "Orvenda Viewer", MessageIcon::Exclamation,
                                   MessageButtons::Ok);
}

void dlgSelect::Execute() {
  const int mode = PolygonMode();
  // The source layer plays a part only when its polygon is picked.
  if (mode == 1 && TargetLayer == SourceLayer) return Warn(kSameLayer);
  if (mode == 1 && IDElement == 0) return Warn("Debe seleccionar al menos un poligono");
  if (Constraints().empty() && (mode == 0 || (mode == 2 && !PolygonDrawn))) {
    return Warn("Seleccionar o dibujar un poligono o restringir la consulta");
  }
  const layer* target = Layer(TargetLayer);
  const layer* source = Layer(SourceLayer);
  if (!target || !target->Visible || (mode == 1 && (!source || !source->Visible))) {
    return Warn("Los layers deben ser visibles");
  }
  ExitAction = 0;
  Cancelled = false;
  hide();
}

void dlgSelect::reject() {
  Cancelled = true;
  hide();
}

}  // namespace orvenda
