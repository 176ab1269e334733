#include "render/layerdrawing.h"

#include <gtest/gtest.h>

#include "drawing_fixture.h"
#include "render/entitydrawing.h"

namespace orvenda {
namespace {

using test::DrawingFixture;
using testing::PrimitiveKind;

// With ViewHeight 500 a limit L gives the threshold 0.5 / L: a view 1000 * L projected
// units high (0: no lower bound, 1e37: no upper one). The layer shows at its max
// threshold, labels and directions only past it; user choice 0 hides, 2 always shows.
TEST(Visibility, ZoomThresholdsAndUserChoices) {
  // access, user choice, zoom min, zoom max, scale, layer shown, labels shown
  const std::array<float, 7> rows[] = {
      {ALViewer, 1, 0, 1e37F, 1e-6F, 1, 1},    {ALViewer, 1, 0, 1e37F, 5e4F, 1, 1},
      {ALViewer, 1, 0, 0, 10, 0, 0},           {ALViewer, 1, 0, 0.5F, 1.0F, 1, 0},
      {ALViewer, 1, 0, 0.5F, 1.0001F, 1, 1},   {ALViewer, 1, 0, 0.5F, 0.999F, 0, 0},
      {ALViewer, 1, 0.25F, 1e37F, 2.0F, 1, 1}, {ALViewer, 1, 0.25F, 1e37F, 2.001F, 0, 0},
      {ALViewer, 0, 0, 1e37F, 1, 0, 0},        {ALViewer, 2, 0, 0, 1, 1, 1},
      {ALNoAccess, 2, 0, 1e37F, 1, 0, 1}};
  for (const auto& r : rows) {
    ViewTransform view;
    view.ViewHeight = 500;
    view.FactorEscala = r[4];
    layer lyr;
    lyr.AccessLevel = static_cast<CONSTACCESSLEVEL>(r[0]);
    lyr.SetUserVisibility(static_cast<int16_t>(r[1]));
    lyr.SetUserLabelVisibility(static_cast<int16_t>(r[1]));
    lyr.SetUserDirectionVisibility(static_cast<int16_t>(r[1]));
    lyr.ZoomMin = lyr.lblZoomMin = lyr.DirectionZoomMin = r[2];
    lyr.ZoomMax = lyr.lblZoomMax = lyr.DirectionZoomMax = r[3];
    const std::array<bool, 3> got = {CalculateVisibility(lyr, view),
                                     CalculateLabelVisibility(lyr, view),
                                     CalculateDirectionVisibility(lyr, view)};
    EXPECT_EQ(got, (std::array<bool, 3>{r[5] != 0, r[6] != 0, r[6] != 0})) << &r - rows;
  }
}

// New elements are drawn incrementally (the others repainted where they were); with
// nothing new everything is projected again. New elements are always classified, the
// others only when asked; without a thematic field every value is "0". Points: class 1
// draws 0x111111, class 2 (values 10..20) 0x222222.
TEST(LayerRedraw, IncrementalAfterNewElementsFullOtherwise) {
  DrawingFixture f;
  layer lyr;
  DrawingFixture::Define(lyr, pointlayer, 0, 1, 0x111111);
  lyr.ThematicMap().Add(0, 1, 0x222222, 0, 0, "10", "20");
  lyr.ThematicType = 1;
  lyr.ThematicFieldType = 3;
  DrawingFixture::Add(lyr, 1, {{10, 10}}).SetThemeValue("15");
  DrawingFixture::Add(lyr, 2, {{20, 10}});
  lyr.CalculateThemes = true;
  Redraw(lyr, f.Box(), f.painter);
  EXPECT_FALSE(lyr.CalculateThemes);
  // 4 arrives twice (in two cells): drawn once.
  for (const int32_t id : {5, 4, 3, 4}) DrawingFixture::Add(lyr, id, {{id * 10.0, 20}});
  lyr.Entidades.ItemByID(2)->SetThemeValue("12");
  f.view.ApplyExtents(0, 0, 40, 30);  // 5 lies outside: not drawn, not listed
  f.surface.Clear();
  Redraw(lyr, f.Box(), f.painter);
  EXPECT_EQ(lyr.DrawnEntities, (std::vector<int32_t>{1, 2, 4, 3}));
  EXPECT_EQ(f.Log("Dot"), (std::vector<std::string>{"Dot 100,500 #222222", "Dot 200,500 #111111",
                                                    "Dot 800,200 #111111", "Dot 600,200 #111111"}));
  f.surface.Clear();
  Redraw(lyr, f.Box(), f.painter);  // nothing new, classes kept
  EXPECT_EQ(f.Log("Dot")[1], "Dot 400,400 #111111");
  lyr.CalculateThemes = true;
  Redraw(lyr, f.Box(), f.painter);
  EXPECT_EQ(f.Log("Dot")[5], "Dot 400,400 #222222");
  lyr.ThematicType = 0;
  Redraw(lyr, f.Box(), f.painter);
  EXPECT_EQ(lyr.Entidades.ItemByID(1)->ThemeValue(), "0");
  lyr.DrawnEntities = {2};
  f.surface.Clear();
  RedrawWOCalc(lyr, f.Box(), f.painter);
  EXPECT_EQ(f.Log("Dot"), (std::vector<std::string>{"Dot 400,400 #222222"}));

  lyr.SetUserVisibility(0);  // hidden: a repaint keeps the list, a redraw empties it
  RedrawWOCalc(lyr, f.Box(), f.painter);
  EXPECT_EQ(lyr.DrawnEntities.size(), 1U);
  Redraw(lyr, f.Box(), f.painter);
  EXPECT_TRUE(lyr.DrawnEntities.empty());
}

struct ImageLog : ImagePainter {
  std::vector<std::string> calls;
  void DrawImage(std::int32_t n) override { calls.push_back("draw " + std::to_string(n)); }
  void RepaintImage(std::int32_t n) override { calls.push_back("repaint " + std::to_string(n)); }
};

TEST(LayerRedraw, ImageLayersAskTheViewerWhenAnImageIsOpen) {
  DrawingFixture f;
  ImageLog images;
  layer lyr;
  DrawingFixture::Define(lyr, ImageLayer, 0, 1, 0);
  lyr.DrawnEntities = {9};
  // No image painter, then no image opened, then image 3: only the last one draws.
  for (const auto& [painter, image] :
       {std::pair<ImagePainter*, int32_t>{nullptr, 3}, {&images, -1}, {&images, 3}}) {
    f.painter.Images = painter;
    lyr.ImageNumber = image;
    Redraw(lyr, f.Box(), f.painter);
    RedrawWOCalc(lyr, f.Box(), f.painter);
  }
  EXPECT_EQ(images.calls, (std::vector<std::string>{"draw 3", "repaint 3"}));
  EXPECT_EQ(lyr.DrawnEntities, (std::vector<int32_t>{9}));
}

// One label per text, at the first element, unless duplicates are allowed; elements
// whose class hides them (transparent lines; polygons without pen and fill) show none.
TEST(LabelPass, DuplicatesAndHiddenClasses) {
  // kind, duplicates allowed, pen style, fill style, labels written
  const std::tuple<TipoLayer, bool, int16_t, int16_t, std::string> rows[] = {
      {polylinelayer, false, 0, 0, " Main High"}, {polylinelayer, true, 0, 0, " Main Main High"},
      {polylinelayer, false, 5, 0, ""},           {polygonlayer, false, 5, 0, " Main High"},
      {polygonlayer, false, 0, 1, " Main High"},  {polygonlayer, false, 5, 1, ""}};
  for (const auto& [kind, duplicates, style, fillStyle, written] : rows) {
    DrawingFixture f;
    layer lyr;
    DrawingFixture::Define(lyr, kind, style, 1, 0, 0, fillStyle);
    lyr.SetUserLabelVisibility(2);
    lyr.lblAllowDuplicates = duplicates;
    const int32_t labels[] = {lyr.LabelIndex("Main"), lyr.LabelIndex("Main"),
                              lyr.LabelIndex("High"), 1000000000, -1};  // unknown
    for (int32_t id = 1; id <= 5; ++id) {
      DrawingFixture::Add(lyr, id, {{id * 10.0, 10}, {id * 10.0 + 10, 10}, {id * 10.0, 20}})
          .IDLabel = labels[id - 1];
    }
    Redraw(lyr, f.Box(), f.painter);
    f.surface.Clear();
    DrawLabels(lyr, f.Box(), f.painter);
    std::string texts;
    for (const auto& p : f.surface.Of(testing::PrimitiveKind::Print)) texts += " " + p.text;
    EXPECT_EQ(texts, written) << kind << " " << style << " " << fillStyle;
    EXPECT_TRUE(kind != polylinelayer || written.empty() ||
                f.Log("Print")[0] == "Print 150,494 \"Main\"")
        << "element 1, along its first segment: " << ::testing::PrintToString(f.Log("Print"));
    f.surface.Clear();
    lyr.Loaded = false;  // still visible, but not loaded: nothing is written
    DrawLabels(lyr, f.Box(), f.painter);
    EXPECT_TRUE(f.surface.log.empty()) << f.Joined();
  }
}

TEST(DirectionPass, OnlyPolylinesInTheirZoomRange) {
  // kind, user choice, loaded, arrows
  const std::tuple<TipoLayer, int16_t, bool, std::size_t> rows[] = {{polylinelayer, 2, true, 2},
                                                                    {3, 2, true, 2},
                                                                    {polygonlayer, 2, true, 0},
                                                                    {polylinelayer, 0, true, 0},
                                                                    {polylinelayer, 2, false, 0}};
  for (const auto& [kind, user, loaded, arrows] : rows) {
    DrawingFixture f;
    layer lyr;
    DrawingFixture::Define(lyr, kind, 0, 1, 0);
    lyr.Loaded = loaded;
    lyr.SetUserDirectionVisibility(user);
    DrawingFixture::Add(lyr, 1, {{10, 10}, {20, 10}, {20, 40}}).Direction = 1;
    DrawingFixture::Add(lyr, 2, {{50, 10}, {60, 10}});  // no direction
    Redraw(lyr, f.Box(), f.painter);
    f.surface.Clear();
    DrawDirections(lyr, f.Box(), f.painter);
    const auto drawn = f.surface.Of(PrimitiveKind::Polygon);
    ASSERT_EQ(drawn.size(), arrows) << kind << " " << user;
    // One arrow a segment, its tip past the segment's middle the way the line runs.
    const std::vector<PixelPoint> tips = {{450, 500}, {200, 50}};
    for (std::size_t i = 0; i < drawn.size(); ++i) EXPECT_EQ(drawn[i].pixels[0], tips[i]) << i;
  }
}

}  // namespace
}  // namespace orvenda
