#pragma once
// dlgOptions: the connection options (server host, port, image folder). The
// caller fills the fields, shows it modally and reads Cancelled, which stays true
// unless OK was pressed, so that closing the window by its frame counts as Cancel.

#include <QDialog>

#include "protocol/interaction.h"

class QLineEdit;
class QPushButton;

namespace orvenda {

class dlgOptions : public QDialog, public ModalForm {
  Q_OBJECT

 public:
  explicit dlgOptions(QWidget* parent = nullptr);

  bool Cancelled = true;
  QLineEdit* txtURL;
  QLineEdit* txtPort;
  QLineEdit* txtImagePath;
  QPushButton* OKButton;
  QPushButton* CancelButton;
};

}  // namespace orvenda
