// Start-up: ov.cfg read and written in a folder of the test's own, the options
// dialog's results, and the whole start-up through the Interaction seam.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "host/dlgoptions.h"
#include "host/frmlogin.h"
#include "host/frmmain.h"
#include "host/module1.h"
#include "hostrig.h"
#include "support/fakes.h"

namespace orvenda {
namespace {

using testing::ReadFile;
using testing::ScriptedInteraction;
using testing::WriteFile;

struct Rig {
  QTemporaryDir dir;
  ScriptedInteraction ui;
  Module1 app{ui, dir.path(), QStringLiteral("/opt/orvenda")};
  QString cfg() const { return dir.filePath(QStringLiteral("ov.cfg")); }
};

TEST(Config, MissingOrShortFileGivesAllDefaults) {
  for (const char* text : {static_cast<const char*>(nullptr), "h\r\n1002\r\n", "", "h"}) {
    Rig rig;
    if (text != nullptr) WriteFile(rig.cfg(), text);
    rig.app.ServerHost = "stale";
    rig.app.ReadConfig();
    EXPECT_EQ(rig.app.ServerHost, "") << (text ? text : "(missing)");
    EXPECT_EQ(rig.app.ServerPort, "1001");
    EXPECT_EQ(rig.app.ImageFolder, QDir::toNativeSeparators("/opt/orvenda"));
    EXPECT_TRUE(rig.ui.shown.empty()) << "no message";
  }
}

TEST(Config, ReadsThreeLinesAndQuotedValues) {
  Rig rig;
  WriteFile(rig.cfg(), "maps.example\r\n1002\r\n\"C:\\Maps, 2026\"\r\n");
  rig.app.ReadConfig();
  EXPECT_EQ(rig.app.ServerHost, "maps.example");
  EXPECT_EQ(rig.app.ServerPort, "1002");
  EXPECT_EQ(rig.app.ImageFolder, "C:\\Maps, 2026");
}

TEST(Config, WriteReplacesTheFileAndReadsBackWhole) {
  Rig rig;
  WriteFile(rig.cfg(), "old\r\n1\r\n/old\r\nextra line\r\n");
  rig.app.ServerHost = "127.0.0.1";
  rig.app.ServerPort = "1001";
  rig.app.ImageFolder = "C:\\Maps, 2026";
  ASSERT_TRUE(rig.app.WriteConfig());
  EXPECT_EQ(ReadFile(rig.cfg()), "127.0.0.1\r\n1001\r\n\"C:\\Maps, 2026\"\r\n");
  rig.app.ImageFolder.clear();
  rig.app.ReadConfig();
  EXPECT_EQ(rig.app.ImageFolder, "C:\\Maps, 2026");
}

TEST(Config, UnwritableFolderIsReportedNotIgnored) {
  ScriptedInteraction ui;
  Module1 app(ui, QStringLiteral("/nonexistent/orvenda/folder"), QStringLiteral("/opt"));
  EXPECT_FALSE(app.WriteConfig());
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_NE(ui.shown[0].text.find("ov.cfg"), std::string::npos);
}

// Fills the options dialog with `host`, `port`, `folder` and presses `button`
// (null: the window is closed by its frame).
void AnswerOptions(ScriptedInteraction& ui, QString host, QString port, QString folder,
                   const char* button) {
  ui.onModal = [=](ModalForm& form) {
    auto* dialog = dynamic_cast<dlgOptions*>(&form);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Configuración de la Conexión");
    dialog->txtURL->setText(host);
    dialog->txtPort->setText(port);
    dialog->txtImagePath->setText(folder);
    if (button != nullptr) dialog->findChild<QPushButton*>(button)->click();
  };
}

TEST(Config, EditConnectionOptionsResults) {
  struct Row {
    const char* name;
    const char* host;
    const char* port;
    const char* folder;
    const char* button;
    int result;
    bool written;
  };
  const Row rows[] = {
      {"OK without changes", "h", "1001", "/img", "OKButton", 0, true},
      {"host only", "other", "1001", "/img", "OKButton", 2, true},
      {"port only", "h", "2002", "/img", "OKButton", 2, true},
      {"folder only", "h", "1001", "/new", "OKButton", 1, true},
      {"port and folder", "h", "2002", "/new", "OKButton", 1, true},
      {"Cancel after changes", "other", "2002", "/new", "CancelButton", 0, false},
      {"closed by the frame", "other", "2002", "/new", nullptr, 0, false},
  };
  for (const auto& row : rows) {
    Rig rig;
    rig.app.ServerHost = "h";
    rig.app.ServerPort = "1001";
    rig.app.ImageFolder = "/img";
    AnswerOptions(rig.ui, row.host, row.port, row.folder, row.button);
    EXPECT_EQ(rig.app.EditConnectionOptions(), row.result) << row.name;
    EXPECT_EQ(QFileInfo::exists(rig.cfg()), row.written) << row.name;
    if (row.written) {
      EXPECT_EQ(rig.app.ServerHost, row.host) << row.name;
      EXPECT_EQ(rig.app.ServerPort, row.port) << row.name;
      EXPECT_EQ(rig.app.ImageFolder, row.folder) << row.name;
      EXPECT_EQ(ReadFile(rig.cfg()),
                QString("%1\r\n%2\r\n%3\r\n").arg(row.host, row.port, row.folder));
    } else {
      EXPECT_EQ(rig.app.ServerHost, "h") << row.name;
    }
  }
}

TEST(Config, WindowSizeState) {
  QWidget window;
  EXPECT_EQ(Module1::WindowSizeState(&window), 0);
  window.showMaximized();
  EXPECT_EQ(Module1::WindowSizeState(&window), 1);
  window.showMinimized();
  EXPECT_EQ(Module1::WindowSizeState(&window), -1);
  window.showNormal();
  EXPECT_EQ(Module1::WindowSizeState(&window), 0);
}

TEST(StartUp, NoServerOpensOptionsBeforeLoginAndCaptionsTheMainWindow) {
  testing::LoginServer server;
  server.reply = testing::AcceptedReply(42, {{7, "Ciudad"}, {9, "Región Norte"}});
  Rig rig;  // no ov.cfg: no server host
  std::vector<std::string> forms;
  rig.ui.onModal = [&](ModalForm& form) {
    if (auto* options = dynamic_cast<dlgOptions*>(&form)) {
      forms.push_back("options");
      EXPECT_EQ(options->txtURL->text(), "");
      EXPECT_EQ(options->txtPort->text(), "1001");
      options->txtURL->setText("127.0.0.1");
      options->txtPort->setText(QString::number(server.port()));
      options->OKButton->click();
    } else if (auto* login = dynamic_cast<frmLogin*>(&form)) {
      forms.push_back("login");
      EXPECT_EQ(login->windowTitle(), "Login to 127.0.0.1");
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
  EXPECT_EQ(main->BaseCaption, "OrvendaDesk Ver: 1.0.0");
  EXPECT_EQ(rig.app.UserID, 42);
  EXPECT_EQ(rig.app.MapNames, (QStringList{"Ciudad", "Región Norte"}));
  EXPECT_EQ(rig.app.MapCodes, (QList<int>{7, 9}));
  EXPECT_TRUE(main->isVisible());
  EXPECT_FALSE(main->MenuItem("mnuNavigate")->isVisible()) << "no map open yet";
  ASSERT_EQ(server.logins.size(), 1u);
  EXPECT_EQ(server.logins[0].first, "Ana");
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
      if (!fatal) {
        login->cmdCancel->click();
        return;
      }
      login->cmdOK->click();
      EXPECT_TRUE(testing::WaitUntil([&] { return !login->Waiting(); }));
      EXPECT_TRUE(login->EndProgram);
    };
    EXPECT_EQ(rig.app.Main(), nullptr) << (fatal ? "fatal answer" : "cancel");
  }
}

}  // namespace
}  // namespace orvenda
