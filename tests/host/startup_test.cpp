// Start-up through the Interaction seam against a scripted login server: the
// options dialog when ov.cfg names no server, the login form, and the end of
// the program when the login is cancelled or fatally refused.
#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "host/dlgoptions.h"
#include "host/frmlogin.h"
#include "host/frmmain.h"
#include "host/module1.h"
#include "loopback.h"
#include "support/fakes.h"

namespace orvenda {
namespace {

TEST(StartUp, OptionsWithoutAServerThenTheLoginThenTheMainWindowOrTheEnd) {
  for (const std::string how : {"accept", "cancel", "fatal"}) {
    testing::LoginServer server;
    server.reply = how == "accept"
                       ? testing::AcceptedReply(42, {{7, "Ciudad"}, {9, "Región Norte"}})
                       : testing::TooOldReply();
    QTemporaryDir dir;  // no ov.cfg: no server host
    testing::ScriptedInteraction ui;
    Module1 app{ui, dir.path(), QStringLiteral("/opt/orvenda")};
    std::vector<std::string> forms;
    ui.onModal = [&](ModalForm& form) {
      if (auto* options = dynamic_cast<dlgOptions*>(&form)) {
        forms.push_back("options");
        EXPECT_EQ(options->txtPort->text(), "1001");
        options->txtURL->setText("127.0.0.1");
        options->txtPort->setText(QString::number(server.port()));
        options->OKButton->click();
      } else if (auto* login = dynamic_cast<frmLogin*>(&form)) {
        forms.push_back("login");
        login->txtUserName->setText("Ana");
        login->txtPassword->setText("pw");
        (how == "cancel" ? login->cmdCancel : login->cmdOK)->click();
        EXPECT_TRUE(testing::WaitUntil([&] { return !login->Waiting(); }));
      }
    };
    const auto main = app.Main();
    EXPECT_EQ(forms, (std::vector<std::string>{"options", "login"})) << how;
    EXPECT_EQ(ui.shown.size(), how == "fatal" ? 1u : 0u)
        << how << ": the control's own message only";
    if (how != "accept") {
      EXPECT_EQ(main, nullptr) << how;
      continue;
    }
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->windowTitle(),
              QString("Ana@127.0.0.1:%1 - OrvendaDesk Ver: 1.0.0").arg(server.port()));
    EXPECT_EQ(app.UserID, 42);
    EXPECT_EQ(app.MapNames, (QStringList{"Ciudad", "Región Norte"}));
    EXPECT_EQ(app.MapCodes, (QList<int>{7, 9}));
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(server.logins, (std::vector<std::pair<std::string, std::string>>{{"Ana", "pw"}}));
    // The next start offers the same user name and puts the window where it was left.
    main->setGeometry(40, 50, 700, 500);
    main->close();
    QFile settings(app.SettingsPath());
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_FALSE(settings.readAll().contains("pw")) << "no password is kept";
    QString offered;
    ui.onModal = [&](ModalForm& form) {
      auto& login = dynamic_cast<frmLogin&>(form);
      offered = login.txtUserName->text();
      login.cmdOK->click();
      EXPECT_TRUE(testing::WaitUntil([&] { return !login.Waiting(); }));
    };
    const auto again = Module1{ui, dir.path(), QStringLiteral("/opt/orvenda")}.Main();
    EXPECT_EQ(offered, "Ana");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->geometry(), QRect(40, 50, 700, 500));
  }
}

TEST(StartUp, AnUnwritableConfigFolderIsReported) {
  testing::ScriptedInteraction ui;
  Module1 app(ui, QStringLiteral("/nonexistent/orvenda/folder"), QStringLiteral("/opt"));
  EXPECT_FALSE(app.WriteConfig());
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_NE(ui.shown[0].text.find("ov.cfg"), std::string::npos);
}

// A minimized window may remember that it was maximized; it counts as minimized.
TEST(StartUp, WindowSizeStateOfAMinimizedMaximizedWindow) {
  QWidget window;
  EXPECT_EQ(Module1::WindowSizeState(&window), 0);
  window.showMaximized();
  EXPECT_EQ(Module1::WindowSizeState(&window), 1);
  window.showMinimized();
  EXPECT_EQ(Module1::WindowSizeState(&window), -1);
}

}  // namespace
}  // namespace orvenda
