// The password change of OrvendaDesk against the real map server program: the
// menu command's dialog, request 120 on the map's connection, the answer the
// user is shown, and the new password in force at the next login.
#ifdef ORVENDA_SERVER_PROGRAM

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "desksession.h"
#include "host/dlgchangepassword.h"
#include "host/frmlogin.h"
#include "host/frmmain.h"
#include "loopback.h"
#include "protocol/catalogue.h"
#include "wirechecks.h"

namespace orvenda {
namespace {

using testing::DeskSession;

TEST(DeskWithRealServer, ChangedPasswordHoldsAtTheNextLogin) {
  DeskSession desk;
  ASSERT_TRUE(desk.Start("ana", "secreta")) << desk.Why().toStdString();
  ASSERT_NE(desk.OpenFromMapList("Ciudad"), nullptr);
  ASSERT_TRUE(desk.After([] {})) << desk.Why().toStdString();
  frmMain& main = desk.main();
  auto& ui = desk.ui();
  QString oldPassword = "mala", newPassword, retyped, loginPassword;
  ui.onModal = [&](ModalForm& form) {
    if (auto* dialog = dynamic_cast<dlgChangePassword*>(&form)) {
      dialog->txtOldPassword->setText(oldPassword);
      dialog->txtNewPassword->setText(newPassword);
      dialog->txtRetypePassword->setText(retyped);
      dialog->OKButton->click();
    } else if (auto* login = dynamic_cast<frmLogin*>(&form)) {
      login->txtUserName->setText("ana");
      login->txtPassword->setText(loginPassword);
      login->cmdOK->click();
      // A refused login leaves the form open for another try: cancel it then.
      EXPECT_TRUE(testing::WaitUntil([&] { return !login->Waiting(); }, 10000));
      if (!login->Accepted) login->cmdCancel->click();
    }
  };
  ASSERT_TRUE(main.MenuItem("mnuChangePassword")->isEnabled());

  // A blank or mistyped new password never leaves the dialog; a wrong old one
  // is refused by the server. The user is told each time.
  for (const auto& [typed, again] :
       {std::pair<QString, QString>{"", ""}, {"nueva", "nuevo"}, {"nueva clave", "nueva clave"}}) {
    newPassword = typed;
    retyped = again;
    main.MenuItem("mnuChangePassword")->trigger();
  }
  ASSERT_TRUE(testing::WaitUntil([&] { return ui.shown.size() == 3; }, 10000));
  EXPECT_EQ(ui.shown[0].text, "Password can't be blank");
  EXPECT_EQ(ui.shown[1].text, "Please retype password.");
  EXPECT_EQ(ui.shown[2].text, "Wrong Password. Please try again");

  // The right one changes it.
  oldPassword = "secreta";
  main.MenuItem("mnuChangePassword")->trigger();
  ASSERT_TRUE(testing::WaitUntil([&] { return ui.shown.size() == 4; }, 10000));
  EXPECT_EQ(ui.shown[3].text, "Password succesfully changed");
  const std::vector<std::int16_t> codes = testing::Codes(desk.relay().requests(), 1);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), cmd::kChangePassword), 2)
      << "the two the dialog let through, both on the map's connection";

  // At the next login the old password is refused and the new one accepted.
  loginPassword = "secreta";
  EXPECT_FALSE(desk.app().LogIn(&main));
  ASSERT_EQ(ui.shown.size(), 5u);
  EXPECT_EQ(ui.shown[4].text, "Invalid Username or password. Please try again");
  loginPassword = "nueva clave";
  EXPECT_TRUE(desk.app().LogIn(&main));
  EXPECT_EQ(ui.shown.size(), 5u) << ui.shown.back().text;
}

}  // namespace
}  // namespace orvenda

#endif  // ORVENDA_SERVER_PROGRAM
