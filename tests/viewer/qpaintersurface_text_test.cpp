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
  QRect ink;
  double w = 0;
  double h = 0;
};

Printed PrintAt(SurfacePoint at, const FontSpec& font, const std::string& text,
                Colour ground = 0xFFFFFF, Colour colour = 0) {
  QPainterSurface s(200, 200);
  s.SetBackColor(ground);
  s.Cls();
  s.SetFont(font);
  s.SetForeColor(colour);
  s.Print(at, text);
  const QImage image = s.Snapshot();
  return {image, InkBox(image, image.pixel(0, 0)), s.TextWidth(text), s.TextHeight(text)};
}

TEST(QPainterSurfaceText, TextRunsCounterClockwiseAboutItsCorner) {
  const QFont font = QPainterSurface(1, 1).QtFont(Label(0));
  EXPECT_EQ(font.pixelSize(), 9) << "7 points at 15 twips per pixel";
  const QString family = QFontInfo(font).family();
  EXPECT_TRUE(family == "Arial" || family == "Liberation Sans") << family.toStdString();
  // Flat text hangs below and right of its corner, as wide as measured.
  const Printed flat = PrintAt({20, 30}, Label(0), "Avenida");
  EXPECT_GE(flat.ink.left(), 20);
  EXPECT_GE(flat.ink.top(), 30);
  EXPECT_LE(flat.ink.bottom(), 30 + flat.h);
  EXPECT_LE(flat.h, 12.0) << "a 9-pixel em with its leading";
  EXPECT_NEAR(flat.ink.width(), flat.w, 3) << "the measure matches the ink";
  // At 90 degrees the text reads upwards from (100, 150): its cell lies right of
  // the corner and above it. At -90 it reads downwards, left of the corner.
  const Printed up = PrintAt({100, 150}, Label(900), "Avenida");
  EXPECT_GT(up.ink.height(), up.ink.width()) << "taller than wide";
  EXPECT_GE(up.ink.left(), 99);
  EXPECT_LE(up.ink.right(), 100 + up.h);
  EXPECT_LE(up.ink.bottom(), 151);
  EXPECT_GE(up.ink.top(), 150 - up.w - 1);
  const Printed down = PrintAt({100, 50}, Label(-900), "Avenida");
  EXPECT_GT(down.ink.height(), down.ink.width());
  EXPECT_LE(down.ink.right(), 101);
  EXPECT_GE(down.ink.left(), 100 - down.h - 1);
  EXPECT_GE(down.ink.top(), 49);
  // 45 degrees: rising to the right.
  const Printed slant = PrintAt({50, 150}, Label(450), "Avenida Central");
  EXPECT_GT(slant.ink.width(), 30);
  EXPECT_LT(slant.ink.top(), 150 - 30) << "it climbs";
}

TEST(QPainterSurfaceText, BoldInksMoreInTheForeColourOverTheGround) {
  // Larger than a label, so that the strokes differ by more than hinting does.
  FontSpec regular = Label(0);
  regular.heightPoints = 14;
  FontSpec heavy = regular;
  heavy.weight = kFontWeightBold;
  const QRgb red = qRgb(255, 0, 0);
  const Printed normal = PrintAt({10, 10}, regular, "Plaza Mayor", 0xFF0000, 0x0000FF);
  const Printed bold = PrintAt({10, 10}, heavy, "Plaza Mayor", 0xFF0000, 0x0000FF);
  const int normalInk = CountColour(normal.image, normal.image.rect(), red);
  EXPECT_GT(normalInk, 20) << "red text, exact colour when not smoothed";
  EXPECT_EQ(CountColour(normal.image, normal.image.rect(), qRgb(0, 0, 255)) + normalInk, 200 * 200)
      << "no other colours than the blue ground and the ink: no box behind the text";
  EXPECT_GT(CountColour(bold.image, bold.image.rect(), red), normalInk * 1.2);
  EXPECT_GT(bold.w, normal.w) << "the bold face is wider";
}

}  // namespace
}  // namespace orvenda
