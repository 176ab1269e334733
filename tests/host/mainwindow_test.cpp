// The main window: command enabling with no document and with one, opening
// maps, its toolbar pictures, help and options.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolBar>

#include "host/dlgoptions.h"
#include "host/frmdocument.h"
#include "host/frmmain.h"
#include "host/module1.h"
#include "loopback.h"
#include "support/fakes.h"
#include "viewer/viewer.h"

namespace orvenda {
namespace {

struct Rig {
  QTemporaryDir dir;
  testing::ScriptedInteraction ui;
  Module1 app{ui, dir.path(), QStringLiteral("/opt")};
  testing::LoginServer server;  // takes the viewers' connections, answers no map
  std::unique_ptr<frmMain> main;
  Rig() {
    app.ServerHost = "127.0.0.1";
    app.ServerPort = QString::number(server.port());
    app.UserName = "ana";
    app.UserID = 42;
    app.MapNames = {"Ciudad", "Región Norte"};
    app.MapCodes = {7, 9};
    main = std::make_unique<frmMain>(app);
    main->DisableMapCommands();
    main->show();
  }
  bool Shown(const char* name) const { return main->MenuItem(name)->isVisible(); }
  // The toolbar keys that are enabled now, in alphabetical order.
  QStringList EnabledButtons() const {
    QStringList keys;
    for (QAction* action : main->Toolbar1->actions()) {
      if (action->isSeparator() || action->objectName() == "tbsep3") continue;
      if (action->isEnabled() && action->isVisible()) keys << action->objectName();
    }
    keys.sort();
    return keys;
  }
};

TEST(MainWindow, ADocumentTurnsTheMapCommandsOnAndItsUnloadOff) {
  Rig rig;
  const QStringList general{"About", "MapList"};
  EXPECT_EQ(rig.EnabledButtons(), general);
  EXPECT_FALSE(rig.main->cbLayers->isEnabled());
  EXPECT_FALSE(rig.Shown("mnuNavigate"));
  EXPECT_FALSE(rig.main->MenuItem("mnuChangePassword")->isEnabled());

  frmDocument* document = rig.main->OpenMap(1);
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->windowTitle(), "Ciudad - Mapa");
  EXPECT_EQ(document->Viewer1->MapCode(), 7);
  EXPECT_EQ(document->Viewer1->port(), rig.server.port());
  EXPECT_EQ(document->Viewer1->IDUser(), 42);
  EXPECT_EQ(rig.EnabledButtons(),
            (QStringList{"About", "MapList", "MeasureDistance", "Pan", "Zoom In", "Zoom Out",
                         "Zoom Window", "ZoomExtents"}));
  EXPECT_TRUE(rig.main->cbLayers->isEnabled());
  EXPECT_TRUE(rig.Shown("mnuNavigate"));
  EXPECT_TRUE(rig.main->MenuItem("mnuChangePassword")->isEnabled());

  // Opening it again says so and makes no window.
  EXPECT_EQ(rig.main->OpenMap(1), nullptr);
  ASSERT_EQ(rig.ui.shown.size(), 1u);
  EXPECT_EQ(rig.ui.shown[0].text, "This map is already loaded");

  // Once the viewer has asked for its map, the document is closed and unloaded.
  EXPECT_TRUE(testing::WaitUntil([&] { return !rig.server.requestCodes.empty(); }));
  const QPointer<frmDocument> closing = document;
  rig.main->mdiArea->closeAllSubWindows();
  EXPECT_TRUE(testing::WaitUntil([&] { return closing.isNull(); }));
  EXPECT_EQ(rig.EnabledButtons(), general);
  EXPECT_FALSE(rig.Shown("mnuNavigate"));
}

// Text buttons did not fit the window: the last third of the toolbar was behind
// its overflow arrow.
TEST(MainWindow, EveryToolbarButtonHasAPictureOfItsOwn) {
  Rig rig;
  std::vector<std::pair<QString, QImage>> pictures;
  for (QAction* action : rig.main->Toolbar1->actions()) {
    if (action->isSeparator() || action->objectName() == "tbsep3") continue;
    const std::string key = action->objectName().toStdString();
    const QImage picture = action->icon().pixmap(24, 24).toImage();
    int inked = 0;
    for (int y = 0; y < picture.height(); ++y) {
      for (int x = 0; x < picture.width(); ++x) inked += qAlpha(picture.pixel(x, y)) > 0 ? 1 : 0;
    }
    EXPECT_GT(inked, 24) << key << " draws something";
    for (const auto& [other, earlier] : pictures) {
      EXPECT_NE(picture, earlier) << key << " looks like " << other.toStdString();
    }
    pictures.emplace_back(action->objectName(), picture);
  }
  EXPECT_EQ(pictures.size(), 20u);
}

TEST(MainWindow, OptionsGoToOpenMapsOrAskForARestart) {
  Rig rig;
  frmDocument* document = rig.main->OpenMap(1);
  ASSERT_NE(document, nullptr);
  for (const char* port : {"", "1"}) {
    rig.ui.onModal = [port](ModalForm& form) {
      auto* options = dynamic_cast<dlgOptions*>(&form);
      ASSERT_NE(options, nullptr);
      options->txtImagePath->setText("/nuevas");
      if (*port != '\0') options->txtPort->setText(port);
      options->OKButton->click();
    };
    rig.main->MenuItem("mnuOptions")->trigger();
  }
  EXPECT_EQ(document->Viewer1->ImagePath(), "/nuevas");
  ASSERT_EQ(rig.ui.shown.size(), 1u) << "a new image folder alone shows no message";
  EXPECT_EQ(rig.ui.shown[0].text, "You must restart the application");
  EXPECT_EQ(document->Viewer1->port(), rig.server.port()) << "open maps keep their server";
}

TEST(MainWindow, HelpPagesOpenUnderTheHelpAddress) {
  Rig rig;
  rig.main->HelpAddress = "http://help.example";
  rig.main->GeneralHelpAddress = "http://www.example";
  rig.main->MenuItem("mnuHelpGeneralDescription")->trigger();
  rig.main->MenuItem("mnuHelpNavigationTools")->trigger();
  rig.main->MenuItem("mnuHelpTechnicalInformaction")->trigger();
  EXPECT_EQ(rig.ui.opened, (std::vector<std::string>{"http://www.example/mapas/help.htm",
                                                     "http://help.example/ovhelp/navtools.htm",
                                                     "http://help.example/ovhelp/techinf.htm"}));
}

}  // namespace
}  // namespace orvenda
