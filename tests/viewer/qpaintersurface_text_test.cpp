// Labels on the Qt surface: the font "Arial" resolves to a metric-compatible face,
// text turns by its escapement about its top-left corner, and weight shows.
#include <gtest/gtest.h>

#include <QFontInfo>

#include "pixels.h"
#include "viewer/qpaintersurface.h"

namespace orvenda {
namespace {

using testing::CountColour;
using testing::InkBox;

const QRgb kQWhite = qRgb(255, 255, 255);

FontSpec Label(std::int32_t escapement, std::int32_t weight = kFontWeightNormal) {
  FontSpec f;
  f.face = "Arial";
  f.heightPoints = 7;
  f.weight = weight;
  f.escapement = escapement;
  return f;
}

struct Printed {
  QImage image;
  double w = 0;
  double h = 0;
};

Printed PrintAt(SurfacePoint at, const FontSpec& font, const std::string& text, Colour colour = 0) {
  QPainterSurface s(200, 200);
  s.SetBackColor(0xFFFFFF);
  s.Cls();
  s.SetFont(font);
  s.SetForeColor(colour);
  s.Print(at, text);
  return {s.Snapshot(), s.TextWidth(text), s.TextHeight(text)};
}

TEST(QPainterSurfaceText, ArialIsMetricCompatibleAndSizedInPixels) {
  QPainterSurface s(10, 10);
  const QFont font = s.QtFont(Label(0));
  EXPECT_EQ(font.pixelSize(), 9) << "7 points at 15 twips per pixel";
  const QString family = QFontInfo(font).family();
  EXPECT_TRUE(family == "Arial" || family == "Liberation Sans") << family.toStdString();
  EXPECT_EQ(s.QtFont(Label(0, kFontWeightBold)).weight(), QFont::Bold);

  s.SetFont(Label(0));
  const double h = s.TextHeight("Calle");
  EXPECT_GE(h, 9.0);
  EXPECT_LE(h, 12.0) << "a 9-pixel em with its leading";
  EXPECT_GT(s.TextWidth("Calle Mayor"), s.TextWidth("Calle"));
  EXPECT_DOUBLE_EQ(s.TextWidth(""), 0.0);
}

TEST(QPainterSurfaceText, FlatTextHangsBelowAndRightOfItsCorner) {
  const Printed p = PrintAt({20, 30}, Label(0), "Avenida");
  const QRect ink = InkBox(p.image, kQWhite);
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_GE(ink.left(), 20);
  EXPECT_GE(ink.top(), 30);
  EXPECT_LE(ink.right(), 20 + p.w + 1);
  EXPECT_LE(ink.bottom(), 30 + p.h);
  EXPECT_NEAR(ink.width(), p.w, 3) << "the measure matches the ink";
  EXPECT_GT(ink.width(), ink.height());
}

TEST(QPainterSurfaceText, TurnedTextRunsCounterClockwiseAboutItsCorner) {
  // At 90 degrees the text reads upwards from (100, 150): its cell lies right of
  // the corner and above it. At -90 it reads downwards, left of the corner.
  const Printed up = PrintAt({100, 150}, Label(900), "Avenida");
  const QRect a = InkBox(up.image, kQWhite);
  ASSERT_FALSE(a.isEmpty());
  EXPECT_GT(a.height(), a.width()) << "taller than wide";
  EXPECT_GE(a.left(), 99);
  EXPECT_LE(a.right(), 100 + up.h);
  EXPECT_LE(a.bottom(), 151);
  EXPECT_GE(a.top(), 150 - up.w - 1);

  const Printed down = PrintAt({100, 50}, Label(-900), "Avenida");
  const QRect b = InkBox(down.image, kQWhite);
  ASSERT_FALSE(b.isEmpty());
  EXPECT_GT(b.height(), b.width());
  EXPECT_LE(b.right(), 101);
  EXPECT_GE(b.left(), 100 - down.h - 1);
  EXPECT_GE(b.top(), 49);

  // 45 degrees: rising to the right, the ink spreads both ways.
  const Printed slant = PrintAt({50, 150}, Label(450), "Avenida Central");
  const QRect c = InkBox(slant.image, kQWhite);
  EXPECT_GT(c.width(), 30);
  EXPECT_GT(c.height(), 30);
  EXPECT_LT(c.top(), 150 - 30) << "it climbs";
}

TEST(QPainterSurfaceText, BoldInksMoreAndColourIsTheForeColour) {
  // Larger than a label, so that the strokes differ by more than hinting does.
  FontSpec regular = Label(0);
  regular.heightPoints = 14;
  FontSpec heavy = regular;
  heavy.weight = kFontWeightBold;
  const Printed normal = PrintAt({10, 10}, regular, "Plaza Mayor", 0x0000FF);
  const Printed bold = PrintAt({10, 10}, heavy, "Plaza Mayor", 0x0000FF);
  const int normalInk = CountColour(normal.image, normal.image.rect(), qRgb(255, 0, 0));
  const int boldInk = CountColour(bold.image, bold.image.rect(), qRgb(255, 0, 0));
  EXPECT_GT(normalInk, 20) << "red text, exact colour when not smoothed";
  EXPECT_GT(boldInk, normalInk * 1.2);
  EXPECT_EQ(CountColour(normal.image, normal.image.rect(), qRgb(255, 255, 255)) + normalInk,
            200 * 200)
      << "no other colours than ground and ink";
  EXPECT_GT(bold.w, normal.w) << "the bold face is wider";
}

TEST(QPainterSurfaceText, PrintingLeavesTheGroundBehindTheGlyphs) {
  QPainterSurface s(100, 40);
  s.SetBackColor(0xFF0000);  // blue ground
  s.Cls();
  s.SetFont(Label(0));
  s.Print({5, 5}, "Norte");
  const QImage& img = s.image();
  EXPECT_EQ(CountColour(img, img.rect(), qRgb(255, 255, 255)), 0) << "no white box behind text";
  EXPECT_GT(CountColour(img, img.rect(), qRgb(0, 0, 0)), 10);
}

}  // namespace
}  // namespace orvenda
