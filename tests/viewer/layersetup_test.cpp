// The layer setup's class building, method rules and writing back, the dialog's
// opening and class editing, the legend's layout and swatches, and the viewer's
// request 6 / reply 106 on a scripted server.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <tuple>

#include "dialogs/dlglayersetup.h"
#include "dialogs/dlgmapreferences.h"
#include "loopback.h"
#include "viewer_rig.h"

namespace orvenda {
namespace {

TEST(LayerSetupClasses, BuiltFromValuesWithTheColourRamp) {
  const Colour blue = RgbColour(0, 0, 255), red = RgbColour(255, 0, 0);
  using Texts = std::vector<std::string>;
  struct Case {
    std::int16_t method;
    Texts values;
    std::string count;
    TipoLayer kind;
    Texts texts;
    std::vector<Colour> ramp;  // classes 2..n: DrawColor, or FillColor for polygons
  } cases[] = {
      {2, {"10", "40"}, "3", 2, {"<Default>", "10 to 20", "20 to 30", "30 to 40"}, {0, 128 << 16}},
      {2,
       {"0 m", "4"},
       "4",
       4,
       {"<Default>", "0 to 1", "1 to 2", "2 to 3", "3 to 4"},
       {0, 85 << 16, 170 << 16, blue}},
      {1, {"Norte", "Sur"}, "", 1, {"<Default>", "Norte", "Sur"}, {0, blue}},
      {2, {}, "3", 1, {"<Default>"}, {}},  // no values: only the default class
  };
  for (const Case& c : cases) {
    ThematicMap classes;
    classes.Add(0, 3, red, red, 0, kAnyValueClass, kAnyValueClass);
    classes.Add(0, 1, red, red, 0, "old", "old");
    BuildClasses(classes, {c.method, c.values, c.count, 0, blue, c.kind});
    EXPECT_EQ(ClassListTexts(classes, c.method), c.texts) << c.count;
    for (std::size_t i = 0; i < c.ramp.size(); ++i) {
      const Theme& t = classes.Item(static_cast<std::int32_t>(i) + 2);
      EXPECT_EQ(c.kind == polygonlayer ? t.FillColor : t.DrawColor, c.ramp[i]) << i;
      EXPECT_EQ(t.DrawWidth, 3) << "the default class's look";
    }
  }
}

TEST(LayerSetupClasses, MethodRulesAndTheClassCountList) {
  struct Case {
    std::int16_t chosen, type, method;
    bool refused, count;
  } cases[] = {{1, 5, 2, true, true},    {1, 131, 2, true, true},  {1, 200, 1, false, false},
               {2, 200, 1, true, false}, {2, 202, 1, true, false}, {2, 130, 1, true, false},
               {2, 3, 2, false, true},   {0, 3, 0, false, false}};
  for (const Case& c : cases) {
    const MethodChoice m = ChooseMethod(c.chosen, c.type);
    EXPECT_EQ(std::tuple(m.method, m.refused, m.classCountEnabled),
              std::tuple(c.method, c.refused, c.count))
        << c.chosen << " " << c.type;
  }
  // Two classes used to look for entry -1 for ever.
  EXPECT_EQ(QtyClassesSelection(2), std::nullopt);
  EXPECT_EQ(QtyClassesEntry(*QtyClassesSelection(30)), "29");
}

// Colours alone keep the classification; edited bounds or another method with the
// same number of classes used to keep it too.
TEST(LayerSetupClasses, WritingBackClassesAgainOnlyWhatChanged) {
  struct Case {
    const char *field, *secondMax, *label;
    std::int16_t method;
    bool calculate, request, labels;
  } cases[] = {{"POB", "20", "", 2, false, false, false},
               {"POB", "25", "", 2, true, false, false},
               {"POB", "20", "", 1, true, false, false},
               {"AREA", "20", "NOMBRE", 2, false, true, true}};
  for (const Case& c : cases) {
    layer lay;
    lay.ThematicField = "POB";
    lay.ThematicType = 2;
    lay.ThematicMap().Add(0, 1, 0, 0, 0, kAnyValueClass, kAnyValueClass);
    lay.ThematicMap().Add(0, 1, 0, 0, 0, "10", "20");
    lay.CalculateThemes = false;
    ThematicMap edited;
    CopyLayerClasses(lay.ThematicMap(), edited);
    edited.Item(2).max = c.secondMax;
    edited.Item(2).DrawColor = 0xFF;
    LayerSetupChoice choice;
    choice.themeField = c.field;
    choice.method = c.method;
    choice.labelField = c.label;
    const LayerSetupOutcome out = ApplyLayerSetup(lay, choice, edited);
    EXPECT_EQ(std::tuple(lay.CalculateThemes, out.requestThemes, out.labelsChanged),
              std::tuple(c.calculate, c.request, c.labels))
        << c.secondMax << c.method;
  }
}

TEST(LayerSetupDialog, OpensOnTheLayerAndEditsItsOwnClasses) {
  testing::ScriptedInteraction ui;
  layer lay;
  lay.Tipo = polygonlayer;
  lay.Campos().Add("NOMBRE", 202);
  lay.Campos().Add("AREA", 5);
  lay.ThematicField = "AREA";
  lay.ThematicType = 2;
  lay.lblField = "NOMBRE";
  lay.ThematicMap().Add(0, 1, 0, 0xFF00, 0, kAnyValueClass, kAnyValueClass);
  for (int i = 1; i < 30; ++i) lay.ThematicMap().Add(0, 1, 0, 0, 0, "1", std::to_string(i));
  dlgLayerSetup d(lay, 12.345, ui);
  EXPECT_EQ(d.cbQtyClasses->currentText(), "29");
  // The preview draws the selected class as the map does: its fill.
  EXPECT_EQ(d.PreviewPicture().pixel(53, 53) & 0xFFFFFF, 0x00FF00u);
  d.cbThemeField->setCurrentIndex(1);  // the label's field
  EXPECT_EQ(ui.shown.at(0).text, "El campo del Tema debe ser distinto al campo de la Etiqueta");
  EXPECT_EQ(d.cbThemeField->currentText(), "<None>");
  d.cbLblField->setCurrentIndex(0);
  d.cbThemeField->setCurrentIndex(1);
  d.cbThemeMethod->setCurrentIndex(2);  // ranges of a text
  EXPECT_EQ(ui.shown.back().text, "Invalid");
  EXPECT_EQ(d.cbThemeMethod->currentText(), "Lista de Valores");
  EXPECT_EQ(d.lstThemeClasses->count(), 1) << "only the default class is left";
  d.cbQtyClasses->setCurrentIndex(0);
  d.cmdNewClass->click();
  d.cmdNewClass->click();
  d.cmdDeleteClass->click();
  EXPECT_EQ(d.lstThemeClasses->currentRow(), 1) << "the new last entry";
  EXPECT_EQ(lay.ThematicMap().count(), 30) << "the layer waits for OK";
  lay.ThematicMap().Clear();
  dlgLayerSetup empty(lay, 0, ui);
  EXPECT_EQ(empty.lstThemeClasses->item(0)->text(), "<Default>");
}

TEST(MapReferences, LayoutSwatchesAndScrolling) {
  Layers layers;
  const auto add = [&](const char* name, int id, TipoLayer kind, bool visible, double x) {
    layer& l = layers.Add(name, std::to_string(id), kind, nullptr);
    l.Visible = visible;
    l.bb.MinX = l.bb.MaxX = x;
    l.bb.MinY = l.bb.MaxY = 0;
    l.ThematicType = 2;
    l.ThematicMap().Add(0, 1, 0, 0, 0, kAnyValueClass, kAnyValueClass);
    return &l;
  };
  add("Fondo", 1, polygonlayer, true, 5);
  add("Oculta", 2, polygonlayer, false, 5);
  add("Lejos", 3, polygonlayer, true, 500);
  add("Rios", 4, polylinelayer, true, 5)->ThematicMap().Add(0, 1, 0, 0, 0, "1", "2");
  BoundingBox view;
  view.MinX = view.MinY = 0;
  view.MaxX = view.MaxY = 10;
  const auto groups = LegendGroups(layers, view, 400);
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0].caption, "Rios") << "the last layer first";
  EXPECT_EQ(groups[0].swatches[1].text, "1 to 2");
  EXPECT_EQ(groups[1].top, 400 + 240 + 600 + 50);
  EXPECT_EQ(FitLegend(groups, false).windowHeight, groups[1].top + groups[1].height + 360);
  EXPECT_EQ(FitLegend(groups, true).windowHeight, 0) << "collapsed stays collapsed";
  std::vector<LegendGroup> tall(30, groups[1]);
  tall.back().top = 9000 - tall.back().height;
  const LegendFit fit = FitLegend(tall, false);
  EXPECT_EQ(std::tuple(fit.windowHeight, fit.scrolls, fit.scrollMax), std::tuple(7800, true, 6));
  // Every step measured from the stacked places: scrolling back and forth never drifts.
  EXPECT_EQ(ScrolledTops(groups, 1, 4), (std::vector<std::int32_t>{-600, groups[1].top - 1000}));
  EXPECT_EQ(ScrolledTops(groups, 0, 4)[1], groups[1].top);
}

