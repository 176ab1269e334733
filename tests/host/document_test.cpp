// Document windows: the layer table and the combo it fills, and closing one of
// two documents.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTemporaryDir>

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
  testing::LoginServer server;
  std::unique_ptr<frmMain> main;
  Rig() {
    app.ServerHost = "127.0.0.1";
    app.ServerPort = QString::number(server.port());
    app.UserName = "ana";
    app.MapNames = {"Ciudad", "Región Norte"};
    app.MapCodes = {7, 9};
    main = std::make_unique<frmMain>(app);
    main->show();
  }
  QStringList ComboItems() const {
    QStringList items;
    for (int i = 0; i < main->cbLayers->count(); ++i) items << main->cbLayers->itemText(i);
    return items;
  }
};

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
