#pragma once
// dlgMapList: the maps the user may open. OK without a selection says so and
// stays; OK with one sets Accepted; Cancel clears it.

#include <QDialog>

#include "protocol/interaction.h"

class QListWidget;
class QPushButton;

namespace orvenda {

class dlgMapList : public QDialog, public ModalForm {
  Q_OBJECT

 public:
  explicit dlgMapList(Interaction& ui, QWidget* parent = nullptr);

  bool Accepted = false;
  QListWidget* lstMapList;
  QPushButton* OKButton;
  QPushButton* CancelButton;

 private:
  void OnOK();
  Interaction& ui_;
};

}  // namespace orvenda
