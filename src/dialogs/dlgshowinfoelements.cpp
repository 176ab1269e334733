#include "dialogs/dlgshowinfoelements.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <functional>

#include "dialogs/dialoglayout.h"
#include "dialogs/keyfilter.h"
#include "protocol/elementinfo.h"
#include "protocol/fieldvalue.h"
#include "viewer/qtcolour.h"

namespace orvenda {
namespace {

InfoElementsTable TableFor(MapViewer& viewer, std::int32_t layerId, const SelectionTable& table,
                           const std::string& idHeading) {
  std::vector<std::string> names;
  std::vector<std::int16_t> types;
  if (layer* lay = viewer.layers().Item(Key(layerId))) {
    for (const Campo& field : lay->Campos()) {
      names.push_back(field.Nombre);
      types.push_back(field.Tipo);
    }
  }
  return InfoElementsTable(names, std::move(types), table, idHeading);
}

// Buttons that Enter does not press: Enter belongs to the value being typed.
QPushButton* PlainButton(const char* name, const QString& text, QWidget* parent) {
  QPushButton* button = Button(name, text, parent);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

dlgShowInfoElements::dlgShowInfoElements(MapViewer& viewer, std::int32_t layerId,
                                         const SelectionTable& table, QWidget* parent,
                                         const std::string& idHeading)
    : QDialog(parent),
      lblSelectedElements(new QLabel(QStringLiteral("Elementos Seleccionados"), this)),
      grdInfoElements(new QTableWidget(this)),
      cmdShow(PlainButton("cmdShow", QStringLiteral("Mostrar Todos"), this)),
      cmdZoom2Objects(PlainButton("cmdZoom2Objects", QStringLiteral("Zoom a Objetos"), this)),
      cmdCopy(PlainButton("cmdCopy", QStringLiteral("Copiar"), this)),
      cmdUpdate(PlainButton("cmdUpdate", QStringLiteral("Actualizar"), this)),
      cmdCancel(PlainButton("cmdCancel", QStringLiteral("Cancel"), this)),
      cmdShowWindow(PlainButton("cmdShowWindow", QStringLiteral("Restaurar Ventana"), this)),
      frmUpdate(new QGroupBox(QStringLiteral("Actualizando "), this)),
      lblNewValue(new QLabel(QStringLiteral("Valor Nuevo"), frmUpdate)),
      txtValue(new QLineEdit(frmUpdate)),
      cmdOK(PlainButton("cmdOK", QStringLiteral("Actualizar"), frmUpdate)),
      cmdClear(PlainButton("cmdClear", QStringLiteral("Cancel"), frmUpdate)),
      UndoUpdate(PlainButton("UndoUpdate", QStringLiteral("Deshacer Ultimo Cambio"), frmUpdate)),
      viewer_(viewer),
      layerId_(layerId),
      table_(TableFor(viewer, layerId, table, idHeading)) {
  setObjectName(QStringLiteral("dlgShowInfoElements"));
  setWindowTitle(QStringLiteral("Mostrar Información de los Elementos Seleccionados"));
  lblSelectedElements->setObjectName(QStringLiteral("lblSelectedElements"));
  grdInfoElements->setObjectName(QStringLiteral("grdInfoElements"));
  grdInfoElements->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grdInfoElements->horizontalHeader()->hide();
  grdInfoElements->verticalHeader()->hide();
  frmUpdate->setObjectName(QStringLiteral("frmUpdate"));
  lblNewValue->setObjectName(QStringLiteral("lblNewValue"));
  txtValue->setObjectName(QStringLiteral("txtValue"));
  FilterKeys(txtValue, [this] { return editing_ ? table_.TypeOf(*editing_) : std::int16_t{0}; });

  auto* frame = new QGridLayout(frmUpdate);
  frame->addWidget(lblNewValue, 0, 0);
  frame->addWidget(txtValue, 0, 1, 1, 2);
  frame->addWidget(cmdOK, 1, 0);
  frame->addWidget(cmdClear, 1, 1);
  frame->addWidget(UndoUpdate, 1, 2);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {cmdShow, cmdZoom2Objects, cmdCopy, cmdUpdate, cmdCancel}) {
    buttons->addWidget(b);
  }
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(cmdShowWindow);
  layout->addWidget(lblSelectedElements);
  layout->addWidget(grdInfoElements);
  layout->addWidget(frmUpdate);
  layout->addLayout(buttons);

  connect(grdInfoElements, &QTableWidget::cellClicked, this, [this](int row, int) {
    if (Idle) ChooseRow(row);
  });
  connect(grdInfoElements, &QTableWidget::cellDoubleClicked, this,
          [this](int, int column) { StartColumnEdit(column); });
  connect(cmdOK, &QPushButton::clicked, this, [this] {
    if (!editing_) return;
    const std::string text = txtValue->text().toStdString();
    if (!FieldValueFits(table_.TypeOf(*editing_), text)) {
      viewer_.interaction().MessageBox(
          "The value \"" + text + "\" does not suit the field " + table_.Cell(0, *editing_) + ".",
          "Orvenda Viewer", MessageIcon::Exclamation, MessageButtons::Ok);
      return;
    }
    table_.Overwrite(*editing_, FieldValueToSend(table_.TypeOf(*editing_), text));
    FillGrid();
    EndColumnEdit();
  });
  connect(cmdClear, &QPushButton::clicked, this, [this] { EndColumnEdit(); });
  connect(UndoUpdate, &QPushButton::clicked, this, [this] {
    table_.Undo();
    FillGrid();
    UndoUpdate->setEnabled(false);
  });
  connect(cmdCopy, &QPushButton::clicked, this, [this] {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(QString::fromStdString(table_.CopyText()));
  });
  connect(cmdZoom2Objects, &QPushButton::clicked, this, [this] {
    ZoomToElements(viewer_, layerId_, table_.ElementIds());
    Shrink();
  });
  connect(cmdShow, &QPushButton::clicked, this, [this] {
    if (layer* lay = Layer()) {
      for (const std::int32_t id : table_.ElementIds()) {
        if (lay->Entidades.ItemByID(id)) viewer_.Highlight(*lay, id);
      }
    }
    Shrink();
  });
  connect(cmdShowWindow, &QPushButton::clicked, this, [this] { Restore(); });
  connect(cmdUpdate, &QPushButton::clicked, this, [this] { Close(true); });
  connect(cmdCancel, &QPushButton::clicked, this, [this] { Close(false); });

  FillGrid();
  PrepareShow();
}

layer* dlgShowInfoElements::Layer() const { return viewer_.layers().Item(Key(layerId_)); }

bool dlgShowInfoElements::EditableLayer() const {
  const layer* lay = Layer();
  return lay && lay->AccessLevel >= ALEditor;
}

void dlgShowInfoElements::PrepareShow() {
  Mode = "CLOSE";
  Cancelled = true;
  EndColumnEdit();
  Restore();
  frmUpdate->setVisible(EditableLayer());
  cmdUpdate->setEnabled(EditableLayer());
  UndoUpdate->setEnabled(table_.CanUndo());
}

void dlgShowInfoElements::FillGrid() {
  grdInfoElements->setRowCount(table_.Rows());
  grdInfoElements->setColumnCount(table_.Columns());
  for (int r = 0; r < table_.Rows(); ++r) {
    for (int c = 0; c < table_.Columns(); ++c) {
      grdInfoElements->setItem(r, c,
                               new QTableWidgetItem(QString::fromStdString(table_.Cell(r, c))));
    }
  }
  PaintColumns();
}

void dlgShowInfoElements::PaintColumns() {
  for (int c = 0; c < table_.Columns(); ++c) {
    const QColor colour = ToQColor(table_.Colour(c, editing_));
    for (int r = 1; r < table_.Rows(); ++r) grdInfoElements->item(r, c)->setBackground(colour);
  }
}

void dlgShowInfoElements::StartColumnEdit(int column) {
  if (!Idle || !EditableLayer() || !table_.Editable(column)) return;
  editing_ = column;
  PaintColumns();
  for (QWidget* w :
       std::initializer_list<QWidget*>{frmUpdate, lblNewValue, txtValue, cmdOK, cmdClear}) {
    w->setEnabled(true);
  }
  txtValue->clear();
  cmdOK->setDefault(true);
  grdInfoElements->setEnabled(false);
  Idle = false;
}

void dlgShowInfoElements::EndColumnEdit() {
  editing_.reset();
  PaintColumns();
  for (QWidget* w : std::initializer_list<QWidget*>{lblNewValue, txtValue, cmdOK, cmdClear}) {
    w->setEnabled(false);
  }
  txtValue->clear();
  cmdOK->setDefault(false);
  cmdUpdate->setDefault(true);
  UndoUpdate->setEnabled(table_.CanUndo());
  grdInfoElements->setEnabled(true);
  Idle = true;
}

void dlgShowInfoElements::ChooseRow(int row) {
  const auto id = table_.ElementOf(row);
  layer* lay = Layer();
  if (!id || !lay) return;
  viewer_.Redraw();
  if (lay->Entidades.ItemByID(*id)) viewer_.Highlight(*lay, *id);
}

void dlgShowInfoElements::Shrink() {
  for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) w->hide();
  cmdShowWindow->show();
  adjustSize();
}

void dlgShowInfoElements::Restore() {
  for (QWidget* w :
       std::initializer_list<QWidget*>{lblSelectedElements, grdInfoElements, cmdShow,
                                       cmdZoom2Objects, cmdCopy, cmdUpdate, cmdCancel}) {
    w->show();
  }
  frmUpdate->setVisible(EditableLayer());
  cmdShowWindow->hide();
  adjustSize();
}

void dlgShowInfoElements::Close(bool update) {
  Cancelled = !update;
  Mode = update ? "EDIT" : "CLOSE";
  if (update) {
    accept();
  } else {
    reject();
  }
}

}  // namespace orvenda
