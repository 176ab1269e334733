// The login form against a scripted server on loopback: every outcome of the
// answer, the unreachable server, Set Up and Cancel.
#include "host/frmlogin.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "host/dlgoptions.h"
#include "host/module1.h"
#include "hostrig.h"
#include "support/fakes.h"

namespace orvenda {
namespace {

using testing::ScriptedInteraction;
using testing::WaitUntil;

struct Rig {
  QTemporaryDir dir;
  ScriptedInteraction ui;
  Module1 app{ui, dir.path(), QStringLiteral("/opt")};
  testing::LoginServer server;
  Rig() {
    app.ServerHost = "127.0.0.1";
    app.ServerPort = QString::number(server.port());
  }
  // Presses OK with this user and password and waits for the answer.
  void Press(frmLogin& form, const QString& user, const QString& password) {
    form.txtUserName->setText(user);
    form.txtPassword->setText(password);
    form.cmdOK->click();
    EXPECT_TRUE(WaitUntil([&] { return !form.Waiting(); }));
  }
};

TEST(LoginForm, LoadsWithTheSystemUserAndTheServerInItsCaption) {
  qputenv("USER", "operador");
  Rig rig;
  frmLogin form(rig.app, rig.ui);
  EXPECT_EQ(form.windowTitle(), "Login to 127.0.0.1");
  EXPECT_EQ(form.txtUserName->text(), "operador");
  EXPECT_EQ(form.txtUserName->selectedText(), "operador");
  EXPECT_TRUE(form.lblTask->isHidden());
  EXPECT_EQ(form.lblTask->text(), "Checking Information...");
  EXPECT_EQ(form.txtPassword->echoMode(), QLineEdit::Password);
}

TEST(LoginForm, AcceptedLoginHidesTheFormWithTheUsersMaps) {
  Rig rig;
  rig.server.reply = testing::AcceptedReply(42, {{7, "Ciudad"}, {9, "Región Norte"}});
  frmLogin form(rig.app, rig.ui);
  form.show();
  rig.Press(form, "ana", "s3creta");
  EXPECT_TRUE(form.Accepted);
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(rig.app.UserName, "ana");
  int user = 0;
  QStringList names;
  QList<int> codes;
  form.GetLoginData(user, names, codes);
  EXPECT_EQ(user, 42);
  EXPECT_EQ(names, (QStringList{"Ciudad", "Región Norte"}));
  EXPECT_EQ(codes, (QList<int>{7, 9}));
  ASSERT_EQ(rig.server.logins.size(), 1u);
  EXPECT_EQ(rig.server.logins[0], (std::pair<std::string, std::string>{"ana", "s3creta"}));
  EXPECT_TRUE(rig.ui.shown.empty());
}

TEST(LoginForm, RefusedLoginsStayOpenForAnotherTry) {
  // -1 is the control's "unexpected answer"; 0 and -5 are refusals of the
  // server. None of them may log in.
  for (const std::int32_t code : {-1, 0, -5}) {
    Rig rig;
    rig.server.reply = testing::RefusedReply(code);
    frmLogin form(rig.app, rig.ui);
    form.show();
    rig.Press(form, "ana", "mala");
    EXPECT_FALSE(form.Accepted) << code;
    EXPECT_TRUE(form.isVisible()) << code;
    ASSERT_EQ(rig.ui.shown.size(), 1u) << code;
    EXPECT_EQ(rig.ui.shown[0].text, "Invalid Username or password. Please try again");
    EXPECT_EQ(rig.ui.shown[0].title, "OrvendaDesk");
    EXPECT_EQ(rig.ui.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(form.txtPassword->text(), "") << code;
    EXPECT_EQ(form.txtUserName->text(), "ana") << code;
    EXPECT_TRUE(form.lblTask->isHidden()) << code;
    EXPECT_TRUE(form.cmdOK->isEnabled()) << code;
    EXPECT_TRUE(form.cmdSetUp->isEnabled()) << code;
  }
}

TEST(LoginForm, FatalAnswerEndsTheProgram) {
  Rig rig;
  rig.server.reply = testing::TooOldReply();
  frmLogin form(rig.app, rig.ui);
  form.show();
  rig.Press(form, "ana", "x");
  EXPECT_FALSE(form.Accepted);
  EXPECT_TRUE(form.EndProgram);
  EXPECT_FALSE(form.isVisible());
  ASSERT_EQ(rig.ui.shown.size(), 1u) << "the control's own message only";
  EXPECT_EQ(rig.ui.shown[0].text, "Imprescindible Instalar nueva version");
}

TEST(LoginForm, UnreachableServerReturnsTheFormToIdle) {
  Rig rig;
  rig.app.ServerPort = QString::number(testing::ClosedPort());
  frmLogin form(rig.app, rig.ui);
  form.show();
  rig.Press(form, "ana", "x");
  EXPECT_FALSE(form.Accepted);
  EXPECT_TRUE(form.isVisible());
  EXPECT_TRUE(form.cmdOK->isEnabled());
  EXPECT_TRUE(form.cmdSetUp->isEnabled());
  EXPECT_TRUE(form.lblTask->isHidden());
  ASSERT_EQ(rig.ui.shown.size(), 1u);
  EXPECT_NE(rig.ui.shown[0].text.find("Unable to connect"), std::string::npos);
}

TEST(LoginForm, WaitingThenCancel) {
  Rig rig;
  rig.server.reply = QByteArray();  // never answers
  frmLogin form(rig.app, rig.ui);
  form.show();
  form.txtUserName->setText("ana");
  form.cmdOK->click();
  EXPECT_TRUE(form.Waiting());
  EXPECT_FALSE(form.lblTask->isHidden());
  EXPECT_FALSE(form.cmdOK->isEnabled());
  EXPECT_FALSE(form.cmdSetUp->isEnabled());
  form.cmdCancel->click();
  EXPECT_FALSE(form.Accepted);
  EXPECT_FALSE(form.isVisible());
}

TEST(LoginForm, SetUpShowsTheNewServerAtOnce) {
  Rig rig;
  frmLogin form(rig.app, rig.ui);
  rig.ui.onModal = [](ModalForm& modal) {
    auto* options = dynamic_cast<dlgOptions*>(&modal);
    ASSERT_NE(options, nullptr);
    options->txtURL->setText("maps.example");
    options->OKButton->click();
  };
  form.cmdSetUp->click();
  EXPECT_EQ(form.windowTitle(), "Login to maps.example");
  EXPECT_EQ(rig.app.ServerHost, "maps.example");
}

}  // namespace
}  // namespace orvenda
