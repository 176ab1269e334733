// The layer setup form's widgets and their layout; its behaviour is in dlglayersetup.cpp.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/dialoglayout.h"
#include "dialogs/dlglayersetup.h"
#include "viewer/qtcolour.h"

namespace orvenda {
namespace {

constexpr int kQtyClassesEntries = 24;  // "2" to "25"

QComboBox* List(const char* name, QWidget* parent, const QStringList& items = {}) {
  auto* box = Named(new QComboBox(parent), name);
  box->addItems(items);
  return box;
}

}  // namespace

ColourSwatch::ColourSwatch(const char* name, QWidget* parent) : QFrame(parent) {
  setObjectName(QString::fromLatin1(name));
  setFrameShape(QFrame::Box);
  setFixedSize(32, 18);
  setAutoFillBackground(true);
  SetColour(0);
}

void ColourSwatch::SetColour(Colour colour) {
  colour_ = colour;
  QPalette p = palette();
  p.setColor(QPalette::Window, ToQColor(colour));
  setPalette(p);
}

void dlgLayerSetup::BuildWidgets() {
  Frame1 = Named(new QGroupBox(QStringLiteral("Definición del Tema"), this), "Frame1");
  cbThemeField = List("cbThemeField", Frame1);
  cbThemeMethod =
      List("cbThemeMethod", Frame1,
           {QStringLiteral("None"), QStringLiteral("Lista de Valores"), QStringLiteral("Rangos")});
  cbQtyClasses = List("cbQtyClasses", Frame1);
  for (int k = 0; k < kQtyClassesEntries; ++k)
    cbQtyClasses->addItem(QString::fromStdString(QtyClassesEntry(k)));
  cbQtyClasses->setCurrentIndex(-1);
  cmdQrySvr = Button("cmdQrySvr", QStringLiteral("Lista de Valores"), Frame1);
  auto* f1 = new QHBoxLayout(Frame1);
  for (QWidget* w :
       std::initializer_list<QWidget*>{cbThemeField, cbThemeMethod, cbQtyClasses, cmdQrySvr})
    f1->addWidget(w);

  ThemeSetup = Named(new QGroupBox(QStringLiteral("Cosmética del Tema"), this), "ThemeSetup");
  lstThemeClasses = Named(new QListWidget(ThemeSetup), "lstThemeClasses");
  lstThemeClasses->setMinimumWidth(220);
  txtMin = Named(new QLineEdit(ThemeSetup), "txtMin");
  txtMax = Named(new QLineEdit(ThemeSetup), "txtMax");
  cmdChangeValues = Button("cmdChangeValues", QStringLiteral("Cambiar Valores"), ThemeSetup);
  cmdNewClass = Button("cmdNewClass", QStringLiteral("Clase Nueva"), ThemeSetup);
  cmdDeleteClass = Button("cmdDeleteClass", QStringLiteral("Borrar Clase"), ThemeSetup);
  shpBColor = new ColourSwatch("shpBColor", ThemeSetup);
  cmdBorderColor = Button("cmdBorderColor", QStringLiteral("Color"), ThemeSetup);
  cbBWidth = List("cbBWidth", ThemeSetup);
  for (int w = 1; w <= 10; ++w) cbBWidth->addItem(QString::number(w));
  cbBStyle = List("cbBStyle", ThemeSetup,
                  {"Solid", "Dash", "Dot", "Dash-Dot", "Dash-Dot-Dot", "Transparent"});
  shpFillColor = new ColourSwatch("shpFillColor", ThemeSetup);
  cmdFillColor = Button("cmdFillColor", QStringLiteral("Color"), ThemeSetup);
  cbFillMode = List("cbFillMode", ThemeSetup,
                    {"Solid", "Transparent", "Horizontal Line", "Vertical Line", "Upward Diagonal",
                     "Downward Diagonal", "Cross", "Diagonal Cross"});
  shpColor0 = new ColourSwatch("shpColor0", ThemeSetup);
  cmdColor0 = Button("cmdColor0", QString(), ThemeSetup);
  ShpColor1 = new ColourSwatch("ShpColor1", ThemeSetup);
  cmdColor1 = Button("cmdColor1", QString(), ThemeSetup);
  frame3 = Named(new QGroupBox(QStringLiteral("Vista Previa"), ThemeSetup), "frame3");
  Preview = Named(new QLabel(frame3), "Preview");
  Preview->setFixedSize(previewPicture_.size());
  (new QVBoxLayout(frame3))->addWidget(Preview);
  auto* ts = new QGridLayout(ThemeSetup);
  ts->addWidget(lstThemeClasses, 0, 0, 6, 1);
  ts->addWidget(new QLabel(QStringLiteral("Valores"), ThemeSetup), 0, 1);
  ts->addWidget(new QLabel(QStringLiteral("Min"), ThemeSetup), 1, 1);
  ts->addWidget(txtMin, 1, 2);
  ts->addWidget(new QLabel(QStringLiteral("Max"), ThemeSetup), 2, 1);
  ts->addWidget(txtMax, 2, 2);
  ts->addWidget(cmdChangeValues, 3, 1, 1, 2);
  ts->addWidget(cmdNewClass, 4, 1);
  ts->addWidget(cmdDeleteClass, 4, 2);
  ts->addWidget(shpColor0, 5, 1);
  ts->addWidget(cmdColor0, 5, 2);
  ts->addWidget(ShpColor1, 5, 3);
  ts->addWidget(cmdColor1, 5, 4);
  ts->addWidget(new QLabel(QStringLiteral("Borde"), ThemeSetup), 0, 3);
  ts->addWidget(shpBColor, 1, 3);
  ts->addWidget(cmdBorderColor, 1, 4);
  ts->addWidget(cbBWidth, 2, 3);
  ts->addWidget(cbBStyle, 2, 4);
  ts->addWidget(new QLabel(QStringLiteral("Interior"), ThemeSetup), 3, 3);
  ts->addWidget(shpFillColor, 4, 3);
  ts->addWidget(cmdFillColor, 4, 4);
  ts->addWidget(cbFillMode, 3, 4);
  ts->addWidget(frame3, 0, 5, 6, 1);

  Frame2 = Named(new QGroupBox(QStringLiteral("Etiquetas"), this), "Frame2");
  cbLblField = List("cbLblField", Frame2);
  shpLblColor = new ColourSwatch("shpLblColor", Frame2);
  cmdlblColor = Button("cmdlblColor", QStringLiteral("Color"), Frame2);
  chklblBold = Named(new QCheckBox(QStringLiteral("Negrita"), Frame2), "chklblBold");
  cbLblVisible = List("cbLblVisible", Frame2, {"Off", "Auto", "On"});
  txtMinHeight = Named(new QLineEdit(Frame2), "txtMinHeight");
  txtMaxHeight = Named(new QLineEdit(Frame2), "txtMaxHeight");
  lblCurrHeight = Named(new QLabel(Frame2), "lblCurrHeight");
  chkAllowDuplicates =
      Named(new QCheckBox(QStringLiteral("Permitir Duplicados"), Frame2), "chkAllowDuplicates");
  auto* f2 = new QGridLayout(Frame2);
  f2->addWidget(cbLblField, 0, 0);
  f2->addWidget(shpLblColor, 0, 1);
  f2->addWidget(cmdlblColor, 0, 2);
  f2->addWidget(chklblBold, 0, 3);
  f2->addWidget(cbLblVisible, 0, 4);
  f2->addWidget(new QLabel(QStringLiteral("Altura Min"), Frame2), 1, 0);
  f2->addWidget(txtMinHeight, 1, 1);
  f2->addWidget(new QLabel(QStringLiteral("Altura Max"), Frame2), 1, 2);
  f2->addWidget(txtMaxHeight, 1, 3);
  f2->addWidget(new QLabel(QStringLiteral("Altura Actual"), Frame2), 2, 0);
  f2->addWidget(lblCurrHeight, 2, 1);
  f2->addWidget(chkAllowDuplicates, 2, 3);

  Directions = Named(new QGroupBox(QStringLiteral("Orientación de Líneas"), this), "Directions");
  chkDirections =
      Named(new QCheckBox(QStringLiteral("Mostrar Sentidos de Orientación"), Directions),
            "chkDirections");
  (new QVBoxLayout(Directions))->addWidget(chkDirections);

  OKButton = Button("OKButton", QStringLiteral("OK"), this);
  CancelButton = Button("CancelButton", QStringLiteral("Cancel"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OKButton);
  buttons->addWidget(CancelButton);
  auto* all = new QVBoxLayout(this);
  for (QWidget* w : std::initializer_list<QWidget*>{Frame1, ThemeSetup, Frame2, Directions})
    all->addWidget(w);
  all->addLayout(buttons);

  for (QLineEdit* box : {txtMin, txtMax, txtMinHeight, txtMaxHeight}) box->installEventFilter(this);
  const auto index = &QComboBox::currentIndexChanged;
  connect(cbThemeField, index, this, &dlgLayerSetup::ThemeFieldChosen);
  connect(cbLblField, index, this, &dlgLayerSetup::LabelFieldChosen);
  connect(cbLblVisible, index, this, &dlgLayerSetup::LabelVisibilityChosen);
  connect(cbThemeMethod, index, this, &dlgLayerSetup::MethodChosen);
  connect(cbQtyClasses, index, this, [this] { UpdateNewClassButton(); });
  connect(lstThemeClasses, &QListWidget::currentRowChanged, this, &dlgLayerSetup::ClassSelected);
  connect(cbBStyle, index, this, [this](int i) {
    if (Theme* t = SelectedClass()) t->DrawStyle = i;
    DrawPreview();
  });
  connect(cbBWidth, index, this, [this](int i) {
    if (Theme* t = SelectedClass()) t->DrawWidth = i + 1;
    DrawPreview();
  });
  connect(cbFillMode, index, this, [this](int i) {
    if (Theme* t = SelectedClass()) t->FillStyle = i;
    DrawPreview();
  });
  connect(cmdBorderColor, &QPushButton::clicked, this,
          [this] { PickColour(shpBColor, &Theme::DrawColor); });
  connect(cmdFillColor, &QPushButton::clicked, this,
          [this] { PickColour(shpFillColor, &Theme::FillColor); });
  connect(cmdlblColor, &QPushButton::clicked, this, [this] { PickColour(shpLblColor, nullptr); });
  connect(cmdColor0, &QPushButton::clicked, this, [this] { PickColour(shpColor0, nullptr); });
  connect(cmdColor1, &QPushButton::clicked, this, [this] { PickColour(ShpColor1, nullptr); });
  connect(cmdChangeValues, &QPushButton::clicked, this, &dlgLayerSetup::ChangeValues);
  connect(cmdNewClass, &QPushButton::clicked, this, &dlgLayerSetup::NewClass);
  connect(cmdDeleteClass, &QPushButton::clicked, this, &dlgLayerSetup::DeleteClass);
  connect(OKButton, &QPushButton::clicked, this, [this] { Leave(0); });
  connect(CancelButton, &QPushButton::clicked, this, [this] { Leave(1); });
  connect(cmdQrySvr, &QPushButton::clicked, this, [this] {
    cmdQrySvr->setEnabled(false);
    Leave(2);
  });
}

}  // namespace orvenda
