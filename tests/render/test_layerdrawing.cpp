#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drawing_fixture.h"
#include "render/entitydrawing.h"
#include "render/layerdrawing.h"

namespace orvenda {
namespace {

using test::Joined;
using testing::PrimitiveKind;

// With ViewHeight 500 a limit L gives the threshold 0.5 / L: a view 1000 * L
// projected units high.
TEST(Visibility, ZoomThresholdsAndUserChoices) {
  struct Row {
    const char* name;
    CONSTACCESSLEVEL access;
    int16_t user;
    float zoomMin, zoomMax;
    float scale;
    bool wantLayer, wantLabel;
  };
  const Row rows[] = {
      {"no limits, far out", ALViewer, 1, 0, 1e37F, 1e-6F, true, true},
      {"no limits, far in", ALViewer, 1, 0, 1e37F, 5e4F, true, true},
      {"max 0 hides", ALViewer, 1, 0, 0, 10, false, false},
      {"exactly at the max threshold", ALViewer, 1, 0, 0.5F, 1.0F, true, false},
      {"just above the max threshold", ALViewer, 1, 0, 0.5F, 1.0001F, true, true},
      {"below the max threshold", ALViewer, 1, 0, 0.5F, 0.999F, false, false},
      {"exactly at the min threshold", ALViewer, 1, 0.25F, 1e37F, 2.0F, true, true},
      {"beyond the min threshold", ALViewer, 1, 0.25F, 1e37F, 2.001F, false, false},
      {"hidden by the user", ALViewer, 0, 0, 1e37F, 1, false, false},
      {"always shown", ALViewer, 2, 0, 0, 1, true, true},
      {"no access, always shown", ALNoAccess, 2, 0, 1e37F, 1, false, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ViewTransform view;
    view.ViewHeight = 500;
    view.FactorEscala = r.scale;
    layer lyr;
    lyr.AccessLevel = r.access;
    lyr.SetUserVisibility(r.user);
    lyr.ZoomMin = r.zoomMin;
    lyr.ZoomMax = r.zoomMax;
    lyr.SetUserLabelVisibility(r.user);
    lyr.lblZoomMin = r.zoomMin;
    lyr.lblZoomMax = r.zoomMax;
    lyr.SetUserDirectionVisibility(r.user);
    lyr.DirectionZoomMin = r.zoomMin;
    lyr.DirectionZoomMax = r.zoomMax;
    EXPECT_EQ(CalculateVisibility(lyr, view), r.wantLayer);
    EXPECT_EQ(CalculateLabelVisibility(lyr, view), r.wantLabel);
    EXPECT_EQ(CalculateDirectionVisibility(lyr, view), r.wantLabel);
  }
  ViewTransform view;
  view.ViewHeight = 500;
  EXPECT_EQ(ZoomThreshold(0, view), 99999);
  EXPECT_EQ(ZoomThreshold(1e37F, view), 0);
  EXPECT_DOUBLE_EQ(ZoomThreshold(0.5F, view), 1.0);
}

struct RedrawFixture : test::DrawingFixture {
  RedrawFixture() {
    Define(lyr, pointlayer, 0, 1, 0x111111);
    lyr.ThematicMap().Add(0, 1, 0x222222, 0, 0, "10", "20");  // class 2: 10..20
    Add(lyr, 1, {{10, 10}});
    Add(lyr, 2, {{20, 10}});
  }
  std::vector<Colour> DotColours() const {
    std::vector<Colour> out;
    for (const auto& d : surface.Of(PrimitiveKind::Dot)) out.push_back(d.colour);
    return out;
  }
  layer lyr;
};

TEST(LayerRedraw, IncrementalAfterNewElementsFullOtherwise) {
  RedrawFixture f;
  Redraw(f.lyr, f.Box(), f.painter);  // the two elements are new: incremental, nothing cached
  EXPECT_EQ(f.lyr.DrawnEntities, (std::vector<int32_t>{1, 2}));
  EXPECT_FALSE(f.lyr.CalculateThemes);
  for (const int32_t id : {5, 4, 3}) {
    test::DrawingFixture::Add(f.lyr, id, {{static_cast<double>(id) * 10, 20}});
  }
  // Moving the view shows which elements were projected again: the old ones
  // repaint where they were, the three new ones land in the new view.
  f.view.ApplyExtents(0, 0, 40, 30);
  f.surface.Clear();
  Redraw(f.lyr, f.Box(), f.painter);
  // Element 5 lies outside the new view: not drawn, not listed.
  EXPECT_EQ(f.lyr.DrawnEntities, (std::vector<int32_t>{1, 2, 4, 3}));
  const auto dots = f.surface.Of(PrimitiveKind::Dot);
  ASSERT_EQ(dots.size(), 4U) << Joined(f.surface.log);
  EXPECT_EQ(dots[0].points[0], (SurfacePoint{100, 500}));
  EXPECT_EQ(dots[1].points[0], (SurfacePoint{200, 500}));
  EXPECT_EQ(dots[2].points[0], (SurfacePoint{800, 200}));
  EXPECT_EQ(dots[3].points[0], (SurfacePoint{600, 200}));
  // Nothing new: a full redraw projects everything for the current view.
  f.surface.Clear();
  Redraw(f.lyr, f.Box(), f.painter);
  EXPECT_EQ(f.lyr.DrawnEntities, (std::vector<int32_t>{1, 2, 4, 3}));
  EXPECT_EQ(f.surface.Of(PrimitiveKind::Dot)[0].points[0], (SurfacePoint{200, 400}));
}

TEST(LayerRedraw, ClassifiesNewElementsAlwaysAndAllOnlyWhenAsked) {
  RedrawFixture f;
  f.lyr.ThematicType = 1;
  f.lyr.ThematicFieldType = 3;  // numeric
  f.lyr.Entidades.ItemByID(1)->ThemeValue = "15";
  Redraw(f.lyr, f.Box(), f.painter);  // new elements are classified
  EXPECT_EQ(f.DotColours(), (std::vector<Colour>{0x222222, 0x111111}));
  f.lyr.Entidades.ItemByID(2)->ThemeValue = "12";
  f.surface.Clear();
  Redraw(f.lyr, f.Box(), f.painter);  // full, CalculateThemes false: classes kept
  EXPECT_EQ(f.DotColours(), (std::vector<Colour>{0x222222, 0x111111}));
  f.lyr.CalculateThemes = true;
  f.surface.Clear();
  Redraw(f.lyr, f.Box(), f.painter);
  EXPECT_EQ(f.DotColours(), (std::vector<Colour>{0x222222, 0x222222}));
  EXPECT_FALSE(f.lyr.CalculateThemes);
  // Without a thematic field every value becomes "0".
  f.lyr.ThematicType = 0;
  Redraw(f.lyr, f.Box(), f.painter);
  EXPECT_EQ(f.lyr.Entidades.ItemByID(1)->ThemeValue, "0");
}

TEST(LayerRedraw, HiddenOrElsewhereEmptiesTheDrawnList) {
  RedrawFixture f;
  Redraw(f.lyr, f.Box(), f.painter);
  f.lyr.SetUserVisibility(0);
  RedrawWOCalc(f.lyr, f.Box(), f.painter);  // keeps the list
  EXPECT_EQ(f.lyr.DrawnEntities.size(), 2U);
  EXPECT_FALSE(f.lyr.Visible);
  Redraw(f.lyr, f.Box(), f.painter);
  EXPECT_TRUE(f.lyr.DrawnEntities.empty());
  f.lyr.SetUserVisibility(1);
  Redraw(f.lyr, f.Box(), f.painter);
  f.view.ApplyExtents(-80, -60, -70, -50);
  Redraw(f.lyr, f.Box(), f.painter);
  EXPECT_TRUE(f.lyr.DrawnEntities.empty());
}

TEST(LayerRedraw, RedrawWOCalcRepaintsTheDrawnList) {
  RedrawFixture f;
  Redraw(f.lyr, f.Box(), f.painter);
  f.lyr.DrawnEntities = {2};
  f.surface.Clear();
  RedrawWOCalc(f.lyr, f.Box(), f.painter);
  ASSERT_EQ(f.surface.Of(PrimitiveKind::Dot).size(), 1U);
  EXPECT_EQ(f.surface.Of(PrimitiveKind::Dot)[0].points[0], (SurfacePoint{200, 500}));
}

struct ImageLog : ImagePainter {
  std::vector<std::string> calls;
  void DrawImage(std::int32_t n) override { calls.push_back("draw " + std::to_string(n)); }
  void RepaintImage(std::int32_t n) override { calls.push_back("repaint " + std::to_string(n)); }
};

TEST(LayerRedraw, ImageLayersAskTheViewer) {
  test::DrawingFixture f;
  ImageLog images;
  f.painter.Images = &images;
  layer lyr;
  lyr.Tipo = ImageLayer;
  lyr.AccessLevel = ALViewer;
  lyr.ZoomMax = 1e37F;
  lyr.DrawnEntities = {9};
  Redraw(lyr, f.Box(), f.painter);  // no image opened
  lyr.ImageNumber = 3;
  Redraw(lyr, f.Box(), f.painter);
  RedrawWOCalc(lyr, f.Box(), f.painter);
  EXPECT_EQ(images.calls, (std::vector<std::string>{"draw 3", "repaint 3"}));
  EXPECT_EQ(lyr.DrawnEntities, (std::vector<int32_t>{9}));
}

TEST(LabelPass, DuplicatesAndCandidates) {
  struct Row {
    const char* name;
    bool allowDuplicates;
    int16_t style;
    std::vector<std::string> want;
  };
  const Row rows[] = {
      {"one label per text, at the first element", false, 0, {"Main St", "High St"}},
      {"every element when duplicates are allowed", true, 0, {"Main St", "Main St", "High St"}},
      {"transparent lines show no labels", false, 5, {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    test::DrawingFixture f;
    layer lyr;
    test::DrawingFixture::Define(lyr, polylinelayer, r.style, 1, 0);
    lyr.SetUserLabelVisibility(2);
    lyr.lblAllowDuplicates = r.allowDuplicates;
    const int32_t main = lyr.LabelIndex("Main St");
    const int32_t high = lyr.LabelIndex("High St");
    test::DrawingFixture::Add(lyr, 1, {{10, 10}, {20, 10}}).IDLabel = main;
    test::DrawingFixture::Add(lyr, 2, {{20, 10}, {30, 10}}).IDLabel = main;
    test::DrawingFixture::Add(lyr, 3, {{30, 10}, {30, 20}}).IDLabel = high;
    test::DrawingFixture::Add(lyr, 4, {{30, 20}, {30, 30}}).IDLabel = 77;  // unknown
    Redraw(lyr, f.Box(), f.painter);
    f.surface.Clear();
    DrawLabels(lyr, f.Box(), f.painter);
    std::vector<std::string> texts;
    for (const auto& p : f.surface.Of(PrimitiveKind::Print)) texts.push_back(p.text);
    EXPECT_EQ(texts, r.want);
    if (!r.want.empty()) {
      const auto first = f.surface.Of(PrimitiveKind::Print)[0];
      EXPECT_NEAR(first.points[0].y, 500 - 6, 1e-3) << "on element 1, not 2";
      EXPECT_NEAR(first.points[0].x, 150, 1e-3);
    }
  }
}

TEST(DirectionPass, OnlyPolylinesInTheirZoomRange) {
  struct Row {
    const char* name;
    TipoLayer kind;
    int16_t user;
    bool loaded;
    size_t wantArrows;
  };
  const Row rows[] = {
      {"polyline, always", polylinelayer, 2, true, 2},
      {"kind 3 counts as polyline", 3, 2, true, 2},
      {"polygons never get arrows", polygonlayer, 2, true, 0},
      {"hidden directions", polylinelayer, 0, true, 0},
      {"layer not loaded", polylinelayer, 2, false, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    test::DrawingFixture f;
    layer lyr;
    test::DrawingFixture::Define(lyr, r.kind, 0, 1, 0);
    lyr.Loaded = r.loaded;
    lyr.SetUserDirectionVisibility(r.user);
    test::DrawingFixture::Add(lyr, 1, {{10, 10}, {20, 10}, {20, 40}}).Direction = 1;
    test::DrawingFixture::Add(lyr, 2, {{50, 10}, {60, 10}});  // no direction
    Redraw(lyr, f.Box(), f.painter);
    f.surface.Clear();
    DrawDirections(lyr, f.Box(), f.painter);
    EXPECT_EQ(f.surface.Of(PrimitiveKind::Polygon).size(), r.wantArrows) << Joined(f.surface.log);
  }
}

}  // namespace
}  // namespace orvenda
