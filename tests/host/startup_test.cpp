// Start-up: ov.cfg in a folder of the test's own, the options dialog, and the
// whole start-up through the Interaction seam against a scripted login server.
#include <gtest/gtest.h>

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

using testing::WriteFile;

struct Rig {
  QTemporaryDir dir;
  testing::ScriptedInteraction ui;
  Module1 app{ui, dir.path(), QStringLiteral("/opt/orvenda")};
  QString cfg() const { return dir.filePath(QStringLiteral("ov.cfg")); }
};

TEST(Config, AnUnwritableFolderIsReported) {
  testing::ScriptedInteraction ui;
  Module1 app(ui, QStringLiteral("/nonexistent/orvenda/folder"), QStringLiteral("/opt"));
  EXPECT_FALSE(app.WriteConfig());
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_NE(ui.shown[0].text.find("ov.cfg"), std::string::npos);
}

// A minimized window may remember that it was maximized; it counts as minimized.
TEST(Config, WindowSizeState) {
  QWidget window;
  EXPECT_EQ(Module1::WindowSizeState(&window), 0);
  window.showMaximized();
  EXPECT_EQ(Module1::WindowSizeState(&window), 1);
  window.showMinimized();
  EXPECT_EQ(Module1::WindowSizeState(&window), -1);
}

TEST(StartUp, NoServerOpensOptionsBeforeLoginAndCaptionsTheMainWindow) {
  testing::LoginServer server;
  server.reply = testing::AcceptedReply(42, {{7, "Ciudad"}, {9, "Región Norte"}});
  Rig rig;  // no ov.cfg: no server host
  std::vector<std::string> forms;
  rig.ui.onModal = [&](ModalForm& form) {
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
      login->cmdOK->click();
      EXPECT_TRUE(testing::WaitUntil([&] { return !login->Waiting(); }));
    }
  };
  const auto main = rig.app.Main();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(forms, (std::vector<std::string>{"options", "login"}));
  EXPECT_EQ(main->windowTitle(),
            QString("Ana@127.0.0.1:%1 - OrvendaDesk Ver: 1.0.0").arg(server.port()));
  EXPECT_EQ(rig.app.UserID, 42);
  EXPECT_EQ(rig.app.MapNames, (QStringList{"Ciudad", "Región Norte"}));
  EXPECT_EQ(rig.app.MapCodes, (QList<int>{7, 9}));
  EXPECT_TRUE(main->isVisible());
  EXPECT_EQ(server.logins, (std::vector<std::pair<std::string, std::string>>{{"Ana", "pw"}}));
}

TEST(StartUp, CancelledOrFatalLoginEndsTheProgram) {
  for (const bool fatal : {false, true}) {
    testing::LoginServer server;
    server.reply = testing::TooOldReply();
    Rig rig;
    WriteFile(rig.cfg(), QString("127.0.0.1\r\n%1\r\n/img\r\n").arg(server.port()).toUtf8());
    rig.ui.onModal = [&](ModalForm& form) {
      auto* login = dynamic_cast<frmLogin*>(&form);
      ASSERT_NE(login, nullptr) << "the server is configured: no options dialog";
      (fatal ? login->cmdOK : login->cmdCancel)->click();
      EXPECT_TRUE(testing::WaitUntil([&] { return !login->Waiting(); }));
    };
    EXPECT_EQ(rig.app.Main(), nullptr) << (fatal ? "fatal answer" : "cancel");
    EXPECT_EQ(rig.ui.shown.size(), fatal ? 1u : 0u) << "the control's own message only";
  }
}

}  // namespace
}  // namespace orvenda
