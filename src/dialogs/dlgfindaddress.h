#pragma once
// dlgFindAddress ("Buscar Dirección"): a street name and a door number to look for
// on one of the layers the viewer lists. "Buscar" keeps the dialog open, with the
// focus in the box at fault, until both are there.

#include <QDialog>

#include "protocol/interaction.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace orvenda {

class dlgFindAddress final : public QDialog, public ModalForm {
  Q_OBJECT

 public:
  explicit dlgFindAddress(Interaction& ui, QWidget* parent = nullptr);

  bool Cancelled = true;
  QComboBox* cbLayers;
  QLineEdit* txtStreetName;
  QLineEdit* txtStreetNumber;
  QPushButton* OKButton;
  QPushButton* CancelButton;

 private:
  void OnOK();
  Interaction& ui_;
};

}  // namespace orvenda
