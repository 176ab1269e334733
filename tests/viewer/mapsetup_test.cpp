// The map setup: its layer list, buttons and edits without widgets, the result made
// real on the map's layers, and the dialogs through the viewer (map setup, the
// direction field, the saved picture), on the viewer rig's map of 0..2 x 0..2 degrees.
#include <gtest/gtest.h>

#include <QColorDialog>
#include <QComboBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "dialogs/dlgmapsetup.h"
#include "model/layers.h"
#include "render/viewtransform.h"
#include "viewer/saveimage.h"
#include "viewer_rig.h"

namespace orvenda {
namespace {

TEST(MapSetupState, ListLinesButtonsAndEdits) {
  MapSetupState s;
  s.LayerSetups = {{"Calles", 7, 0.5f, 50, 1, false, 1, ALEditor},
                   {"Ríos", 8, 0, 1e6f, 2, false, 2, ALNoAccess},
                   {"Lotes", 9, 1.25f, 3, 3, false, 0, ALDraw}};
  const std::string calles = "Calles ( 0.5 - 50)  Editor, ";
  const std::string rios = "Ríos ( 0 - 1000000)  No Accesss, ";
  const std::string lotes = "Lotes ( 1.25 - 3)  Draw, ";
  // A step (select 0, drop, move down, move up, always), then the selection, the up
  // and down buttons, the drop caption, and the list.
  const std::tuple<char, const char*, std::string> steps[] = {
      {'0', "0 -+ Drop", calles + "|" + rios + "|" + lotes},
      {'x', "0 -+ Undrop", calles + "Dropped|" + rios + "|" + lotes},
      {'v', "1 ++ Undrop", rios + "|" + calles + "Dropped|" + lotes},
      {'v', "2 +- Undrop", rios + "|" + lotes + "|" + calles + "Dropped"},
      {'v', "2 +- Undrop", rios + "|" + lotes + "|" + calles + "Dropped"},
      {'a', "2 +- Undrop", rios + "|" + lotes + "|Calles ( 0 - 99999)  Editor, Dropped"},
      {'^', "1 ++ Undrop", rios + "|Calles ( 0 - 99999)  Editor, Dropped|" + lotes},
      {'x', "1 ++ Drop", rios + "|Calles ( 0 - 99999)  Editor, |" + lotes}};
  for (const auto& [step, buttons, lines] : steps) {
    if (step == '0') s.Selected = 0;
    if (step == 'x') s.ToggleDrop();
    if (step == 'v' || step == '^') s.Move(step == 'v' ? 1 : -1);
    if (step == 'a') s.ZoomAlways();
    std::string list;
    for (const std::string& line : s.Lines()) list += (list.empty() ? "" : "|") + line;
    EXPECT_EQ(std::to_string(s.Selected) + " " + (s.CanMoveUp() ? "+" : "-") +
                  (s.CanMoveDown() ? "+" : "-") + " " + s.DropCaption(),
              buttons)
        << step;
    EXPECT_EQ(list, lines) << step;
  }
  EXPECT_EQ(s.LayerSetups[2].Order, 3) << "the order follows the place";
  // Zoom boxes: the text so far, the key, what is typed (0: refused).
  const std::tuple<const char*, char, char> keys[] = {
      {"", ',', '.'}, {"2", ',', '.'}, {"2.", ',', 0}, {"2.", '.', 0},
      {"", '-', '-'}, {"2", '-', 0},   {"", 'a', 0},   {"2", '\b', '\b'}};
  for (const auto& [text, key, typed] : keys) {
    EXPECT_EQ(ZoomKey(text, key).value_or(0), typed) << text << key;
  }
}

TEST(MapSetupState, AppliedToTheLayersInOrder) {
  Layers layers;
  for (const auto& [name, id] : {std::pair{"A", 1}, {"B", 2}, {"C", 3}, {"D", 4}}) {
    layers.Add(name, std::to_string(id), polylinelayer, nullptr);
  }
  std::vector<CLayerSetupDef> setups = LayerSetups(layers);
  ASSERT_EQ(setups.size(), 4u);
  EXPECT_EQ(setups[3].Order, 4);
  setups[0].Dropped = true;
  setups[2].ZoomMin = 3;
  setups[2].ZoomMax = 9;
  setups[2].UserVisibility = 2;
  std::swap(setups[1], setups[3]);  // A (dropped), D, C, B
  std::swap(setups[1], setups[2]);  // A (dropped), C, D, B
  ApplyLayerSetups(layers, setups);
  std::string order;
  for (const layer& lay : layers) order += lay.Nombre;
  EXPECT_EQ(order, "CDB");
  const layer& c = *layers.Item("3");
  EXPECT_EQ(std::tuple(c.ZoomMin, c.ZoomMax, c.UserVisibility()), std::tuple(3.0f, 9.0f, 2));
  EXPECT_EQ(layers.Item("1"), nullptr);
}

// Two line layers, 7 and 8 (hidden, so none of its cells was asked for). Cancel keeps
// everything, even after "Configurar Inicio"; OK applies the order, the zoom range
// typed with a comma, the visibility, the background chosen in the colour chooser and
// the current view as the initial one, and asks for what the view now lacks.
TEST(MapSetupDialog, AppliesItsEditsOnlyAfterOK) {
  testing::ViewerRig rig;
  const std::vector<testing::LayerDef> defs = {{}, {.name = "Ríos", .id = 8}};
  Viewer& v = *rig.viewer;
  rig.Show();
  rig.ReplyOpenMap();
  rig.ReplyMapDefinition(defs);
  v.layers().Item("8")->SetUserVisibility(0);
  rig.ReplyAccessLevels(defs);
  for (const auto& c : rig.CellRequests()) rig.ReplyCell(c[0], c[1], c[2]);
  v.ZoomIn();
  rig.sock.ClearSent();
  const BoundingBox view = v.view().ViewExtents;
  bool ok = false;
  rig.ui.onModal = [&](ModalForm& form) {
    if (auto* chooser = dynamic_cast<QColorDialog*>(&form)) {
      EXPECT_EQ(chooser->currentColor(), QColor(Qt::white)) << "preset to the swatch";
      chooser->setCurrentColor(QColor(0x12, 0x34, 0x56));
      chooser->accept();
      return;
    }
    auto& d = dynamic_cast<dlgMapSetup&>(form);
    EXPECT_EQ(d.windowTitle(), "Configurar el Mapa");
    EXPECT_EQ(d.lstLayers->currentRow(), 0);
    EXPECT_FALSE(d.cmdMoveUpLayer->isEnabled());
    EXPECT_EQ(d.txtZoomMax->text(), "1" + QString(37, '0')) << "1e37";
    d.cmdMoveDownLayer->click();
    EXPECT_EQ(d.lstLayers->currentRow(), 1);
    d.txtZoomMin->clear();
    QTest::keyClicks(d.txtZoomMin, "2,5,1");
    EXPECT_EQ(d.txtZoomMin->text(), "2.51");
    d.cmdModifyLayer->click();
    EXPECT_EQ(d.lstLayers->item(1)->text().toStdString(),
              "Roads ( 2.51 - 1" + std::string(37, '0') + ")  Draw, ");
    QTest::keyClick(d.cboUserVisibility, Qt::Key_Up);
    d.lstLayers->setCurrentRow(0);
    QTest::keyClick(d.cboUserVisibility, Qt::Key_Down);
    d.cmdBackColor->click();
    d.cmdSetInitialHeight->click();
    EXPECT_EQ(d.lblInitialHeight->text(), d.lblCurrentHeight->text());
    (ok ? d.OKButton : d.CancelButton)->click();
  };
  const auto state = [&] {
    std::string text;
    for (const layer& lay : v.layers()) {
      text += lay.Nombre + " " + PlainNumber(lay.ZoomMin) + " " +
              std::to_string(lay.UserVisibility()) + ", ";
    }
    return text + std::to_string(v.map().BackgroundColor);
  };
  const std::string before = state() + Describe(v.map().MapExtents);
  v.MapSetup();
  EXPECT_EQ(state() + Describe(v.map().MapExtents), before);
  EXPECT_TRUE(rig.sock.sent().empty());
  ok = true;
  v.MapSetup();
  EXPECT_EQ(state(), "Ríos 0 1, Roads 2.51 1, 5649426");
  EXPECT_FALSE(rig.CellRequests().empty());
  for (const auto& c : rig.CellRequests()) EXPECT_EQ(c[0], 8);
  const BoundingBox& e = v.map().MapExtents;
  EXPECT_EQ(std::tuple(e.MinX, e.MinY, e.MaxX, e.MaxY),
            std::tuple(double(float(view.MinX)), double(float(view.MinY)), double(float(view.MaxX)),
                       double(float(view.MaxY))));
  EXPECT_EQ(v.SavedPicture().pixel(1, 1), qRgb(0x12, 0x34, 0x56)) << "painted at once";
}

// The picture goes to the file chosen, in the chosen format; the direction field is
// chosen among the layer's fields, and the directions of the new one are asked for.
TEST(MapSetupDialog, DirectionFieldAndSavedPicture) {
  testing::ViewerRig rig;
  rig.Open({testing::LayerDef{}}, {{0.5, 0.5, 1.5, 1.5}});
  Viewer& v = *rig.viewer;
  layer& roads = *v.layers().Item("7");
  roads.Campos().Add("NOMBRE", 200);
  roads.Campos().Add("SENTIDO", 2);
  roads.SetUserDirectionVisibility(2);
  rig.sock.ClearSent();
  QTemporaryDir dir;
  for (const char* filter : {"PNG File (*.png)", "Bitmap File (*.bmp)"}) {
    rig.ui.onModal = [&](ModalForm& form) {
      auto& d = dynamic_cast<Savedlg&>(form);
      EXPECT_EQ(d.windowTitle(), "Save Image");
      d.selectNameFilter(filter);
      d.selectFile(dir.filePath("mapa"));
      static_cast<QDialog&>(d).accept();
    };
    ASSERT_TRUE(v.SaveImage()) << filter;
  }
  EXPECT_EQ(QImageReader(dir.filePath("mapa.png")).format(), "png");
  EXPECT_EQ(QImageReader(dir.filePath("mapa.bmp")).format(), "bmp");
  EXPECT_EQ(QImage(dir.filePath("mapa.png")).convertToFormat(QImage::Format_RGB32),
            v.SavedPicture().convertToFormat(QImage::Format_RGB32));
  rig.ui.onModal = [&](ModalForm& form) {
    auto& d = dynamic_cast<dlgSetDirections&>(form);
    EXPECT_EQ(d.cboField->count(), 2);
    EXPECT_EQ(d.cboField->currentText(), "") << "none chosen yet";
    d.cboField->setCurrentIndex(1);
    d.OKButton->click();
  };
  v.SetDirections(7);
  EXPECT_EQ(roads.DirectionField, "SENTIDO");
  int asked = 0;
  for (const auto& m : rig.sock.sent()) {
    DWBUffer b(m);
    b.GetLong();
    b.GetLong();
    if (b.GetInteger() != cmd::kCellValues) continue;
    ++asked;
    b.GetLong();
    b.GetLong();
    b.GetLong();
    EXPECT_EQ(b.GetString(), "SENTIDO");
  }
  EXPECT_EQ(asked, roads.RequestedCells().count());
}

}  // namespace
}  // namespace orvenda
