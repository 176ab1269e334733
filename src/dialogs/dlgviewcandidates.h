#pragma once
// dlgViewCandidates ("Buscar Dirección"): the streets that answer an address
// search. "Ver Mapa" shows the chosen one on the map; "Punto Nuevo" adds a point
// at its address to the layer chosen in the combo.

#include <QDialog>
#include <cstdint>

#include "protocol/interaction.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace orvenda {

class dlgViewCandidates final : public QDialog, public ModalForm {
  Q_OBJECT

 public:
  explicit dlgViewCandidates(QWidget* parent = nullptr);
  // The load step, once the viewer has filled the lists: the first layer chosen.
  void Load();

  bool Cancelled = true;
  std::int16_t action = 0;  // 1 a new point, 0 show on the map

  QListWidget* lstCandidates;
  QComboBox* cbLayer;
  QLabel* lblStreetName;
  QLabel* lblStreetNumber;
  QPushButton* ViewMap;
  QPushButton* OKButton;
  QPushButton* CancelButton;

 private:
  void ChooseCandidate();
  void Close(bool cancelled, std::int16_t chosen);
};

}  // namespace orvenda
