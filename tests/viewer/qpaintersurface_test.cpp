// The Qt surface checked pixel by pixel: every fill style, the pen patterns, dots,
// rings against Qt's own painter and at a scale Qt cannot fill, and labels.
#include "viewer/qpaintersurface.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "pixels.h"
#include "viewer/qtcolour.h"

namespace orvenda {
namespace {

using testing::CountColour;
using testing::InkBox;
using testing::Is;

constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kRed = 0x0000FF;   // Windows value of pure red
constexpr Colour kBlue = 0xFF0000;  // and of pure blue
const QRgb kQWhite = qRgb(255, 255, 255);
const QRgb kQRed = qRgb(255, 0, 0);
const QRgb kQBlue = qRgb(0, 0, 255);
const QRect kInside(14, 14, 32, 32);  // well inside the square below, clear of its edges

// A blue surface with a red fill in the given style over the square 10..49 and
// no outline, so that only the brush shows.
QImage FillSquare(std::int32_t fillStyle) {
  QPainterSurface s(60, 60);
  s.SetBackColor(kBlue);
  s.Cls();
  s.SetDrawStyle(drawstyle::kTransparent);
  s.SetFillColor(kRed);
  s.SetFillStyle(fillStyle);
  s.Polygon({{10, 10}, {50, 10}, {50, 50}, {10, 50}});
  return s.Snapshot();
}

// Share of the red pixels whose neighbour one step along (dx, dy) is red too.
double FollowRatio(const QImage& img, int dx, int dy) {
  int red = 0;
  int followed = 0;
  for (int y = 15; y < 45; ++y) {
    for (int x = 15; x < 45; ++x) {
      if (!Is(img, x, y, kQRed)) continue;
      ++red;
      if (Is(img, x + dx, y + dy, kQRed)) ++followed;
    }
  }
  return red == 0 ? 0.0 : static_cast<double>(followed) / red;
}

TEST(QPainterSurfaceFill, EveryFillStyleOverTheGround) {
  struct Row {
    const char* name;
    std::int32_t style;
    int redRows, redColumns;  // wholly red rows and columns of the inside
    int minRed, maxRed;       // red pixels of the inside
    double rising, falling;   // FollowRatio up and down to the right, or -1
  };
  const Row rows[] = {
      {"solid", fillstyle::kSolid, 32, 32, 1024, 1024, -1, -1},
      {"transparent", fillstyle::kTransparent, 0, 0, 0, 0, -1, -1},
      {"unknown code", 42, 0, 0, 0, 0, -1, -1},
      {"horizontal", fillstyle::kHorizontalLine, 4, 0, 128, 128, -1, -1},
      {"vertical", fillstyle::kVerticalLine, 0, 4, 128, 128, -1, -1},
      {"upward diagonal", fillstyle::kUpwardDiagonal, 0, 0, 102, 256, 1, 0},
      {"downward diagonal", fillstyle::kDownwardDiagonal, 0, 0, 102, 256, 0, 1},
      {"cross", fillstyle::kCross, 4, 4, 240, 512, -1, -1},
      {"diagonal cross", fillstyle::kDiagonalCross, 0, 0, 200, 512, 0.5, 0.5},
  };
  for (const Row& r : rows) {
    const QImage img = FillSquare(r.style);
    int redRows = 0;
    int redColumns = 0;
    for (int i = 14; i < 46; ++i) {
      redRows += CountColour(img, {14, i, 32, 1}, kQRed) == 32 ? 1 : 0;
      redColumns += CountColour(img, {i, 14, 1, 32}, kQRed) == 32 ? 1 : 0;
    }
    EXPECT_EQ(redRows, r.redRows) << r.name;
    EXPECT_EQ(redColumns, r.redColumns) << r.name;
    const int red = CountColour(img, kInside, kQRed);
    EXPECT_GE(red, r.minRed) << r.name;
    EXPECT_LE(red, r.maxRed) << r.name;
    EXPECT_EQ(red + CountColour(img, kInside, kQBlue), 32 * 32) << r.name << ": ground between";
    EXPECT_TRUE(Is(img, 5, 5, kQBlue)) << r.name << ": nothing outside the polygon";
    EXPECT_NEAR(r.rising < 0 ? -1 : FollowRatio(img, 1, -1), r.rising, 0.1) << r.name;
    EXPECT_NEAR(r.falling < 0 ? -1 : FollowRatio(img, 1, 1), r.falling, 0.1) << r.name;
  }
}

// Lengths of the alternating runs (on, off, on, ...) of red along row y, from the
// first red pixel up to x = `end`.
std::vector<int> Runs(const QImage& img, int y, int end) {
  std::vector<int> runs;
  int x = 0;
  while (x < end && !Is(img, x, y, kQRed)) ++x;
  bool on = true;
  int length = 0;
  for (; x < end; ++x) {
    if (Is(img, x, y, kQRed) == on) {
      ++length;
    } else {
      runs.push_back(length);
      on = !on;
      length = 1;
    }
  }
  return runs;
}

QImage LineIn(std::int32_t style, std::int32_t width) {
  QPainterSurface s(200, 20);
  s.SetBackColor(kWhite);
  s.Cls();
  s.SetDrawStyle(style);
  s.SetDrawWidth(width);
  s.Line({0, 10}, {199, 10}, kRed);
  return s.Snapshot();
}

TEST(QPainterSurfacePen, ThinPensDrawTheWindowsPatternsAndWidePensAreSolid) {
  struct Row {
    const char* name;
    std::int32_t style;
    std::vector<int> period;  // none: solid
  };
  const Row rows[] = {
      {"Dash", drawstyle::kDash, {18, 6}},
      {"Dot", drawstyle::kDot, {3, 3}},
      {"Dash-Dot", drawstyle::kDashDot, {9, 6, 3, 6}},
      {"Dash-Dot-Dot", drawstyle::kDashDotDot, {9, 3, 3, 3, 3, 3}},
      {"solid", drawstyle::kSolid, {}},
      {"unknown code: solid", 17, {}},
  };
  for (const auto& r : rows) {
    const QImage img = LineIn(r.style, 1);
    const std::vector<int> runs = Runs(img, 10, 150);
    const int solid = r.period.empty() ? CountColour(img, {0, 10, 150, 1}, kQRed) : 150;
    EXPECT_EQ(solid, 150) << r.name;
    ASSERT_GE(runs.size(), 2 * r.period.size()) << r.name;
    for (std::size_t i = 0; i < 2 * r.period.size(); ++i) {
      EXPECT_NEAR(runs[i], r.period[i % r.period.size()], 1) << r.name << " run " << i;
    }
    EXPECT_EQ(CountColour(img, {0, 0, 200, 10}, kQRed), 0) << r.name << ": one pixel thick";
  }
  const QImage wide = LineIn(drawstyle::kDash, 3);
  EXPECT_EQ(CountColour(wide, {5, 9, 150, 3}, kQRed), 450) << "three pixels thick, no gaps";
  EXPECT_TRUE(InkBox(LineIn(drawstyle::kTransparent, 1), kQWhite).isEmpty());
}

TEST(QPainterSurfacePen, DotsArePixelsOrDiscs) {
  QPainterSurface s(50, 50);
  s.SetBackColor(kWhite);
  s.Cls();
  s.Dot({10.5f, 20.5f}, kRed);  // halves to even: pixel (10, 20)
  EXPECT_EQ(InkBox(s.image(), kQWhite), QRect(10, 20, 1, 1));
  s.Cls();
  s.SetDrawWidth(7);
  s.Dot({25, 25}, kRed);
  const QRect box = InkBox(s.image(), kQWhite);
  EXPECT_NEAR(box.width(), 7, 1);
  EXPECT_NEAR(box.height(), 7, 1);
  EXPECT_NEAR(box.center().x(), 25, 1);
  const int area = CountColour(s.image(), s.image().rect(), kQRed);
  EXPECT_GT(area, 30) << "a disc of diameter 7 covers about 38 pixels";
  EXPECT_LT(area, 49) << "a disc, not a square";
}

// Smooth solid rings with a thin outline are written straight into the picture,
// not through the painter; Qt's own drawing of the same rings is the picture
// they must look like.
TEST(QPainterSurfaceAntialiasing, PlainRingsLookAsThePainterWouldDrawThem) {
  std::mt19937 random(3);
  std::uniform_int_distribution<int> xs(-20, 140);
  std::uniform_int_distribution<int> ys(-20, 110);
  QPainterSurface ours(120, 90);
  ours.SetAntialiasing(true);
  ours.SetBackColor(kWhite);
  ours.Cls();
  QImage theirs(120, 90, QImage::Format_RGB32);
  theirs.fill(kQWhite);
  QPainter painter(&theirs);
  painter.setRenderHint(QPainter::Antialiasing);
  for (int n = 0; n < 12; ++n) {
    std::vector<PixelPoint> ring(3 + random() % 6);
    QPolygonF polygon;
    for (PixelPoint& p : ring) {
      p = {xs(random), ys(random)};
      polygon << QPointF(p.x + 0.5, p.y + 0.5);
    }
    const Colour fill = RgbColour(40 * n % 256, 200, 255 - 20 * n);
    const Colour line = RgbColour(20 * n, 0, 60);
    const bool hollow = n % 4 == 0;
    ours.SetFillStyle(hollow ? fillstyle::kTransparent : fillstyle::kSolid);
    ours.SetFillColor(fill);
    ours.SetForeColor(line);
    ours.Polygon(ring);
    painter.setPen(QPen(ToQColor(line), 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.setBrush(hollow ? QBrush(Qt::NoBrush) : QBrush(ToQColor(fill)));
    painter.drawPolygon(polygon, Qt::OddEvenFill);
  }
  painter.end();
  // Outlines may fall a shade differently on a pixel; the picture must agree.
  long total = 0;
  int far = 0;
  for (int y = 0; y < 90; ++y) {
    for (int x = 0; x < 120; ++x) {
      const QRgb a = ours.image().pixel(x, y);
      const QRgb b = theirs.pixel(x, y);
      const int d = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                              std::abs(qBlue(a) - qBlue(b))});
      total += d;
      far += d > 100 ? 1 : 0;
    }
  }
  EXPECT_LT(static_cast<double>(total) / (120 * 90), 4.0) << "mean difference per pixel";
  EXPECT_LT(far, 120 * 90 / 100) << "pixels far from the painter's";
}

TEST(QPainterSurfaceFill, RingsOfHundredsOfThousandsOfVerticesAreFilledWhole) {
  // A coastline at a small scale: a ring zigzagging between two circles, 300,000
  // vertices. Qt's own fill gives up on parts of such rings ("Polygon too complex
  // for filling.") and left holes in the country.
  std::vector<PixelPoint> ring;
  constexpr int kVertices = 300000;
  for (int i = 0; i < kVertices; ++i) {
    const double a = 2 * 3.14159265358979 * i / kVertices;
    const double r = i % 2 == 0 ? 90 : 60;
    ring.push_back({static_cast<std::int32_t>(std::lround(100 + r * std::cos(a))),
                    static_cast<std::int32_t>(std::lround(100 + r * std::sin(a)))});
  }
  for (const bool smooth : {false, true}) {
    QPainterSurface s(200, 200);
    s.SetAntialiasing(smooth);
    s.SetBackColor(kWhite);
    s.Cls();
    s.SetFillStyle(fillstyle::kSolid);
    s.SetFillColor(kRed);
    s.SetForeColor(kBlue);
    s.Polygon(ring);
    int inner = 0;
    int red = 0;
    for (int y = 0; y < 200; ++y) {
      for (int x = 0; x < 200; ++x) {
        if ((x - 100) * (x - 100) + (y - 100) * (y - 100) >= 55 * 55) continue;
        ++inner;
        red += Is(s.image(), x, y, kQRed) ? 1 : 0;
      }
    }
    EXPECT_EQ(red, inner) << (smooth ? "smooth" : "hard-edged");
  }
}

// Labels: the font "Arial" resolves to a metric-compatible face, text turns by
// its escapement about its top-left corner, and weight shows.
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
  // the corner and above it.
  const Printed up = PrintAt({100, 150}, Label(900), "Avenida");
  EXPECT_GT(up.ink.height(), up.ink.width()) << "taller than wide";
  EXPECT_GE(up.ink.left(), 99);
  EXPECT_LE(up.ink.right(), 100 + up.h);
  EXPECT_LE(up.ink.bottom(), 151);
  EXPECT_GE(up.ink.top(), 150 - up.w - 1);
  // 45 degrees: rising to the right.
  const Printed slant = PrintAt({50, 150}, Label(450), "Avenida Central");
  EXPECT_GT(slant.ink.width(), 30);
  EXPECT_LT(slant.ink.top(), 150 - 30) << "it climbs";
}

TEST(QPainterSurfaceText, BoldInksMoreInTheForeColourOverTheGround) {
  FontSpec heavy = Label(0, kFontWeightBold);
  const Printed normal = PrintAt({10, 10}, Label(0), "Plaza Mayor", 0xFF0000, 0x0000FF);
  const Printed bold = PrintAt({10, 10}, heavy, "Plaza Mayor", 0xFF0000, 0x0000FF);
  const int ink = CountColour(normal.image, normal.image.rect(), kQRed);
  EXPECT_GT(ink, 20) << "red text, exact colour when not smoothed";
  EXPECT_EQ(CountColour(normal.image, normal.image.rect(), kQBlue) + ink, 200 * 200)
      << "no other colours than the blue ground and the ink: no box behind the text";
  EXPECT_GT(bold.w, normal.w) << "the bold face is wider";
}

}  // namespace
}  // namespace orvenda
