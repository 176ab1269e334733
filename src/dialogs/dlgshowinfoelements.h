#pragma once
// dlgShowInfoElements, "Mostrar Información de los Elementos Seleccionados": the
// attributes of several elements of one layer in a grid, to copy, show on the map,
// zoom to, and, on a layer the user may edit, overwrite column by column before
// sending. The grid's logic is InfoElementsTable; this widget only shows it.
//
// The dialog holds one text that is its mode on entry ("VIEW") and its result on
// exit: "EDIT" when "Actualizar" closed it, "CLOSE" for any other way out.

#include <QDialog>
#include <optional>
#include <string>

#include "dialogs/infoelementstable.h"
#include "protocol/interaction.h"
#include "protocol/mapviewer.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace orvenda {

class dlgShowInfoElements final : public QDialog, public ModalForm {
  Q_OBJECT

 public:
  // `idHeading` heads the column of the element IDs.
  dlgShowInfoElements(MapViewer& viewer, std::int32_t layerId, const SelectionTable& table,
                      QWidget* parent = nullptr, const std::string& idHeading = "ID");

  std::string Mode = "VIEW";
  bool Cancelled = true;
  bool Idle = true;
  InfoElementsTable& table() { return table_; }

  // Starts overwriting a column (a double click on it); only on an editable layer
  // and never the ID column.
  void StartColumnEdit(int column);
  // Makes the dialog visible again on a new show: full height, browsing, and
  // "CLOSE" unless "Actualizar" is pressed.
  void PrepareShow();

  QLabel* lblSelectedElements;
  QTableWidget* grdInfoElements;
  QPushButton* cmdShow;
  QPushButton* cmdZoom2Objects;
  QPushButton* cmdCopy;
  QPushButton* cmdUpdate;
  QPushButton* cmdCancel;
  QPushButton* cmdShowWindow;
  QGroupBox* frmUpdate;
  QLabel* lblNewValue;
  QLineEdit* txtValue;
  QPushButton* cmdOK;
  QPushButton* cmdClear;
  QPushButton* UndoUpdate;

 private:
  layer* Layer() const;
  bool EditableLayer() const;
  void FillGrid();
  void PaintColumns();
  void EndColumnEdit();
  void ChooseRow(int row);
  void Shrink();
  void Restore();
  void Close(bool update);

  MapViewer& viewer_;
  std::int32_t layerId_;
  InfoElementsTable table_;
  std::optional<int> editing_;
};

}  // namespace orvenda
