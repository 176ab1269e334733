// The main window and its documents: command enabling, the layer combo each
// document fills, closing one of two documents, and the toolbar pictures.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QIcon>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QTemporaryDir>
#include <QToolBar>

#include "host/frmdocument.h"
#include "host/frmmain.h"
#include "host/module1.h"
#include "loopback.h"
#include "model/layers.h"
#include "support/fakes.h"
#include "viewer/qttooltip.h"
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
    app.MapNames = {"Ciudad", "Región Norte"};
    app.MapCodes = {7, 9};
    main = std::make_unique<frmMain>(app);
    main->DisableMapCommands();
    main->show();
  }
  QStringList ComboItems() const {
    QStringList items;
    for (int i = 0; i < main->cbLayers->count(); ++i) items << main->cbLayers->itemText(i);
    return items;
  }
  // The toolbar keys that are enabled now, in alphabetical order, and whether
  // the Navigate menu shows.
  QStringList Enabled() const {
    QStringList keys;
    for (QAction* action : main->Toolbar1->actions()) {
      if (action->isEnabled() && action->isVisible() && !action->isSeparator() &&
          action->objectName() != "tbsep3") {
        keys << action->objectName();
      }
    }
    keys.sort();
    if (main->MenuItem("mnuNavigate")->isVisible()) keys << "mnuNavigate";
    return keys;
  }
};

// Gives the document's viewer these layers (name, id, type, visible) and raises
// the redraw event.
void Redrawn(frmDocument& document,
             const std::vector<std::tuple<const char*, int, TipoLayer, bool>>& rows) {
  Layers& layers = document.Viewer1->layers();
  layers.Clear();
  for (const auto& [name, id, type, visible] : rows) {
    layers.Add(name, std::to_string(id), type, document.Viewer1).Visible = visible;
  }
  emit document.Viewer1->MapRedrawn();
}

