// The main window and its documents: command enabling with no document and
// with one, opening maps, its toolbar pictures; the layer table and the combo it
// fills, and closing one of two documents.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTemporaryDir>
#include <QToolBar>

#include "host/frmdocument.h"
#include "host/frmmain.h"
#include "host/module1.h"
#include "loopback.h"
#include "model/layers.h"
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
  QStringList ComboItems() const {
    QStringList items;
    for (int i = 0; i < main->cbLayers->count(); ++i) items << main->cbLayers->itemText(i);
    return items;
  }
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
  EXPECT_FALSE(rig.Shown("mnuNavigate"));
  EXPECT_FALSE(rig.main->MenuItem("mnuChangePassword")->isEnabled());
  frmDocument* document = rig.main->OpenMap(1);
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->windowTitle(), "Ciudad - Mapa");
  EXPECT_EQ(rig.EnabledButtons(),
            (QStringList{"About", "MapList", "MeasureDistance", "Pan", "Zoom In", "Zoom Out",
                         "Zoom Window", "ZoomExtents"}));
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

struct LayerRow {
  const char* name;
  int id;
  TipoLayer type;
  bool visible;
};

// Gives the document's viewer these layers and raises the redraw event.
void Redrawn(frmDocument& document, const std::vector<LayerRow>& rows) {
  Layers& layers = document.Viewer1->layers();
  layers.Clear();
  for (const auto& row : rows) {
    layers.Add(row.name, std::to_string(row.id), row.type, document.Viewer1).Visible = row.visible;
  }
  emit document.Viewer1->MapRedrawn();
}

TEST(Document, ComboListsVisibleNonImageLayersAndFollowsTheActiveLayer) {
  Rig rig;
  frmDocument* document = rig.main->OpenMap(1);
  ASSERT_NE(document, nullptr);
  Redrawn(*document, {{"Fondo", 1, ImageLayer, true},
                      {"Calles", 3, polylinelayer, true},
                      {"Manzanas", 4, polygonlayer, false},
                      {"Escuelas", 8, pointlayer, true}});
  EXPECT_EQ(rig.ComboItems(), (QStringList{"Calles", "Escuelas"}));
  EXPECT_EQ(document->CurrentLayerName(), "Calles") << "the first listed layer";
  EXPECT_EQ(document->GetIDLayer("Escuelas"), 8);
  EXPECT_EQ(document->GetIDLayer("Manzanas"), 4) << "in the table though not listed";
  EXPECT_EQ(document->GetIDLayer("escuelas"), 0) << "names match exactly";

  rig.main->cbLayers->setCurrentIndex(1);
  EXPECT_EQ(document->CurrentLayerName(), "Escuelas");
  Redrawn(*document, {{"Calles", 3, polylinelayer, true}, {"Escuelas", 8, pointlayer, true}});
  EXPECT_EQ(rig.main->cbLayers->currentText(), "Escuelas") << "kept across redraws";
  // The active layer switched off: the first listed one takes its place.
  Redrawn(*document, {{"Calles", 3, polylinelayer, true}, {"Escuelas", 8, pointlayer, false}});
  EXPECT_EQ(rig.ComboItems(), (QStringList{"Calles"}));
  EXPECT_EQ(document->CurrentLayerName(), "Calles");
}

// The area may activate the next document before the closed one has gone; that
// activation used to be lost, leaving the map commands off.
TEST(Document, ClosingOneOfTwoDisablesUntilTheOtherIsActivated) {
  Rig rig;
  frmDocument* first = rig.main->OpenMap(1);
  frmDocument* second = rig.main->OpenMap(2);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  Redrawn(*first, {{"Calles", 3, polylinelayer, true}});
  Redrawn(*second, {{"Rios", 5, polylinelayer, true}});
  EXPECT_EQ(rig.ComboItems(), (QStringList{"Rios"}))
      << "a background redraw leaves the active document's combo";
  rig.main->mdiArea->setActiveSubWindow(nullptr);
  const QPointer<frmDocument> closing = second;
  second->parentWidget()->close();
  ASSERT_TRUE(testing::WaitUntil([&] { return closing.isNull(); }));
  EXPECT_EQ(rig.main->Documents().size(), 1);
  if (rig.main->ActiveDocument() == nullptr) {
    EXPECT_FALSE(rig.main->ToolbarButton("Pan")->isEnabled());
    EXPECT_EQ(rig.main->cbLayers->count(), 0);
  }
  rig.main->mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(first->parentWidget()));
  EXPECT_EQ(rig.main->ActiveDocument(), first);
  EXPECT_TRUE(rig.main->ToolbarButton("Pan")->isEnabled());
  EXPECT_EQ(rig.ComboItems(), (QStringList{"Calles"}));
  // The main window may go while a closed document awaits its deletion.
  first->parentWidget()->close();
}

}  // namespace
}  // namespace orvenda