// A form left waiting for another layer's values is not reused; a 106 for a layer
// whose form is gone changes nothing; closing the legend makes the viewer forget it.
TEST(LayerSetupViewer, AsksForValuesAndNeverMixesLayers) {
  testing::ViewerRig rig;
  rig.Open({testing::LayerDef{}, testing::LayerDef{"Parks", 9, 4}});
  Viewer& v = *rig.viewer;
  v.layers().Item("7")->Campos().Add("NAME", 200);
  rig.sock.ClearSent();
  QStringList titles;
  rig.ui.onModal = [&](ModalForm& form) {
    auto& d = dynamic_cast<dlgLayerSetup&>(form);
    titles << d.windowTitle();
    if (titles.size() > 1) return d.CancelButton->click();
    d.cbThemeField->setCurrentIndex(1);
    d.cbThemeMethod->setCurrentIndex(1);
    d.cmdQrySvr->click();
  };
  v.LayerSetup(7);
  EXPECT_EQ(rig.sock.sent().at(0), testing::Wire(cmd::kFieldValues, "L S I", {7, "NAME", 1}));
  v.SetPendingRequests(0);  // the reply was given up
  v.LayerSetup(9);
  EXPECT_EQ(titles.last(), QStringLiteral("Configuración del Layer: Parks"));
  EXPECT_EQ(v.LayerSetupForm(), nullptr);
  rig.sock.Deliver(testing::Wire(cmd::kFieldValuesReply, "L S I I S", {7, "NAME", 1, 1, "Sur"}));
  EXPECT_EQ(titles.size(), 2);
  v.ShowMapReferences();
  QPointer<dlgMapReferences> legend = v.MapReferencesForm();
  ASSERT_TRUE(legend);
  legend->close();
  EXPECT_TRUE(testing::WaitUntil([&] { return !legend && !v.MapReferencesForm(); }));
}

}  // namespace
}  // namespace orvenda
