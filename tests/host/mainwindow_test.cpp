// The main window: command enabling with no document, with one and for a guest;
// opening maps; the layer combo; help; options; exit.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>

#include "host/dlgmaplist.h"
#include "host/dlgoptions.h"
#include "host/frmdocument.h"
#include "host/frmmain.h"
#include "host/module1.h"
#include "hostrig.h"
#include "model/layers.h"
#include "support/fakes.h"
#include "viewer/viewer.h"

namespace orvenda {
namespace {

using testing::ScriptedInteraction;

struct Rig {
  QTemporaryDir dir;
  ScriptedInteraction ui;
  Module1 app{ui, dir.path(), QStringLiteral("/opt")};
  testing::LoginServer server;  // takes the viewers' connections, answers no map
  std::unique_ptr<frmMain> main;
  explicit Rig(const QString& user = "ana") {
    app.ServerHost = "127.0.0.1";
    app.ServerPort = QString::number(server.port());
    app.UserName = user;
    app.UserID = 42;
    app.MapNames = {"Ciudad", "Región Norte"};
    app.MapCodes = {7, 9};
    main = std::make_unique<frmMain>(app);
    main->DisableMapCommands();
    main->show();
  }
  bool Enabled(const char* key) const { return main->ToolbarButton(key)->isEnabled(); }
  bool Shown(const char* name) const { return main->MenuItem(name)->isVisible(); }
  bool On(const char* name) const { return main->MenuItem(name)->isEnabled(); }
};

// The toolbar keys that are enabled now.
QStringList EnabledButtons(const frmMain& main) {
  QStringList keys;
  for (QAction* action : main.Toolbar1->actions()) {
    if (action->isSeparator() || action->objectName() == "tbsep3") continue;
    if (action->isEnabled() && action->isVisible()) keys << action->objectName();
  }
  return keys;
}

TEST(MainWindow, NoDocumentLeavesOnlyTheMapListAndTheGeneralCommands) {
  Rig rig;
  EXPECT_EQ(EnabledButtons(*rig.main), (QStringList{"MapList", "About"}));
  EXPECT_FALSE(rig.main->ToolbarButton("login")->isVisible());
  EXPECT_FALSE(rig.main->cbLayers->isEnabled());
  EXPECT_EQ(rig.main->cbLayers->count(), 0);
  for (const char* hidden :
       {"mnuSaveMap", "mnuSaveAs", "mnuNavigate", "mnuElement", "mnuFormat", "mnuMeasureDistance",
        "mnuSnapShot", "mnusep3", "mnuFind", "mnuFindByCondition", "mnuMultipleSelect"}) {
    EXPECT_FALSE(rig.Shown(hidden)) << hidden;
  }
  for (const char* shown : {"mnuListaMapas", "mnuChangePassword", "mnuExit", "mnuOptions",
                            "mnuViewToolbar", "mnuViewStatusBar", "mnuTransportation", "mnuWindow",
                            "mnuHelp", "mnuHelpGeneralDescription", "mnuHelpAbout"}) {
    EXPECT_TRUE(rig.Shown(shown)) << shown;
  }
  EXPECT_FALSE(rig.On("mnuChangePassword"));
  EXPECT_FALSE(rig.Shown("mnuHelpMenuIcons"));
  EXPECT_FALSE(rig.Shown("mnuHelpContents"));
  EXPECT_TRUE(rig.main->MenuItem("mnuViewToolbar")->isChecked());
  EXPECT_EQ(rig.main->MenuItem("mnuAddElement")->text(), "Nuevo  Elemento");
  EXPECT_EQ(rig.main->ToolbarButton("Draw")->toolTip(), "Dibujar Elemento Nuevo");
  // The combo sits in button 15.
  EXPECT_EQ(rig.main->Toolbar1->actions().indexOf(rig.main->ToolbarButton("tbsep3")), 14);
}

TEST(MainWindow, EveryToolbarButtonHasAPictureOfItsOwn) {
  Rig rig;
  std::vector<std::pair<QString, QImage>> pictures;
  for (QAction* action : rig.main->Toolbar1->actions()) {
    if (action->isSeparator() || action->objectName() == "tbsep3") continue;
    const std::string key = action->objectName().toStdString();
    const QImage picture = action->icon().pixmap(24, 24).toImage();
    ASSERT_FALSE(picture.isNull()) << key;
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

TEST(MainWindow, ADocumentTurnsTheMapCommandsOnAndItsUnloadOff) {
  Rig rig;
  frmDocument* document = rig.main->OpenMap(1);
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->windowTitle(), "Ciudad - Mapa");
  EXPECT_EQ(document->Viewer1->MapCode(), 7);
  EXPECT_EQ(document->Viewer1->URL(), "127.0.0.1");
  EXPECT_EQ(document->Viewer1->port(), rig.server.port());
  EXPECT_EQ(document->Viewer1->IDUser(), 42);
  EXPECT_EQ(document->Viewer1->ImagePath(), rig.app.ImageFolder);
  EXPECT_EQ(rig.main->ActiveDocument(), document);
  EXPECT_TRUE(rig.main->cbLayers->isEnabled());
  for (const char* key : {"Zoom In", "Zoom Window", "Zoom Out", "ZoomExtents", "Pan",
                          "MeasureDistance", "MapList", "About"}) {
    EXPECT_TRUE(rig.Enabled(key)) << key;
  }
  for (const auto& unwired : frmMain::UnwiredCommands()) {
    if (QAction* button = rig.main->ToolbarButton(unwired)) {
      EXPECT_FALSE(button->isEnabled()) << unwired.toStdString() << " has no viewer work yet";
    }
  }
  for (const char* shown : {"mnuSaveMap", "mnuNavigate", "mnuElement", "mnuFormat", "mnusep3",
                            "mnuFind", "mnuMeasureDistance"}) {
    EXPECT_TRUE(rig.Shown(shown)) << shown;
  }
  EXPECT_TRUE(rig.On("mnuChangePassword"));
  EXPECT_TRUE(rig.On("mnuZoomIn"));

  // Waits for the viewer to ask for its map, then closes the document.
  EXPECT_TRUE(testing::WaitUntil([&] { return !rig.server.requestCodes.empty(); }));
  rig.main->mdiArea->closeAllSubWindows();
  testing::RunEventsFor(20);
  EXPECT_EQ(rig.main->Documents().size(), 0);
  EXPECT_EQ(EnabledButtons(*rig.main), (QStringList{"MapList", "About"}));
  EXPECT_FALSE(rig.Shown("mnuNavigate"));
  EXPECT_EQ(rig.main->StatusPanel1->text(), "");
}

TEST(MainWindow, GuestNeverGetsPasswordOrSaving) {
  for (const char* guest : {"invitado", "GUEST", "Anonimo"}) {
    Rig rig(guest);
    ASSERT_NE(rig.main->OpenMap(2), nullptr);
    EXPECT_FALSE(rig.On("mnuChangePassword")) << guest;
    EXPECT_FALSE(rig.On("mnuSaveMap")) << guest;
    EXPECT_FALSE(rig.On("mnuSaveAs")) << guest;
    EXPECT_FALSE(rig.Enabled("SaveMap")) << guest;
    EXPECT_TRUE(rig.Enabled("Pan")) << guest;
  }
}

TEST(MainWindow, OpeningAnOpenMapSaysSoAndMakesNoWindow) {
  Rig rig;
  ASSERT_NE(rig.main->OpenMap(1), nullptr);
  ASSERT_NE(rig.main->OpenMap(2), nullptr);
  EXPECT_EQ(rig.main->OpenMap(1), nullptr);
  EXPECT_EQ(rig.main->Documents().size(), 2);
  ASSERT_EQ(rig.ui.shown.size(), 1u);
  EXPECT_EQ(rig.ui.shown[0].text, "This map is already loaded");
  EXPECT_EQ(rig.ui.shown[0].title, "OrvendaDesk");
  EXPECT_EQ(rig.ui.shown[0].icon, MessageIcon::None);
}

TEST(MainWindow, MapListCommandOpensTheChosenMap) {
  Rig rig;
  rig.ui.onModal = [](ModalForm& form) {
    auto* list = dynamic_cast<dlgMapList*>(&form);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->lstMapList->count(), 2);
    EXPECT_EQ(list->lstMapList->item(1)->text(), "Región Norte");
    list->lstMapList->setCurrentRow(1);
    list->OKButton->click();
  };
  rig.main->ToolbarButton("MapList")->trigger();
  ASSERT_EQ(rig.main->Documents().size(), 1);
  EXPECT_EQ(rig.main->Documents()[0]->Viewer1->MapCode(), 9);
}

TEST(MainWindow, OptionsResults) {
  Rig rig;
  frmDocument* document = rig.main->OpenMap(1);
  ASSERT_NE(document, nullptr);
  rig.ui.onModal = [](ModalForm& form) {
    auto* options = dynamic_cast<dlgOptions*>(&form);
    ASSERT_NE(options, nullptr);
    options->txtImagePath->setText("/nuevas");
    options->OKButton->click();
  };
  rig.main->MenuItem("mnuOptions")->trigger();
  EXPECT_EQ(document->Viewer1->ImagePath(), "/nuevas");
  EXPECT_TRUE(rig.ui.shown.empty()) << "a new image folder shows no message";

  rig.ui.onModal = [](ModalForm& form) {
    auto* options = dynamic_cast<dlgOptions*>(&form);
    ASSERT_NE(options, nullptr);
    options->txtPort->setText("1");
    options->OKButton->click();
  };
  rig.main->MenuItem("mnuOptions")->trigger();
  ASSERT_EQ(rig.ui.shown.size(), 1u);
  EXPECT_EQ(rig.ui.shown[0].text, "You must restart the application");
  EXPECT_EQ(rig.ui.shown[0].title, "Orvenda");
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
  rig.main->MenuItem("mnuHelpContents")->trigger();
  ASSERT_EQ(rig.ui.shown.size(), 1u);
  EXPECT_EQ(rig.ui.shown[0].text,
            "No se puede mostrar el contenido de la Ayuda. No hay Ayuda asociada a este "
            "proyecto.");
  EXPECT_EQ(rig.ui.shown[0].title, rig.main->windowTitle().toStdString());
}

TEST(MainWindow, ViewTogglesAndExit) {
  Rig rig;
  rig.main->MenuItem("mnuViewToolbar")->trigger();
  EXPECT_FALSE(rig.main->MenuItem("mnuViewToolbar")->isChecked());
  EXPECT_FALSE(rig.main->Toolbar1->isVisible());
  rig.main->MenuItem("mnuViewStatusBar")->trigger();
  EXPECT_FALSE(rig.main->statusBar()->isVisible());
  rig.main->MenuItem("mnuViewStatusBar")->trigger();
  EXPECT_TRUE(rig.main->statusBar()->isVisible());

  ASSERT_NE(rig.main->OpenMap(1), nullptr);
  ASSERT_NE(rig.main->OpenMap(2), nullptr);
  rig.main->MenuItem("mnuExit")->trigger();
  EXPECT_FALSE(rig.main->isVisible());
  EXPECT_EQ(rig.main->Documents().size(), 0);
  EXPECT_TRUE(rig.app.MapNames.isEmpty());
  EXPECT_TRUE(rig.app.MapCodes.isEmpty());
}

}  // namespace
}  // namespace orvenda