// The area may activate the next document before the closed one has gone; that
// activation used to be lost, leaving the map commands off. And the main window
// may go while a closed document awaits its deletion.
TEST(MainWindow, DocumentsTurnTheMapCommandsOnAndOffAndFillTheCombo) {
  Rig rig;
  frmMain& main = *rig.main;
  const QStringList general{"About", "MapList"};
  EXPECT_EQ(rig.Enabled(), general);
  EXPECT_FALSE(main.MenuItem("mnuChangePassword")->isEnabled());
  frmDocument* first = main.OpenMap(1);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->windowTitle(), "Ciudad - Mapa");
  EXPECT_TRUE(first->parentWidget()->isMaximized()) << "a lone document fills the area";
  EXPECT_EQ(
      rig.Enabled(),
      (QStringList{"About",       "Draw",       "EditGeo",     "EditInfo",    "Erase",
                   "FindAddress", "LayerSetup", "MapList",     "MapSetup",    "MeasureDistance",
                   "Pan",         "References", "SaveMap",     "SnapShot",    "ViewInfo",
                   "Zoom In",     "Zoom Out",   "Zoom Window", "ZoomExtents", "mnuNavigate"}));
  EXPECT_TRUE(main.MenuItem("mnuFind")->isEnabled() &&
              main.MenuItem("mnuFindByCondition")->isEnabled());
  EXPECT_TRUE(main.MenuItem("mnuChangePassword")->isEnabled());
  EXPECT_TRUE(main.MenuItem("mnuMultipleSelect")->isEnabled());
  // Opening it again says so and makes no window.
  EXPECT_EQ(main.OpenMap(1), nullptr);
  ASSERT_EQ(rig.ui.shown.size(), 1u);
  EXPECT_EQ(rig.ui.shown[0].text, "This map is already loaded");

  // The combo lists the visible layers that are not images and keeps the
  // active one across redraws, or takes the first listed one.
  frmDocument* second = main.OpenMap(2);
  ASSERT_NE(second, nullptr);
  Redrawn(*second, {{"Fondo", 1, ImageLayer, true},
                    {"Rios", 3, polylinelayer, true},
                    {"Manzanas", 4, polygonlayer, false},
                    {"Escuelas", 8, pointlayer, true}});
  EXPECT_EQ(rig.ComboItems(), (QStringList{"Rios", "Escuelas"}));
  EXPECT_EQ(second->CurrentLayerName(), "Rios");
  // "Ven&tana" lists the documents, the active one checked; choosing one activates it.
  QStringList listed;
  QList<QAction*> entries;
  QMenu* windows = main.MenuItem("mnuWindow")->menu();
  emit windows->aboutToShow();
  for (QAction* item : windows->actions()) {
    if (item->objectName() != "mnuWindowList") continue;
    listed << item->text() + (item->isChecked() ? "*" : "");
    entries << item;
  }
  EXPECT_EQ(listed, (QStringList{"&1 Ciudad - Mapa", "&2 Región Norte - Mapa*"}));
  entries.front()->trigger();
  EXPECT_EQ(main.ActiveDocument(), first);
  main.mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(second->parentWidget()));
  EXPECT_EQ(second->GetIDLayer("Manzanas"), 4) << "in the table though not listed";
  EXPECT_EQ(second->GetIDLayer("escuelas"), 0) << "names match exactly";
  main.cbLayers->setCurrentIndex(1);
  auto* tip = second->Viewer1->findChild<QtToolTip*>("picToolTip");
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(tip->rule().IDLayer(), 8) << "the tooltip reads the chosen layer";
  EXPECT_EQ(tip->rule().ToolTipField(), " ");
  Redrawn(*second, {{"Rios", 3, polylinelayer, true}, {"Escuelas", 8, pointlayer, true}});
  EXPECT_EQ(second->CurrentLayerName(), "Escuelas") << "kept across redraws";
  Redrawn(*first, {{"Calles", 3, polylinelayer, true}});
  EXPECT_EQ(rig.ComboItems(), (QStringList{"Rios", "Escuelas"})) << "not the background one's";
  Redrawn(*second, {{"Rios", 3, polylinelayer, true}, {"Escuelas", 8, pointlayer, false}});
  EXPECT_EQ(rig.ComboItems(), (QStringList{"Rios"}));
  EXPECT_EQ(second->CurrentLayerName(), "Rios");

  main.mdiArea->setActiveSubWindow(nullptr);
  const QPointer<frmDocument> closing = second;
  second->parentWidget()->close();
  ASSERT_TRUE(testing::WaitUntil([&] { return closing.isNull(); }));
  if (main.ActiveDocument() == nullptr) {
    EXPECT_FALSE(main.ToolbarButton("Pan")->isEnabled());
    EXPECT_EQ(main.cbLayers->count(), 0);
  }
  main.mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(first->parentWidget()));
  EXPECT_EQ(main.ActiveDocument(), first);
  EXPECT_TRUE(main.ToolbarButton("Pan")->isEnabled());
  EXPECT_EQ(rig.ComboItems(), (QStringList{"Calles"}));

  // Once the viewer has asked for its map, the last document is closed and unloaded.
  EXPECT_TRUE(testing::WaitUntil([&] { return !rig.server.requestCodes.empty(); }));
  const QPointer<frmDocument> last = first;
  main.mdiArea->closeAllSubWindows();
  EXPECT_TRUE(testing::WaitUntil([&] { return last.isNull(); }));
  EXPECT_EQ(rig.Enabled(), general);
  frmDocument* again = main.OpenMap(2);
  ASSERT_NE(again, nullptr);
  EXPECT_TRUE(again->parentWidget()->isMaximized()) << "alone again";
  again->parentWidget()->close();
}

// Text buttons did not fit the window: the last third of the toolbar was behind
// its overflow arrow.
TEST(MainWindow, EveryToolbarButtonHasAPictureOfItsOwn) {
  Rig rig;
  std::vector<std::pair<QString, QImage>> pictures;
  for (QAction* action : rig.main->Toolbar1->actions()) {
    if (action->isSeparator() || action->objectName() == "tbsep3") continue;
    const QImage picture = action->icon().pixmap(24, 24).toImage();
    int inked = 0;
    for (int y = 0; y < picture.height(); ++y) {
      for (int x = 0; x < picture.width(); ++x) inked += qAlpha(picture.pixel(x, y)) > 0 ? 1 : 0;
    }
    EXPECT_GT(inked, 24) << action->objectName().toStdString() << " draws something";
    for (const auto& [other, earlier] : pictures) {
      EXPECT_NE(picture, earlier) << action->objectName().toStdString() << " looks like "
                                  << other.toStdString();
    }
    pictures.emplace_back(action->objectName(), picture);
  }
  EXPECT_EQ(pictures.size(), 20u);
}

}  // namespace
}  // namespace orvenda
