#pragma once
// dlgMapSetup ("Configurar el Mapa"): the layers' drawing order, drops, zoom ranges
// and visibility, the background colour and the initial view of the map, edited on
// a copy (MapSetupState) that the viewer reads back after OK. dlgSetDirections
// ("Configurar el Sentido de Orientación"): the field of a layer that holds the
// direction of its lines.

#include <QColorDialog>
#include <QDialog>

#include "dialogs/mapsetupstate.h"
#include "protocol/interaction.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace orvenda {

class layer;

// The colour chooser, shown modally through the Interaction seam.
class ColorDlg : public QColorDialog, public ModalForm {
  Q_OBJECT

 public:
  using QColorDialog::QColorDialog;
};

class dlgMapSetup : public QDialog, public ModalForm {
  Q_OBJECT

 public:
  // Shows `state` (filled by the caller); the colour chooser opens through `ui`.
  dlgMapSetup(Interaction& ui, MapSetupState state, std::int16_t projection,
              QWidget* parent = nullptr);

  MapSetupState State;
  bool Cancelled = true;
  // Rebuilds lstLayers from the records and selects `position` (0-based).
  void RefreshLayers(int position);

  QListWidget* lstLayers;
  QPushButton* cmdMoveUpLayer;
  QPushButton* cmdMoveDownLayer;
  QPushButton* cmdDropLayer;
  QLineEdit* txtZoomMin;
  QLineEdit* txtZoomMax;
  QPushButton* cmdModifyLayer;
  QPushButton* SetZoomAlways;
  QComboBox* cboUserVisibility;
  QFrame* shpBGColor;
  QPushButton* cmdBackColor;
  QComboBox* cbProjection;
  QLabel* lblCurrentHeight;
  QLabel* lblInitialHeight;
  QPushButton* cmdSetInitialHeight;
  QPushButton* OKButton;
  QPushButton* CancelButton;

 private:
  void LayerSelected(int position);
  void PaintSwatch();
  void ChooseBackColor();

  Interaction& ui_;
};

class dlgSetDirections : public QDialog, public ModalForm {
  Q_OBJECT

 public:
  // Lists the fields of `lay`; its direction field is chosen when it has one.
  explicit dlgSetDirections(layer& lay, QWidget* parent = nullptr);

  bool Cancelled = true;
  QComboBox* cboField;
  QPushButton* OKButton;
  QPushButton* CancelButton;
};

}  // namespace orvenda
