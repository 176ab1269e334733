#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "model/layer.h"
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

TEST(Layer, UserVisibilityCodesOutsideZeroToTwoStoreOne) {
  layer lay;
  EXPECT_EQ(lay.UserVisibility(), 1);
  EXPECT_EQ(lay.UserLabelVisibility(), 0);
  EXPECT_EQ(lay.UserDirectionVisibility(), 0);
  struct Row {
    int16_t given, stored;
  };
  for (const Row r : {Row{0, 0}, Row{1, 1}, Row{2, 2}, Row{7, 1}, Row{-1, 1}, Row{3, 1}}) {
    lay.SetUserVisibility(r.given);
    lay.SetUserLabelVisibility(r.given);
    lay.SetUserDirectionVisibility(r.given);
    EXPECT_EQ(lay.UserVisibility(), r.stored) << r.given;
    EXPECT_EQ(lay.UserLabelVisibility(), r.stored) << r.given;
    EXPECT_EQ(lay.UserDirectionVisibility(), r.stored) << r.given;
  }
}

TEST(Layer, CalculateThemeObjectByClassPosition) {
  layer lay;
  lay.Tipo = pointlayer;
  Entidad& ent = lay.Entidades.Add(1, std::vector<Point>{{0, 0}}, &lay);
  ent.ThemeCode = 4;
  lay.CalculateThemeObject(ent);  // no classes yet: left alone
  EXPECT_EQ(ent.ThemeCode, 4);
  EXPECT_FALSE(lay.HasThematicMap());

  lay.ThematicMap().Add(0, 1, 0, 0, 0, kAnyValueClass, "");
  ent.ThemeValue = "whatever";
  lay.CalculateThemeObject(ent);  // only the default class
  EXPECT_EQ(ent.ThemeCode, 1);

  lay.ThematicFieldType = 5;
  lay.ThematicMap().Add(0, 1, 0, 0, 0, "0", "10");
  lay.ThematicMap().Add(0, 1, 0, 0, 0, "10", "20");
  struct Row {
    const char* value;
    int32_t code;
  };
  for (const Row r : {Row{"10", 2}, Row{"15 m", 3}, Row{"sin datos", 2}, Row{"25", 2}}) {
    ent.ThemeValue = r.value;  // "25" matches nothing: the previous code stays
    lay.CalculateThemeObject(ent);
    EXPECT_EQ(ent.ThemeCode, r.code) << r.value;
  }
  // After removing class "2", positions and keys part: the code is the position.
  lay.ThematicMap().Remove("2");
  ent.ThemeValue = "15";
  lay.CalculateThemeObject(ent);
  EXPECT_EQ(ent.ThemeCode, 2);

  lay.ThematicFieldType = 202;
  lay.ThematicMap().Clear();
  lay.ThematicMap().Add(0, 1, 0, 0, 0, kAnyValueClass, "");
  lay.ThematicMap().Add(0, 1, 0, 0, 0, "Centro", "");
  ent.ThemeValue = " Centro  ";
  lay.CalculateThemeObject(ent);
  EXPECT_EQ(ent.ThemeCode, 2);
}

TEST(Layer, ResetThemesAndClearLabelsTouchEveryElement) {
  layer lay;
  for (int32_t id = 1; id <= 3; ++id) {
    Entidad& e = lay.Entidades.Add(id, std::vector<Point>{{0, 0}}, &lay);
    e.ThemeValue = "x";
    e.ThemeCode = 3;
    e.IDLabel = lay.LabelIndex("Calle " + std::to_string(id % 2));
  }
  EXPECT_EQ(lay.Entidades.ItemByID(1)->IDLabel, lay.Entidades.ItemByID(3)->IDLabel);
  EXPECT_EQ(lay.Labels().count(), 2);
  lay.LabelCellSolicitada(1, 1);
  lay.ResetThemes();
  lay.ClearLabels();
  for (const Entidad& e : lay.Entidades) {
    EXPECT_EQ(e.ThemeValue, "");
    EXPECT_EQ(e.ThemeCode, 1);
    EXPECT_EQ(e.IDLabel, 0);
  }
  EXPECT_EQ(lay.Labels().count(), 0);
  EXPECT_FALSE(lay.IsLabelCellRequested(1, 1));
  EXPECT_EQ(lay.LabelIndex("Plaza"), 1);
}

