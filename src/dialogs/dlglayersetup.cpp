#include "dialogs/dlglayersetup.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include "dialogs/dialoglayout.h"
#include "protocol/fieldvalue.h"
#include "render/classsample.h"
#include "viewer/qpaintersurface.h"
#include "viewer/qtcolour.h"

namespace orvenda {
namespace {

constexpr const char* kNoField = "<None>";
constexpr const char* kNewBound = "<<New>>";
// Typed view heights are real numbers.
constexpr std::int16_t kRealType = 5;
// The preview picture, in pixels (1800 x 1500 twips).
constexpr int kPreviewWidth = 120;
constexpr int kPreviewHeight = 100;

QString Text(const std::string& s) { return QString::fromStdString(s); }

// Shows `index`, or no entry when the list has none there.
void Select(QComboBox* box, int index) {
  box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

}  // namespace

dlgLayerSetup::dlgLayerSetup(layer& lay, double viewHeightKm, Interaction& ui, QWidget* parent)
    : QDialog(parent),
      lay_(lay),
      ui_(ui),
      WorkingClasses_(std::make_unique<ThematicMap>()),
      previewPicture_(kPreviewWidth, kPreviewHeight, QImage::Format_RGB32) {
  setObjectName(QStringLiteral("dlgLayerSetup"));
  ColorDlg = [this](Colour current) -> std::optional<Colour> {
    const QColor chosen = QColorDialog::getColor(ToQColor(current), this);
    if (!chosen.isValid()) return std::nullopt;
    return FromQColor(chosen);
  };
  BuildWidgets();
  Open(viewHeightKm);
}

dlgLayerSetup::~dlgLayerSetup() = default;

void dlgLayerSetup::Open(double viewHeightKm) {
  SetupResult = 1;
  PreviewReady = false;
  previewPicture_.fill(Qt::white);
  Preview->setPixmap(QPixmap::fromImage(previewPicture_));
  setWindowTitle(QStringLiteral("Configuración del Layer: ") + Text(lay_.Nombre));

  QStringList fields{QString::fromLatin1(kNoField)};
  for (const Campo& c : lay_.Campos()) fields << Text(c.Nombre);
  const auto entryOf = [&](const std::string& name) {
    const int at = name.empty() ? 0 : static_cast<int>(fields.indexOf(Text(name)));
    return at < 0 ? 0 : at;
  };
  {
    const QSignalBlocker a(cbThemeField), b(cbLblField);
    cbThemeField->clear();
    cbThemeField->addItems(fields);
    cbLblField->clear();
    cbLblField->addItems(fields);
    cbThemeField->setCurrentIndex(entryOf(lay_.ThematicField));
    cbLblField->setCurrentIndex(entryOf(lay_.lblField));
  }
  ThemeFieldChosen(cbThemeField->currentIndex());
  LabelFieldChosen(cbLblField->currentIndex());

  if (const auto entry = QtyClassesSelection(lay_.ThematicMap().count())) {
    while (cbQtyClasses->count() <= *entry) {
      cbQtyClasses->addItem(Text(QtyClassesEntry(cbQtyClasses->count())));
    }
    cbQtyClasses->setCurrentIndex(*entry);
  }
  UpdateNewClassButton();

  {
    const QSignalBlocker quiet(cbThemeMethod);
    Select(cbThemeMethod, lay_.ThematicType);
  }
  MethodChosen(cbThemeMethod->currentIndex());
  shpLblColor->SetColour(lay_.lblColor);
  Select(cbLblVisible, lay_.UserLabelVisibility());
  LabelVisibilityChosen(cbLblVisible->currentIndex());
  chklblBold->setChecked(lay_.lblBold);
  txtMinHeight->setText(QString::number(lay_.lblZoomMin, 'g', 7));
  txtMaxHeight->setText(QString::number(lay_.lblZoomMax, 'g', 7));
  lblCurrHeight->setText(QString::number(viewHeightKm, 'f', 2) + QStringLiteral(" km"));
  chkAllowDuplicates->setChecked(lay_.lblAllowDuplicates);

  WorkingClasses_ = std::make_unique<ThematicMap>();
  CopyLayerClasses(lay_.ThematicMap(), *WorkingClasses_);
  FillClassList();

  chkDirections->setEnabled(!lay_.DirectionField.empty());
  chkDirections->setChecked(!lay_.DirectionField.empty() && lay_.DirectionVisible);
}

std::int16_t dlgLayerSetup::ThemeFieldType() const {
  const int k = cbThemeField->currentIndex();
  if (k < 1 || k > lay_.Campos().count()) return 0;
  return lay_.Campos().Item(k).Tipo;
}

void dlgLayerSetup::ThemeFieldChosen(int index) {
  if (index > 0 && index == cbLblField->currentIndex()) {
    ui_.MessageBox("El campo del Tema debe ser distinto al campo de la Etiqueta", "Orvenda",
                   MessageIcon::None, MessageButtons::Ok);
    const QSignalBlocker quiet(cbThemeField);
    cbThemeField->setCurrentIndex(0);
    index = 0;
  }
  const bool none = index <= 0;
  cbThemeMethod->setEnabled(!none);
  if (none) {
    if (cbThemeMethod->currentIndex() != thememethod::kNone) {
      cbThemeMethod->setCurrentIndex(thememethod::kNone);
    }
    cbQtyClasses->setEnabled(false);
    cmdQrySvr->setEnabled(false);
  }
  for (QWidget* w : std::initializer_list<QWidget*>{shpColor0, cmdColor0, ShpColor1, cmdColor1})
    w->setVisible(!none);
  UpdateNewClassButton();
}

void dlgLayerSetup::LabelFieldChosen(int index) {
  if (index > 0 && index == cbThemeField->currentIndex()) {
    ui_.MessageBox("El campo del Tema debe ser distinto al campo de la Etiqueta", "Orvenda",
                   MessageIcon::None, MessageButtons::Ok);
    const QSignalBlocker quiet(cbLblField);
    cbLblField->setCurrentIndex(0);
    index = 0;
  }
  for (QWidget* w : std::initializer_list<QWidget*>{cmdlblColor, cbLblVisible, chklblBold})
    w->setEnabled(index > 0);
}

void dlgLayerSetup::LabelVisibilityChosen(int index) {
  txtMinHeight->setEnabled(index == 1);
  txtMaxHeight->setEnabled(index == 1);
}

void dlgLayerSetup::MethodChosen(int index) {
  const MethodChoice c = ChooseMethod(static_cast<std::int16_t>(index), ThemeFieldType());
  if (c.refused) {
    ui_.MessageBox("Invalid", "Orvenda", MessageIcon::None, MessageButtons::Ok);
    const QSignalBlocker quiet(cbThemeMethod);
    cbThemeMethod->setCurrentIndex(c.method);
  }
  cbQtyClasses->setEnabled(c.classCountEnabled);
  cmdQrySvr->setEnabled(c.serverEnabled);
  cmdNewClass->setEnabled(c.serverEnabled);
  QueriedValues_.clear();
  BuildClassesNow();
  UpdateNewClassButton();
}

void dlgLayerSetup::UpdateNewClassButton() {
  cmdNewClass->setEnabled(cbThemeField->currentIndex() > 0 &&
                          cbQtyClasses->currentIndex() != cbQtyClasses->count() - 1 &&
                          cbThemeMethod->currentIndex() > thememethod::kNone);
}

void dlgLayerSetup::BuildClassesNow() {
  ClassRecipe recipe;
  recipe.method = static_cast<std::int16_t>(std::max(0, cbThemeMethod->currentIndex()));
  recipe.values = QueriedValues_;
  recipe.rangeCount = cbQtyClasses->currentText().toStdString();
  recipe.startColour = shpColor0->colour();
  recipe.endColour = ShpColor1->colour();
  recipe.kind = lay_.Tipo;
  BuildClasses(*WorkingClasses_, recipe);
  const std::int32_t n = WorkingClasses_->count();
  if (const auto entry = QtyClassesSelection(n)) {
    while (cbQtyClasses->count() < n - 1) {
      cbQtyClasses->addItem(Text(QtyClassesEntry(cbQtyClasses->count())));
    }
    cbQtyClasses->setCurrentIndex(*entry);
  }
  FillClassList();
}

void dlgLayerSetup::FillClassList() {
  const std::int16_t method = static_cast<std::int16_t>(cbThemeMethod->currentIndex());
  {
    const QSignalBlocker quiet(lstThemeClasses);
    lstThemeClasses->clear();
    for (const std::string& t : ClassListTexts(*WorkingClasses_, method)) {
      lstThemeClasses->addItem(Text(t));
    }
    if (lstThemeClasses->count() > 0) lstThemeClasses->setCurrentRow(0);
  }
  if (lstThemeClasses->count() > 0) ClassSelected(0);
}

Theme* dlgLayerSetup::SelectedClass() {
  const int row = lstThemeClasses->currentRow();
  if (row < 0 || row >= WorkingClasses_->count()) return nullptr;
  return &WorkingClasses_->Item(row + 1);
}

void dlgLayerSetup::ClassSelected(int row) {
  Theme* t = SelectedClass();
  if (row < 0 || t == nullptr) return;
  cmdDeleteClass->setEnabled(row != 0);
  {
    const QSignalBlocker a(cbBWidth), b(cbBStyle), c(cbFillMode);
    shpBColor->SetColour(t->DrawColor);
    Select(cbBWidth, t->DrawWidth - 1);
    Select(cbBStyle, t->DrawStyle);
    cbBStyle->setEnabled(true);
    if (IsPolygonLayer()) {
      shpFillColor->SetColour(t->FillColor);
      shpFillColor->show();
      Select(cbFillMode, t->FillStyle);
      cbFillMode->setEnabled(true);
      cmdFillColor->setEnabled(true);
    } else {
      cmdFillColor->setEnabled(false);
      cbFillMode->setEnabled(false);
    }
  }
  if (t->min == kAnyValueClass) {
    for (QWidget* w : std::initializer_list<QWidget*>{txtMin, txtMax, cmdChangeValues})
      w->setEnabled(false);
  } else {
    txtMin->setText(Text(t->min));
    txtMax->setText(Text(t->max));
    txtMin->setEnabled(true);
    txtMax->setEnabled(true);
    if (cbThemeMethod->currentIndex() == thememethod::kValueList) {
      txtMax->setEnabled(false);
      txtMax->clear();
    }
  }
  PreviewReady = true;
  DrawPreview();
}

void dlgLayerSetup::PickColour(ColourSwatch* swatch, Colour Theme::*member) {
  if (!ColorDlg) return;
  const auto chosen = ColorDlg(swatch->colour());
  if (!chosen) return;
  swatch->SetColour(*chosen);
  if (member != nullptr) {
    if (Theme* t = SelectedClass()) t->*member = *chosen;
    DrawPreview();
  }
}

void dlgLayerSetup::ChangeValues() {
  Theme* t = SelectedClass();
  if (t == nullptr) return;
  t->min = txtMin->text().toStdString();
  t->max = cbThemeMethod->currentIndex() == thememethod::kValueList ? t->min
                                                                    : txtMax->text().toStdString();
  FillClassList();
  cmdChangeValues->setEnabled(false);
}

void dlgLayerSetup::NewClass() {
  if (cbQtyClasses->currentIndex() + 1 < cbQtyClasses->count()) {
    cbQtyClasses->setCurrentIndex(cbQtyClasses->currentIndex() + 1);
  }
  const Theme first = WorkingClasses_->Item(1);
  WorkingClasses_->Add(static_cast<std::int16_t>(first.DrawStyle),
                       static_cast<std::int16_t>(first.DrawWidth), first.DrawColor, first.FillColor,
                       static_cast<std::int16_t>(first.FillStyle), kNewBound, kNewBound);
  FillClassList();
  lstThemeClasses->setCurrentRow(lstThemeClasses->count() - 1);
}

void dlgLayerSetup::DeleteClass() {
  const int row = lstThemeClasses->currentRow();
  if (row <= 0 || row >= WorkingClasses_->count()) return;
  if (cbQtyClasses->currentIndex() >= 0) {
    cbQtyClasses->setCurrentIndex(cbQtyClasses->currentIndex() - 1);
  }
  WorkingClasses_->Remove(row + 1);
  FillClassList();
  lstThemeClasses->setCurrentRow(std::min(row, lstThemeClasses->count() - 1));
}

void dlgLayerSetup::DrawPreview() {
  if (!PreviewReady) return;
  QPainterSurface surface(kPreviewWidth, kPreviewHeight);
  surface.SetAntialiasing(false);
  surface.SetBackColor(0xFFFFFF);
  surface.Cls();
  Theme t;
  t.DrawColor = shpBColor->colour();
  t.DrawStyle = cbBStyle->currentIndex();
  t.DrawWidth = cbBWidth->currentText().toInt();
  t.FillColor = shpFillColor->colour();
  t.FillStyle = cbFillMode->currentIndex();
  DrawPreviewSample(surface, t, lay_.Tipo);
  previewPicture_ = surface.Snapshot();
  Preview->setPixmap(QPixmap::fromImage(previewPicture_));
}

void dlgLayerSetup::SetQueriedValues(std::vector<std::string> values) {
  QueriedValues_ = std::move(values);
  ValuesArrived = true;
}

void dlgLayerSetup::BuildIfValuesArrived() {
  if (!ValuesArrived) return;
  ValuesArrived = false;
  BuildClassesNow();
}

void dlgLayerSetup::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  BuildIfValuesArrived();
}

void dlgLayerSetup::paintEvent(QPaintEvent* event) {
  BuildIfValuesArrived();
  QDialog::paintEvent(event);
}

void dlgLayerSetup::Leave(std::int16_t result) {
  SetupResult = result;
  hide();
}

void dlgLayerSetup::reject() {
  // Escape and the close box leave as Cancel does.
  SetupResult = 1;
  QDialog::reject();
}

bool dlgLayerSetup::eventFilter(QObject* watched, QEvent* event) {
  auto* box = qobject_cast<QLineEdit*>(watched);
  if (box == nullptr) return false;
  const bool bound = box == txtMin || box == txtMax;
  if (bound && event->type() == QEvent::FocusIn) {
    cmdChangeValues->setEnabled(true);
    if (box->text() == QLatin1String(kNewBound)) {
      box->clear();
    } else {
      box->selectAll();
    }
    return false;
  }
  if (event->type() != QEvent::KeyPress) return false;
  QString typed = static_cast<QKeyEvent*>(event)->text();
  if (typed.isEmpty()) return false;
  if (bound) {
    return !FldVerify(box->text().toStdString(), static_cast<int>(typed.toUcs4().value(0)),
                      ThemeFieldType());
  }
  // Heights: a comma types the full stop.
  if (typed != QLatin1String(",")) {
    return !FldVerify(box->text().toStdString(), static_cast<int>(typed.toUcs4().value(0)),
                      kRealType);
  }
  if (FldVerify(box->text().toStdString(), '.', kRealType)) box->insert(QStringLiteral("."));
  return true;
}

std::string dlgLayerSetup::QueryField() const { return cbThemeField->currentText().toStdString(); }

std::int16_t dlgLayerSetup::QueryKind() const {
  return static_cast<std::int16_t>(cbThemeMethod->currentIndex());
}

LayerSetupChoice dlgLayerSetup::Choice() const {
  LayerSetupChoice c;
  if (cbThemeField->currentIndex() > 0) {
    c.themeField = cbThemeField->currentText().toStdString();
    c.themeFieldType = ThemeFieldType();
    c.method = static_cast<std::int16_t>(std::max(0, cbThemeMethod->currentIndex()));
  }
  if (cbLblField->currentIndex() > 0) c.labelField = cbLblField->currentText().toStdString();
  c.labelBold = chklblBold->isChecked();
  c.labelVisibility = static_cast<std::int16_t>(std::max(0, cbLblVisible->currentIndex()));
  c.labelColour = shpLblColor->colour();
  c.labelZoomMin = txtMinHeight->text().toStdString();
  c.labelZoomMax = txtMaxHeight->text().toStdString();
  if (chkAllowDuplicates->checkState() != Qt::PartiallyChecked) {
    c.allowDuplicates = chkAllowDuplicates->isChecked();
  }
  c.directions = chkDirections->isChecked();
  return c;
}

}  // namespace orvenda
