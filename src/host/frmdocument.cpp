#include "host/frmdocument.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>

#include "host/frmmain.h"
#include "host/pointerposition.h"
#include "viewer/viewer.h"

namespace orvenda {

namespace {

ViewerSeams SeamsWith(Interaction& ui, PopupMenus* menus) {
  ViewerSeams seams;
  seams.ui = &ui;
  seams.menus = menus;
  return seams;
}

}  // namespace

frmDocument::frmDocument(frmMain& main, Interaction& ui, PopupMenus* menus, QWidget* parent)
    : QWidget(parent), Viewer1(new Viewer(SeamsWith(ui, menus), this)), main_(main) {
  setObjectName(QStringLiteral("frmDocument"));
  setAttribute(Qt::WA_DeleteOnClose);
  Viewer1->setObjectName(QStringLiteral("Viewer1"));
  // The viewer fills the inner area and follows every resize.
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Viewer1);
  resize(640, 480);
  connect(Viewer1, &Viewer::MousePosition, this, &frmDocument::OnMousePosition);
  connect(Viewer1, &Viewer::MapLoaded, this, &frmDocument::OnMapLoaded);
  connect(Viewer1, &Viewer::MapRedrawn, this, &frmDocument::OnMapRedrawn);
}

frmDocument::~frmDocument() {
  // Unload: only the active document (or the last one) owns the main window's
  // combo and commands; the next document activated turns them on again.
  main_.DocumentUnloaded(this);
}

bool frmDocument::IsActive() const { return main_.ActiveDocument() == this; }

void frmDocument::SetCurrentLayerName(const QString& name) {
  currentLayerName_ = name;
  // The map tooltip reads the active layer, so pointing shows what the commands act on.
  Viewer1->SetToolTip(GetIDLayer(name), QStringLiteral(" "));
}

std::int32_t frmDocument::GetIDLayer(const QString& name) const {
  return table_.GetIDLayer(name.toStdString());
}

void frmDocument::RefreshLayerCombo() {
  QComboBox* combo = main_.cbLayers;
  const QSignalBlocker quiet(combo);
  combo->clear();
  const QFontMetrics metrics(combo->font());
  for (const auto& name : table_.ListedNames()) {
    const QString text = QString::fromStdString(name);
    combo->addItem(text);
    const int width =
        WidenedComboWidth(combo->width(), metrics.horizontalAdvance(text), frmMain::kComboPadding);
    if (width != combo->width()) main_.SetComboWidth(width);
    if (text == currentLayerName_) combo->setCurrentIndex(combo->count() - 1);
  }
  if (combo->findText(currentLayerName_) < 0) combo->setCurrentIndex(-1);
  if (table_.LayerCount() != 0 && combo->currentText().isEmpty() && combo->count() > 0) {
    combo->setCurrentIndex(0);
    currentLayerName_ = combo->currentText();
  }
}

void frmDocument::Activate() {
  main_.EnableMapCommands();
  RefreshLayerCombo();
  const QWidget* window = parentWidget();
  if (ReferencesShown && !(window && window->isMinimized())) Viewer1->RestoreMapReferences();
}

void frmDocument::Deactivate() {
  if (ReferencesShown) Viewer1->HideMapReferences();
}

void frmDocument::StateChanged(Qt::WindowStates state) {
  if (!ReferencesShown) return;
  if (state & Qt::WindowMinimized) {
    Viewer1->HideMapReferences();
  } else {
    Viewer1->RestoreMapReferences();
  }
}

void frmDocument::OnMousePosition(double X, double Y) {
  const QString point = QLocale().decimalPoint();
  const char separator = point.size() == 1 && point[0].unicode() < 128 ? point[0].toLatin1() : '.';
  main_.StatusPanel1->setText(QString::fromStdString(FormatPointerPosition(X, Y, separator)));
}

void frmDocument::OnMapLoaded() { table_.FillNames(Viewer1->layers()); }

void frmDocument::OnMapRedrawn() {
  table_.FillAll(Viewer1->layers());
  // A document in the background keeps its table but leaves the combo, which
  // shows the active document's layers.
  if (IsActive()) RefreshLayerCombo();
}

}  // namespace orvenda
