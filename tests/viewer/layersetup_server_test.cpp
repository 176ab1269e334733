// The layer setup and the legend against the real map server serving the demo
// database: the World map's cities classed by population ranges built from the
// server's lowest and highest values (request 6 kind 2), drawn in the ramp's colours
// and listed by the legend, whose double click opens the setup again.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <cmath>

#include "city_viewer.h"
#include "dialogs/dlglayersetup.h"
#include "dialogs/dlgmapreferences.h"
#include "pixels.h"
#include "render/viewtransform.h"
#include "viewer/qtcolour.h"

namespace orvenda {
namespace {

using testing::WaitUntil;

TEST(LayerSetupWithRealServer, CitiesClassedByPopulationRangesAreDrawnAndListed) {
  testing::ServerProcess server;
  ASSERT_TRUE(server.StartDemo(ORVENDA_SERVER_EXE, ORVENDA_DEMO_CACHE))
      << server.Why().toStdString();
  testing::CityViewer world(server, "demo", "demo", 0, {400, 200});
  Viewer& viewer = world.viewer;
  testing::ScriptedInteraction& ui = world.ui;
  const auto idle = [&] { return world.Loaded(); };
  ASSERT_TRUE(world.Opened());
  const layer* cities = nullptr;
  for (const layer& l : viewer.layers()) cities = l.Nombre == "Cities" ? &l : cities;
  ASSERT_NE(cities, nullptr);
  // Houston, Mobile and Selma, in a view low enough for the cities.
  viewer.ApplyExtents(-96, 28, -86, 33);
  ASSERT_TRUE(WaitUntil([&] { return idle() && cities->Entidades.count() >= 3; }, 15000));

  const Colour start = RgbColour(0, 160, 0), end = RgbColour(0, 0, 230);
  int shown = 0;
  QStringList listed;
  ui.onModal = [&](ModalForm& form) {
    auto& d = dynamic_cast<dlgLayerSetup&>(form);
    if (++shown == 1) {  // ranges of the default class's look, three of them
      d.lstThemeClasses->setCurrentRow(0);
      d.cbBWidth->setCurrentIndex(6);
      d.cbQtyClasses->setCurrentIndex(d.cbQtyClasses->findText("3"));
      d.shpColor0->SetColour(start);
      d.ShpColor1->SetColour(end);
      d.cmdQrySvr->click();
    } else {  // back with the values: its first paint builds the classes
      d.show();
      for (int i = 0; i < d.lstThemeClasses->count(); ++i)
        listed << d.lstThemeClasses->item(i)->text();
      d.OKButton->click();
    }
  };
  viewer.LayerSetup(cities->IDLayer);
  ASSERT_TRUE(WaitUntil([&] { return shown == 2 && idle(); }, 15000)) << shown;
  const QStringList ranges{"19035 to 1098004.66666667", "1098004.66666667 to 2176974.33333333",
                           "2176974.33333333 to 3255944"};
  EXPECT_EQ(listed, QStringList{"<Default>"} + ranges);
  // Houston falls in the last range, Mobile in the first: each drawn in its colour.
  const QImage picture = viewer.Picture();
  const auto at = [&](double x, double y) {
    const SurfacePoint s = viewer.view().GeoToSurface(x, y);
    return picture.pixel(static_cast<int>(std::lround(s.x)), static_cast<int>(std::lround(s.y)));
  };
  EXPECT_EQ(testing::ChannelGap(at(-95.36, 29.76), ToQColor(end).rgb()), 0);
  EXPECT_EQ(testing::ChannelGap(at(-88.04, 30.69), ToQColor(start).rgb()), 0);

  // The legend: the cities' group first (the last layer), one text per range.
  viewer.ShowMapReferences();
  dlgMapReferences* legend = viewer.MapReferencesForm();
  ASSERT_NE(legend, nullptr);
  QGroupBox* first = legend->Frame1;
  EXPECT_EQ(first->title(), "Cities");
  QStringList texts;
  for (const QLabel* l : first->findChildren<QLabel*>("lblThemeDesc")) texts << l->text();
  EXPECT_EQ(texts, QStringList{""} + ranges);
  // A double click on a swatch opens the setup of its layer.
  QString opened;  // and left as it was, cancelled
  ui.onModal = [&](ModalForm& form) { opened = dynamic_cast<dlgLayerSetup&>(form).windowTitle(); };
  QTest::mouseDClick(first->findChildren<QLabel*>("picColor").value(1), Qt::LeftButton);
  EXPECT_TRUE(WaitUntil([&] { return opened == "Configuración del Layer: Cities"; }, 5000));
  viewer.TerminateMapReferences();
  EXPECT_EQ(viewer.MapReferencesForm(), nullptr);
}

}  // namespace
}  // namespace orvenda