TEST(Layer, LabelIndexReturnsTheFirstMatchOrAddsTheWord) {
  layer lay;
  EXPECT_EQ(lay.LabelIndex("Norte"), 1);
  EXPECT_EQ(lay.LabelIndex("Sur"), 2);
  EXPECT_EQ(lay.LabelIndex("Norte"), 1);
  EXPECT_EQ(lay.LabelIndex("norte"), 3);
  EXPECT_EQ(lay.LabelIndex(""), 4);
  EXPECT_EQ(lay.Labels().Item("3").word, "norte");
}

TEST(Layer, RequestThemesForCellsInRecordingOrder) {
  layer lay;
  lay.IDLayer = 42;
  lay.ThematicField = "USO";
  lay.CeldaSolicitada(5, 6);
  lay.CeldaSolicitada(1, 2);
  lay.CeldaSolicitada(5, 6);
  lay.LabelCellSolicitada(9, 9);  // label cells are not asked for
  RecordingCellRequester connection;
  lay.RequestThemesForCells(connection);
  using Request = RecordingCellRequester::Request;
  const std::vector<Request> expected = {{42, 5, 6, "USO"}, {42, 1, 2, "USO"}, {42, 5, 6, "USO"}};
  EXPECT_EQ(connection.requests, expected);

  // Through the viewer: nothing without one or without a connection.
  RecordingCellRequester viaViewer;
  lay.RequestThemesForCells();
  FakeViewer viewer;
  lay.parentMap = &viewer;
  lay.RequestThemesForCells();
  viewer.connection = &viaViewer;
  lay.RequestThemesForCells();
  EXPECT_EQ(viaViewer.requests, expected);
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
  EXPECT_DOUBLE_EQ(segment.distance, 1);
  EXPECT_EQ(segment.y0, -1);  // element 2, the later of two at distance 1
  EXPECT_EQ(segment.x1, 10);
  const auto vertex = lay.NearestVertexInLayer(0, 0);
  EXPECT_DOUBLE_EQ(vertex.distance, 1);
  EXPECT_EQ(vertex.Y, -1);
  lay.DrawnEntities = {2, 1};
  EXPECT_EQ(lay.NearestSegmentInLayer(2, 0).y0, 1);
  EXPECT_EQ(lay.NearestVertexInLayer(0, 0).Y, 1);
  EXPECT_EQ(lay.NearestVertexInLayer(9, -0.5).X, 10);
  EXPECT_EQ(lay.NearestVertexInLayer(9, -0.5).Y, -1);
}

TEST(Layer, DefaultThemeIsTheClassUnderKeyOne) {
  layer lay;
  EXPECT_THROW(lay.DefaultTheme(), std::out_of_range);
  Theme look;
  look.DrawColor = 0x00FF00;
  lay.SetDefaultTheme(look);
  EXPECT_EQ(lay.ThematicMap().Item("1").DrawColor, 0x00FF00u);
  lay.ThematicMap().Add(1, 1, 0, 0, 0, "a", "");
  EXPECT_EQ(lay.DefaultTheme().DrawColor, 0x00FF00u);
  lay.ThematicMap().Remove("1");
  EXPECT_THROW(lay.DefaultTheme(), std::out_of_range);
}

TEST(Layer, RemoveEntityAndLazyCollections) {
  layer lay;
  lay.Entidades.Add(8, std::vector<Point>{{0, 0}}, &lay);
  lay.RemoveEntity(8);
  lay.RemoveEntity(8);  // absent: nothing
  EXPECT_EQ(lay.Entidades.count(), 0);
  lay.Campos().Add("NOMBRE", 202);
  EXPECT_EQ(lay.Campos().count(), 1);  // created once, then kept
  Campos other;
  other.Add("A", 3);
  other.Add("B", 3);
  lay.SetCampos(std::move(other));
  EXPECT_EQ(lay.Campos().Item(2).Nombre, "B");
}

}  // namespace
}  // namespace orvenda
