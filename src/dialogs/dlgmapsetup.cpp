#include "dialogs/dlgmapsetup.h"

#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/dialoglayout.h"
#include "model/layer.h"
#include "model/thematicmap.h"
#include "render/projectionsetup.h"
#include "viewer/qtcolour.h"

namespace orvenda {
namespace {

// Zoom boxes take a comma as a point and pass the decimal key filter.
class ZoomKeys final : public QObject {
 public:
  explicit ZoomKeys(QLineEdit* box) : QObject(box), box_(box) { box->installEventFilter(this); }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != box_ || event->type() != QEvent::KeyPress) return false;
    const QString typed = static_cast<QKeyEvent*>(event)->text();
    if (typed.isEmpty()) return false;
    const int pressed = static_cast<int>(typed.toUcs4().value(0));
    const auto key = ZoomKey(box_->text().toStdString(), pressed);
    if (!key) return true;
    if (*key == pressed) return false;
    box_->insert(QString(QChar(*key)));
    return true;
  }

 private:
  QLineEdit* box_;
};

QString Km(float height) { return QString::fromStdString(PlainNumber(height)) + " km"; }

QString ProjectionText(std::int16_t code) {
  switch (ProjectionClassForCode(code)) {
    case ProjectionClass::LatLon:
      return QStringLiteral("Lat/Lon");
    case ProjectionClass::Albers:
      return QStringLiteral("Albers");
    case ProjectionClass::UTM:
      return QStringLiteral("UTM %1").arg(code - 100);
    case ProjectionClass::None:
      break;
  }
  return QString::number(code);
}

}  // namespace

dlgMapSetup::dlgMapSetup(Interaction& ui, MapSetupState state, std::int16_t projection,
                         QWidget* parent)
    : QDialog(parent),
      State(std::move(state)),
      lstLayers(Named(new QListWidget(this), "lstLayers")),
      cmdMoveUpLayer(Button("cmdMoveUpLayer", QStringLiteral("Subir"), this)),
      cmdMoveDownLayer(Button("cmdMoveDownLayer", QStringLiteral("Bajar"), this)),
      cmdDropLayer(Button("cmdDropLayer", QStringLiteral("Drop Layer"), this)),
      txtZoomMin(Named(new QLineEdit(this), "txtZoomMin")),
      txtZoomMax(Named(new QLineEdit(this), "txtZoomMax")),
      cmdModifyLayer(Button("cmdModifyLayer", QStringLiteral("Asignar"), this)),
      SetZoomAlways(Button("SetZoomAlways", QStringLiteral("Siempre"), this)),
      cboUserVisibility(Named(new QComboBox(this), "cboUserVisibility")),
      shpBGColor(Named(new QFrame(this), "shpBGColor")),
      cmdBackColor(Button("cmdBackColor", QStringLiteral("Color del Fondo"), this)),
      cbProjection(Named(new QComboBox(this), "cbProjection")),
      lblCurrentHeight(Named(new QLabel(this), "lblCurrentHeight")),
      lblInitialHeight(Named(new QLabel(this), "lblInitialHeight")),
      cmdSetInitialHeight(Button("cmdSetInitialHeight", QStringLiteral("Configurar Inicio"), this)),
      OKButton(Button("OKButton", QStringLiteral("OK"), this)),
      CancelButton(Button("CancelButton", QStringLiteral("Cancel"), this)),
      ui_(ui) {
  setObjectName(QStringLiteral("dlgMapSetup"));
  setWindowTitle(QStringLiteral("Configurar el Mapa"));
  cboUserVisibility->addItems(
      {QStringLiteral("Off"), QStringLiteral("Auto"), QStringLiteral("On")});
  new ZoomKeys(txtZoomMin);
  new ZoomKeys(txtZoomMax);
  shpBGColor->setFixedSize(40, 20);
  shpBGColor->setAutoFillBackground(true);
  shpBGColor->setFrameShape(QFrame::Box);
  // The dialog only shows the map's projection.
  cbProjection->addItem(ProjectionText(projection));
  cbProjection->setEnabled(false);

  auto* order = new QVBoxLayout;
  order->addWidget(new QLabel(QStringLiteral("Orden de Dibujo"), this));
  order->addWidget(lstLayers);
  auto* moves = new QHBoxLayout;
  moves->addWidget(cmdMoveUpLayer);
  moves->addWidget(cmdMoveDownLayer);
  moves->addWidget(cmdDropLayer);
  order->addLayout(moves);
  auto* frame = Named(new QGroupBox(QStringLiteral("Layers"), this), "frLayers");
  auto* zooms = new QFormLayout(frame);
  zooms->addRow(QStringLiteral("Altura Min"), txtZoomMin);
  zooms->addRow(QStringLiteral("Altura Max"), txtZoomMax);
  auto* assign = new QHBoxLayout;
  assign->addWidget(cmdModifyLayer);
  assign->addWidget(SetZoomAlways);
  zooms->addRow(assign);
  zooms->addRow(QStringLiteral("Visibilidad del Layer:"), cboUserVisibility);
  order->addWidget(frame);
  auto* map = new QFormLayout;
  auto* colour = new QHBoxLayout;
  colour->addWidget(shpBGColor);
  colour->addWidget(cmdBackColor);
  map->addRow(colour);
  map->addRow(QStringLiteral("Projection"), cbProjection);
  map->addRow(QStringLiteral("Altura Actual:"), lblCurrentHeight);
  map->addRow(QStringLiteral("Altura Inicial:"), lblInitialHeight);
  map->addRow(cmdSetInitialHeight);
  order->addLayout(map);
  LayOutFields(this, order, OKButton, CancelButton);
  HideOnOkCancel(this, OKButton, CancelButton, Cancelled);

  connect(lstLayers, &QListWidget::currentRowChanged, this, &dlgMapSetup::LayerSelected);
  const auto edit = [this](auto change) {
    return [this, change] {
      change();
      RefreshLayers(State.Selected);
    };
  };
  connect(cmdMoveUpLayer, &QPushButton::clicked, this, edit([this] { State.Move(-1); }));
  connect(cmdMoveDownLayer, &QPushButton::clicked, this, edit([this] { State.Move(1); }));
  connect(cmdDropLayer, &QPushButton::clicked, this, edit([this] { State.ToggleDrop(); }));
  connect(cmdModifyLayer, &QPushButton::clicked, this, edit([this] {
            State.SetZoom(static_cast<float>(LeadingNumber(txtZoomMin->text().toStdString())),
                          static_cast<float>(LeadingNumber(txtZoomMax->text().toStdString())));
          }));
  connect(SetZoomAlways, &QPushButton::clicked, this, edit([this] { State.ZoomAlways(); }));
  connect(cboUserVisibility, &QComboBox::activated, this,
          [this](int index) { State.SetUserVisibility(static_cast<std::int16_t>(index)); });
  connect(cmdBackColor, &QPushButton::clicked, this, &dlgMapSetup::ChooseBackColor);
  connect(cmdSetInitialHeight, &QPushButton::clicked, this, [this] {
    State.SetInitialView();
    lblInitialHeight->setText(Km(State.InitialHeight));
  });

  // Load.
  PaintSwatch();
  lblInitialHeight->setText(Km(State.InitialHeight));
  lblCurrentHeight->setText(Km(State.CurrentHeight));
  Cancelled = true;
}

