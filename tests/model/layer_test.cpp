#include "model/layer.h"

#include <gtest/gtest.h>

#include "model/layerowner.h"
#include "support/recording_cell_requester.h"

namespace orvenda {
namespace {

using testing::RecordingCellRequester;

// The viewer as a layer sees it: hands out the recording connection.
class FakeViewer : public LayerOwner {
 public:
  int32_t ImageIndexFor(const std::string&) override { return -1; }
  void CloseImage(int32_t) override {}
  CellValueRequester* CellValues() override { return connection; }
  CellValueRequester* connection = nullptr;
};

// The class is the position of the first matching class; no match keeps the old code,
// and a layer with only the default class puts everything in it.
TEST(Layer, CalculateThemeObjectByClassPosition) {
  layer lay;
  Entidad& ent = lay.Entidades.Add(1, std::vector<Point>{{0, 0}}, &lay);
  ent.ThemeCode = 4;
  lay.CalculateThemeObject(ent);
  EXPECT_EQ(ent.ThemeCode, 4) << "no classes: left alone";
  lay.ThematicMap().Add(0, 1, 0, 0, 0, kAnyValueClass, "");
  ent.ThemeValue = "whatever";
  lay.CalculateThemeObject(ent);
  EXPECT_EQ(ent.ThemeCode, 1);
  lay.ThematicFieldType = 5;
  lay.ThematicMap().Add(0, 1, 0, 0, 0, "0", "10");
  lay.ThematicMap().Add(0, 1, 0, 0, 0, "10", "20");
  // "25" matches nothing and keeps the code; after a removal the code is the position.
  for (const auto& [value, code] : {std::pair{"10", 2}, {"15 m", 3}, {"sin datos", 2}, {"25", 2}}) {
    ent.ThemeValue = value;
    lay.CalculateThemeObject(ent);
    EXPECT_EQ(ent.ThemeCode, code) << value;
  }
  lay.ThematicMap().Remove("2");
  ent.ThemeValue = "15";
  lay.CalculateThemeObject(ent);
  EXPECT_EQ(ent.ThemeCode, 2);
}

TEST(Layer, LabelsThemesAndRequestedCells) {
  layer lay;
  lay.IDLayer = 42;
  lay.ThematicField = "USO";
  for (int32_t id = 1; id <= 3; ++id) {
    Entidad& e = lay.Entidades.Add(id, std::vector<Point>{{0, 0}}, &lay);
    e.ThemeValue = "x";
    e.ThemeCode = 3;
    e.IDLabel = lay.LabelIndex(id == 2 ? "Sur" : "Norte");
  }
  EXPECT_EQ(lay.LabelIndex("norte"), 3) << "a new text is added at the end";
  EXPECT_EQ(lay.Entidades.ItemByID(3)->IDLabel, 1);
  lay.CeldaSolicitada(5, 6);
  lay.CeldaSolicitada(1, 2);
  lay.CeldaSolicitada(5, 6);
  lay.LabelCellSolicitada(9, 9);  // label cells are not asked for themes
  RecordingCellRequester direct, viaViewer;
  lay.RequestThemesForCells(direct);
  const std::vector<RecordingCellRequester::Request> expected = {
      {42, 5, 6, "USO"}, {42, 1, 2, "USO"}, {42, 5, 6, "USO"}};
  EXPECT_EQ(direct.requests, expected);
  FakeViewer viewer;
  lay.RequestThemesForCells();  // no viewer, then no connection: nothing
  lay.parentMap = &viewer;
  lay.RequestThemesForCells();
  viewer.connection = &viaViewer;
  lay.RequestThemesForCells();
  EXPECT_EQ(viaViewer.requests, expected);

  lay.ResetThemes();
  lay.ClearLabels();
  for (const Entidad& e : lay.Entidades) {
    EXPECT_EQ(e.ThemeValue, "");
    EXPECT_EQ(e.ThemeCode, 1);
    EXPECT_EQ(e.IDLabel, 0);
  }
  EXPECT_FALSE(lay.IsLabelCellRequested(9, 9));
  EXPECT_EQ(lay.LabelIndex("Plaza"), 1);
}

TEST(Layer, NearestSegmentAndVertexOverDrawnElementsLaterWinsTies) {
  layer lay;
  lay.Tipo = polylinelayer;
  lay.Entidades.Add(1, std::vector<Point>{{0, 1}, {10, 1}}, &lay);
  lay.Entidades.Add(2, std::vector<Point>{{0, -1}, {10, -1}}, &lay);
  lay.Entidades.Add(3, std::vector<Point>{{0, 0.1}, {10, 0.1}}, &lay);  // not drawn
  EXPECT_EQ(lay.NearestSegmentInLayer(5, 0).distance, 1e30);
  EXPECT_EQ(lay.NearestVertexInLayer(5, 0).distance, 1e38);
  lay.DrawnEntities = {1, 2, 77};  // 77 was drawn and has since been removed
  const auto segment = lay.NearestSegmentInLayer(2, 0);
  EXPECT_EQ((std::vector<double>{segment.distance, segment.x0, segment.y0, segment.x1, segment.y1}),
            (std::vector<double>{1, 0, -1, 10, -1}));
  const auto vertex = lay.NearestVertexInLayer(0, 0);
  EXPECT_EQ((std::vector<double>{vertex.distance, vertex.X, vertex.Y}),
            (std::vector<double>{1, 0, -1}));
  lay.DrawnEntities = {2, 1};
  EXPECT_EQ(lay.NearestSegmentInLayer(2, 0).y0, 1);
  EXPECT_EQ(lay.NearestVertexInLayer(9, -0.5).X, 10);
  EXPECT_EQ(lay.NearestVertexInLayer(9, -0.5).Y, -1);
}

}  // namespace
}  // namespace orvenda
