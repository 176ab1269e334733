// A small known map drawn by the layer redraw and the label and direction
// passes onto the Qt surface: checked pixel by pixel where the answer is known
// (fills, hatches, dots, the highlight) and as a whole against the committed
// reference (tests/viewer/data/map_reference.png) within a tolerance for font
// rasterisers. To redraw it after a deliberate change, run with
// ORVENDA_WRITE_REFERENCE=1 and look at it.
#include <gtest/gtest.h>

#include "model/layer.h"
#include "pixels.h"
#include "render/entitydrawing.h"
#include "render/layerdrawing.h"
#include "render/viewpainter.h"
#include "render/viewtransform.h"
#include "viewer/qpaintersurface.h"

namespace orvenda {
namespace {

const char* const kReference = ORVENDA_VIEWER_TEST_DATA "/map_reference.png";
constexpr Colour kGround = RgbColour(250, 250, 240);
constexpr Colour kPark = RgbColour(0, 160, 0);
constexpr Colour kLake = RgbColour(0, 0, 200);
constexpr Colour kStreet = RgbColour(120, 60, 0);
constexpr Colour kStop = RgbColour(200, 0, 0);

void Common(layer& lyr, TipoLayer kind) {
  lyr.Tipo = kind;
  lyr.AccessLevel = ALViewer;
  lyr.Loaded = true;
  lyr.ZoomMax = 1e37F;
}

void Add(layer& lyr, int32_t id, std::vector<Point> points, int32_t themeCode = 1) {
  lyr.Entidades.Add(id, points, &lyr).ThemeCode = themeCode;
}

QRgb Q(Colour c) { return qRgb(ColourRed(c), ColourGreen(c), ColourBlue(c)); }

TEST(MapDrawing, KnownPixelsTheCommittedPictureAndTheHighlight) {
  // Geographic view 0..24 x 0..16 degrees on 240 x 160 pixels: 10 pixels a degree.
  QPainterSurface surface{240, 160};
  ViewTransform view;
  layer areas, streets, stops;
  view.ViewWidth = 240;
  view.ViewHeight = 160;
  view.ApplyExtents(0, 0, 24, 16);
  surface.SetBackColor(kGround);
  surface.Cls();

  Common(areas, polygonlayer);
  areas.ThematicMap().Add(0, 1, 0, kPark, fillstyle::kSolid, kAnyValueClass, "");
  areas.ThematicMap().Add(0, 2, kLake, kLake, fillstyle::kCross, "", "");
  Add(areas, 1, {{1, 1}, {9, 1}, {9, 7}, {1, 7}});         // park: solid, black edge
  Add(areas, 2, {{12, 1}, {22, 1}, {22, 7}, {12, 7}}, 2);  // lake: cross-hatched

  Common(streets, polylinelayer);
  streets.ThematicMap().Add(0, 3, kStreet, 0, fillstyle::kTransparent, kAnyValueClass, "");
  streets.SetUserLabelVisibility(2);
  streets.SetUserDirectionVisibility(2);
  const int32_t main = streets.LabelIndex("Main St");
  Add(streets, 10, {{1, 11}, {12, 11}});
  Add(streets, 11, {{12, 11}, {23, 11}});
  streets.Entidades.ItemByID(10)->IDLabel = main;
  streets.Entidades.ItemByID(11)->IDLabel = main;  // one label for both

  Common(stops, pointlayer);
  stops.ThematicMap().Add(0, 5, kStop, 0, fillstyle::kTransparent, kAnyValueClass, "");
  Add(stops, 20, {{4, 14}});
  Add(stops, 21, {{20, 14}});

  ViewPainter painter(surface, view);
  for (layer* lyr : {&areas, &streets, &stops}) Redraw(*lyr, view.ViewExtents, painter);
  for (layer* lyr : {&areas, &streets, &stops}) DrawLabels(*lyr, view.ViewExtents, painter);
  for (layer* lyr : {&areas, &streets, &stops}) DrawDirections(*lyr, view.ViewExtents, painter);
  const QImage& img = surface.image();
  using testing::Is;
  EXPECT_TRUE(Is(img, 50, 120, Q(kPark))) << "inside the park";
  EXPECT_TRUE(Is(img, 10, 120, 0)) << "the park's left edge, in black";
  EXPECT_TRUE(Is(img, 5, 120, Q(kGround))) << "outside the park";
  // The cross hatch leaves ground between its lines.
  const QRect lakeInside(130, 100, 80, 40);
  EXPECT_GT(testing::CountColour(img, lakeInside, Q(kLake)), 200);
  EXPECT_GT(testing::CountColour(img, lakeInside, Q(kGround)), 1000);
  // Dots of 5 pixels at the stops (y = 160 - 140 = 20).
  EXPECT_TRUE(Is(img, 40, 20, Q(kStop)));
  EXPECT_TRUE(Is(img, 200, 20, Q(kStop)));
  EXPECT_TRUE(Is(img, 40, 26, Q(kGround)));
  // The street, 3 pixels wide at y = 50, and the label written once above
  // and below it.
  EXPECT_TRUE(Is(img, 20, 50, Q(kStreet)));
  EXPECT_EQ(streets.DrawnEntities, (std::vector<int32_t>{10, 11}));
  // No direction codes: no arrows.
  EXPECT_EQ(testing::CountColour(img, img.rect(), qRgb(255, 255, 255)), 0);
  testing::ExpectMatchesReference(surface.Snapshot(), kReference);

  resaltar(areas, 1, view.ViewExtents, painter);
  EXPECT_TRUE(Is(img, 50, 120, qRgb(0, 0xC0, 0xC0))) << "highlight fill 0xC0C000";
  EXPECT_TRUE(Is(img, 10, 120, qRgb(255, 0, 0))) << "highlight edge, red";
}

}  // namespace
}  // namespace orvenda
