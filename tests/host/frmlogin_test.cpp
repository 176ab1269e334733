// The login form against a scripted server on loopback: refusals and an
// unreachable server leave it open for another try, Cancel while waiting, and
// Set Up.
#include "host/frmlogin.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "host/dlgoptions.h"
#include "host/module1.h"
#include "loopback.h"
#include "support/fakes.h"

namespace orvenda {
namespace {

struct Rig {
  QTemporaryDir dir;
  testing::ScriptedInteraction ui;
  Module1 app{ui, dir.path(), QStringLiteral("/opt")};
  testing::LoginServer server;
  std::unique_ptr<frmLogin> login;
  frmLogin& form;
  explicit Rig(bool reachable = true) : form(Make(reachable)) {}
  frmLogin& Make(bool reachable) {
    app.ServerHost = "127.0.0.1";
    app.ServerPort = QString::number(reachable ? server.port() : testing::ClosedPort());
    login = std::make_unique<frmLogin>(app, ui);
    login->show();
    return *login;
  }
};

TEST(LoginForm, RefusedOrUnansweredLoginsStayOpenForAnotherTry) {
  // -1 is the control's "unexpected answer"; 0 is a refusal of the server.
  for (const std::int32_t code : {-1, 0, 1}) {
    Rig rig(code != 1);
    rig.server.reply = testing::RefusedReply(code);
    rig.form.txtUserName->setText("ana");
    rig.form.txtPassword->setText("mala");
    rig.form.cmdOK->click();
    EXPECT_TRUE(testing::WaitUntil([&] { return !rig.form.Waiting(); }));
    EXPECT_FALSE(rig.form.Accepted) << code;
    EXPECT_TRUE(rig.form.isVisible()) << code;
    ASSERT_EQ(rig.ui.shown.size(), 1u) << code;
    if (code == 1) {
      EXPECT_NE(rig.ui.shown[0].text.find("Unable to connect"), std::string::npos);
    } else {
      EXPECT_EQ(rig.ui.shown[0].text, "Invalid Username or password. Please try again");
      EXPECT_EQ(rig.form.txtPassword->text(), "") << code;
    }
    EXPECT_EQ(rig.form.txtUserName->text(), "ana") << code;
    EXPECT_TRUE(rig.form.lblTask->isHidden()) << code;
    EXPECT_TRUE(rig.form.cmdOK->isEnabled()) << code;
    EXPECT_TRUE(rig.form.cmdSetUp->isEnabled()) << code;
  }
}

TEST(LoginForm, CancelWhileWaitingClosesTheForm) {
  Rig rig;  // the server never answers: no reply
  rig.form.cmdOK->click();
  EXPECT_TRUE(rig.form.Waiting());
  EXPECT_FALSE(rig.form.lblTask->isHidden());
  EXPECT_FALSE(rig.form.cmdOK->isEnabled());
  rig.form.cmdCancel->click();
  EXPECT_FALSE(rig.form.Accepted);
  EXPECT_FALSE(rig.form.isVisible());
}

TEST(LoginForm, SetUpShowsTheNewServerAtOnce) {
  Rig rig;
  EXPECT_EQ(rig.form.windowTitle(), "Login to 127.0.0.1");
  rig.ui.onModal = [](ModalForm& modal) {
    auto* options = dynamic_cast<dlgOptions*>(&modal);
    ASSERT_NE(options, nullptr);
    options->txtURL->setText("maps.example");
    options->OKButton->click();
  };
  rig.form.cmdSetUp->click();
  EXPECT_EQ(rig.form.windowTitle(), "Login to maps.example");
  EXPECT_EQ(rig.app.ServerHost, "maps.example");
}

}  // namespace
}  // namespace orvenda
