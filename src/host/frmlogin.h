#pragma once
// frmLogin: user name and password, checked by the login control against the
// server. The form moves from Idle to Waiting on OK and back to Idle on a refused
// login; an accepted login sets Accepted and hides the form, a fatal answer (-2)
// sets EndProgram and hides it, Cancel hides it with Accepted false.

#include <QDialog>
#include <QList>
#include <QStringList>

#include "protocol/interaction.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace orvenda {

class Module1;
class login;

class frmLogin : public QDialog, public ModalForm {
  Q_OBJECT

 public:
  // Reads and updates the program-wide values of `app`; messages go to `ui`.
  frmLogin(Module1& app, Interaction& ui, QWidget* parent = nullptr);
  ~frmLogin() override;

  bool Accepted = false;
  // The server's answer was fatal (the library is too old): the program ends.
  bool EndProgram = false;

  // What the last LoginResponse carried.
  void GetLoginData(int& LIDUser, QStringList& sMapNames, QList<int>& lMapCodes) const;

  // Waiting for the server's answer.
  bool Waiting() const { return waiting_; }

  QLineEdit* txtUserName;
  QLineEdit* txtPassword;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;
  QPushButton* cmdSetUp;
  QLabel* lblTask;
  login* login1;

 public slots:
  void OnLoginResponse(int LIDUser, int iCantMapas, QStringList sMapNames, QList<int> lMapCodes);

 private:
  void OnOK();
  void OnSetUp();
  void ShowServerCaption();
  void BackToIdle();

  Module1& app_;
  Interaction& ui_;
  bool waiting_ = false;
  int userId_ = 0;
  QStringList mapNames_;
  QList<int> mapCodes_;
};

// The name of the user logged on to the operating system; empty when unknown.
QString OperatingSystemUserName();

}  // namespace orvenda
