#pragma once
// dlgChangePassword: old password, new password and its retype. OK refuses a
// blank new password and a retype that differs; the old password is checked by
// the server, not here.

#include <QDialog>

#include "protocol/interaction.h"

class QLineEdit;
class QPushButton;

namespace orvenda {

class dlgChangePassword : public QDialog, public ModalForm {
  Q_OBJECT

 public:
  // Messages go to `ui`, which must outlive the dialog.
  explicit dlgChangePassword(Interaction& ui, QWidget* parent = nullptr);

  bool Cancelled = true;
  QLineEdit* txtOldPassword;
  QLineEdit* txtNewPassword;
  QLineEdit* txtRetypePassword;
  QPushButton* OKButton;
  QPushButton* CancelButton;

 private:
  void OnOK();
  Interaction& ui_;
};

}  // namespace orvenda