void dlgMapSetup::RefreshLayers(int position) {
  {
    const QSignalBlocker quiet(lstLayers);
    lstLayers->clear();
    for (const std::string& line : State.Lines()) lstLayers->addItem(QString::fromStdString(line));
  }
  lstLayers->setCurrentRow(position);
  LayerSelected(lstLayers->currentRow());
}

void dlgMapSetup::LayerSelected(int position) {
  State.Selected = position;
  if (position >= 0 && position < static_cast<int>(State.LayerSetups.size())) {
    const CLayerSetupDef& setup = State.LayerSetups[static_cast<std::size_t>(position)];
    txtZoomMin->setText(QString::fromStdString(PlainNumber(setup.ZoomMin)));
    txtZoomMax->setText(QString::fromStdString(PlainNumber(setup.ZoomMax)));
    cboUserVisibility->setCurrentIndex(setup.UserVisibility);
  }
  cmdMoveUpLayer->setEnabled(State.CanMoveUp());
  cmdMoveDownLayer->setEnabled(State.CanMoveDown());
  cmdDropLayer->setText(QString::fromStdString(State.DropCaption()));
}

void dlgMapSetup::PaintSwatch() {
  QPalette palette = shpBGColor->palette();
  palette.setColor(QPalette::Window, ToQColor(static_cast<Colour>(State.BackgroundColor)));
  shpBGColor->setPalette(palette);
}

void dlgMapSetup::ChooseBackColor() {
  ColorDlg chooser(ToQColor(static_cast<Colour>(State.BackgroundColor)), this);
  chooser.setObjectName(QStringLiteral("ColorDlg"));
  ui_.ShowModal(chooser);
  if (chooser.result() != QDialog::Accepted) return;
  State.BackgroundColor = FromQColor(chooser.currentColor());
  PaintSwatch();
}

dlgSetDirections::dlgSetDirections(layer& lay, QWidget* parent)
    : QDialog(parent),
      cboField(Named(new QComboBox(this), "cboField")),
      OKButton(Button("OKButton", QStringLiteral("OK"), this)),
      CancelButton(Button("CancelButton", QStringLiteral("Cancel"), this)) {
  setObjectName(QStringLiteral("dlgSetDirections"));
  setWindowTitle(QStringLiteral("Configurar el Sentido de Orientación"));
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Seleccionar Campo"), cboField);
  LayOutFields(this, form, OKButton, CancelButton);
  HideOnOkCancel(this, OKButton, CancelButton, Cancelled);
  // Load.
  cboField->clear();
  for (const Campo& field : lay.Campos()) cboField->addItem(QString::fromStdString(field.Nombre));
  cboField->setCurrentIndex(
      cboField->findText(QString::fromStdString(lay.DirectionField), Qt::MatchFixedString));
}

}  // namespace orvenda
