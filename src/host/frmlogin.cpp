#include "host/frmlogin.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtGlobal>

#include "host/apptitle.h"
#include "host/configfile.h"
#include "host/module1.h"
#include "protocol/loginexchange.h"
#include "viewer/login.h"

namespace orvenda {

QString OperatingSystemUserName() {
  for (const char* variable : {"USER", "LOGNAME", "USERNAME"}) {
    const QString name = qEnvironmentVariable(variable);
    if (!name.isEmpty()) return name.left(255);
  }
  return {};
}

frmLogin::frmLogin(Module1& app, Interaction& ui, QWidget* parent)
    : QDialog(parent),
      txtUserName(new QLineEdit(this)),
      txtPassword(new QLineEdit(this)),
      cmdOK(new QPushButton(QStringLiteral("OK"), this)),
      cmdCancel(new QPushButton(QStringLiteral("Cancel"), this)),
      cmdSetUp(new QPushButton(QStringLiteral("Set Up"), this)),
      lblTask(new QLabel(QStringLiteral("Checking Information..."), this)),
      login1(new login(ui, this)),
      app_(app),
      ui_(ui) {
  setObjectName(QStringLiteral("frmLogin"));
  txtUserName->setObjectName(QStringLiteral("txtUserName"));
  txtPassword->setObjectName(QStringLiteral("txtPassword"));
  txtPassword->setEchoMode(QLineEdit::Password);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
  cmdSetUp->setObjectName(QStringLiteral("cmdSetUp"));
  lblTask->setObjectName(QStringLiteral("lblTask"));
  login1->setObjectName(QStringLiteral("login1"));
  cmdOK->setDefault(true);

  auto* form = new QFormLayout;
  auto* userLabel = new QLabel(QStringLiteral("&Usuario:"), this);
  userLabel->setBuddy(txtUserName);
  auto* passwordLabel = new QLabel(QStringLiteral("&Contraseña:"), this);
  passwordLabel->setBuddy(txtPassword);
  form->addRow(userLabel, txtUserName);
  form->addRow(passwordLabel, txtPassword);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdSetUp);
  buttons->addStretch();
  buttons->addWidget(cmdOK);
  buttons->addWidget(cmdCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(lblTask);
  layout->addLayout(buttons);

  connect(cmdOK, &QPushButton::clicked, this, &frmLogin::OnOK);
  connect(cmdSetUp, &QPushButton::clicked, this, &frmLogin::OnSetUp);
  connect(cmdCancel, &QPushButton::clicked, this, [this] {
    // An answer that comes after Cancel is not taken.
    waiting_ = false;
    Accepted = false;
    hide();
  });
  connect(login1, &login::LoginResponse, this, &frmLogin::OnLoginResponse);

  // Load.
  lblTask->hide();
  const QString remembered = app_.RememberedUserName();
  txtUserName->setText(remembered.isEmpty() ? OperatingSystemUserName() : remembered);
  txtUserName->selectAll();
  ShowServerCaption();
}

frmLogin::~frmLogin() = default;

void frmLogin::ShowServerCaption() {
  setWindowTitle(QStringLiteral("Login to ") + app_.ServerHost);
}

void frmLogin::BackToIdle() {
  waiting_ = false;
  lblTask->hide();
  cmdOK->setEnabled(true);
  // Open again, so that a wrong server can be mended without starting over.
  cmdSetUp->setEnabled(true);
}

void frmLogin::OnSetUp() {
  app_.EditConnectionOptions();
  ShowServerCaption();
}

void frmLogin::OnOK() {
  cmdOK->setFocus();
  lblTask->show();
  cmdOK->setEnabled(false);
  cmdSetUp->setEnabled(false);
  waiting_ = true;
  app_.UserName = txtUserName->text();
  const bool sent = login1->Checklogin(app_.ServerHost, PortNumber(app_.ServerPort.toStdString()),
                                       txtUserName->text(), txtPassword->text());
  // Unreachable server: the control has said so and no answer will come.
  if (!sent) BackToIdle();
}

void frmLogin::OnLoginResponse(int LIDUser, int /*iCantMapas*/, QStringList sMapNames,
                               QList<int> lMapCodes) {
  userId_ = LIDUser;
  mapNames_ = sMapNames;
  mapCodes_ = lMapCodes;
  if (!waiting_) return;
  if (LIDUser == kLoginLibraryTooOld) {
    waiting_ = false;
    Accepted = false;
    EndProgram = true;
    hide();
    return;
  }
  // Every answer below 1 is a refusal (the server's codes and -1 alike); only a
  // real user identifier logs in.
  if (LIDUser < 1) {
    ui_.MessageBox("Invalid Username or password. Please try again", kApplicationTitle,
                   MessageIcon::Critical, MessageButtons::Ok);
    txtPassword->clear();
    BackToIdle();
    txtUserName->setFocus();
    return;
  }
  waiting_ = false;
  Accepted = true;
  hide();
}

void frmLogin::GetLoginData(int& LIDUser, QStringList& sMapNames, QList<int>& lMapCodes) const {
  LIDUser = userId_;
  sMapNames = mapNames_;
  lMapCodes = mapCodes_;
}

}  // namespace orvenda
