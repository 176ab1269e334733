// Document windows: the layer table and the combo it fills, the pointer
// position in the status bar, and closing one of two documents.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include "host/frmdocument.h"
#include "host/frmmain.h"
#include "host/module1.h"
#include "hostrig.h"
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
    layer& l = layers.Add(row.name, std::to_string(row.id), row.type, document.Viewer1);
    l.Visible = row.visible;
  }
  emit document.Viewer1->MapRedrawn();
}

QStringList ComboItems(const QComboBox& combo) {
  QStringList items;
  for (int i = 0; i < combo.count(); ++i) items << combo.itemText(i);
  return items;
}

TEST(Document, ComboListsVisibleNonImageLayersAndFollowsTheActiveLayer) {
  Rig rig;
  frmDocument* document = rig.main->OpenMap(1);
  ASSERT_NE(document, nullptr);
  Redrawn(*document, {{"Fondo", 1, ImageLayer, true},
                      {"Calles", 3, polylinelayer, true},
                      {"Manzanas", 4, polygonlayer, false},
                      {"Escuelas", 8, pointlayer, true}});
  EXPECT_EQ(ComboItems(*rig.main->cbLayers), (QStringList{"Calles", "Escuelas"}));
  EXPECT_EQ(document->CurrentLayerName(), "Calles") << "the first listed layer";
  EXPECT_EQ(rig.main->cbLayers->currentText(), "Calles");
  EXPECT_EQ(document->GetIDLayer("Escuelas"), 8);
  EXPECT_EQ(document->GetIDLayer("Manzanas"), 4) << "in the table though not listed";
  EXPECT_EQ(document->GetIDLayer("escuelas"), 0) << "names match exactly";
  EXPECT_EQ(document->GetIDLayer(""), 0);

  rig.main->cbLayers->setCurrentIndex(1);
  EXPECT_EQ(document->CurrentLayerName(), "Escuelas");
  Redrawn(*document, {{"Calles", 3, polylinelayer, true}, {"Escuelas", 8, pointlayer, true}});
  EXPECT_EQ(rig.main->cbLayers->currentText(), "Escuelas") << "kept across redraws";

  // The active layer switched off: the first listed one takes its place.
  Redrawn(*document, {{"Calles", 3, polylinelayer, true}, {"Escuelas", 8, pointlayer, false}});
  EXPECT_EQ(ComboItems(*rig.main->cbLayers), (QStringList{"Calles"}));
  EXPECT_EQ(document->CurrentLayerName(), "Calles");
}

TEST(Document, ComboWidensForLongNamesAndNeverNarrows) {
  Rig rig;
  frmDocument* document = rig.main->OpenMap(1);
  ASSERT_NE(document, nullptr);
  const int start = rig.main->cbLayers->width();
  const QString longName = "Red de distribución de agua potable y cloacas del partido";
  Redrawn(*document, {{"A", 1, pointlayer, true}});
  EXPECT_EQ(rig.main->cbLayers->width(), start) << "a short name leaves it";
  Redrawn(*document, {{qPrintable(longName), 1, pointlayer, true}});
  const int wide =
      QFontMetrics(rig.main->cbLayers->font()).horizontalAdvance(longName) + frmMain::kComboPadding;
  EXPECT_EQ(rig.main->cbLayers->width(), wide);
  Redrawn(*document, {{"A", 1, pointlayer, true}});
  EXPECT_EQ(rig.main->cbLayers->width(), wide) << "never narrows";
}

TEST(Document, PointerPositionInTheStatusBar) {
  Rig rig;
  frmDocument* document = rig.main->OpenMap(1);
  ASSERT_NE(document, nullptr);
  QLocale::setDefault(QLocale::c());
  emit document->Viewer1->MousePosition(-62.2625, -0.5);
  EXPECT_EQ(rig.main->StatusPanel1->text(), "x: -62° 15' 45\", y: 0° 30' 0\"");
}

TEST(Document, ClosingOneOfTwoDisablesUntilTheOtherIsActivated) {
  Rig rig;
  frmDocument* first = rig.main->OpenMap(1);
  frmDocument* second = rig.main->OpenMap(2);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  Redrawn(*first, {{"Calles", 3, polylinelayer, true}});
  Redrawn(*second, {{"Rios", 5, polylinelayer, true}});
  EXPECT_EQ(ComboItems(*rig.main->cbLayers), (QStringList{"Rios"}))
      << "a background redraw leaves the active document's combo";
  rig.main->mdiArea->setActiveSubWindow(nullptr);
  second->parentWidget()->close();
  testing::RunEventsFor(20);
  EXPECT_EQ(rig.main->Documents().size(), 1);
  if (rig.main->ActiveDocument() == nullptr) {
    EXPECT_FALSE(rig.main->ToolbarButton("Pan")->isEnabled());
    EXPECT_EQ(rig.main->cbLayers->count(), 0);
  }
  rig.main->mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(first->parentWidget()));
  EXPECT_EQ(rig.main->ActiveDocument(), first);
  EXPECT_TRUE(rig.main->ToolbarButton("Pan")->isEnabled());
  EXPECT_EQ(ComboItems(*rig.main->cbLayers), (QStringList{"Calles"}));
}

}  // namespace
}  // namespace orvenda
