// The Qt surface checked pixel by pixel: fill and pen styles against the known
// Windows patterns, the rings and dots it writes itself against Qt's own painter,
// a ring too large for Qt's fill, and the turn of a label.
#include "viewer/qpaintersurface.h"

#include <gtest/gtest.h>

#include <QPainter>
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

constexpr Colour kRed = 0x0000FF;   // Windows value of pure red
constexpr Colour kBlue = 0xFF0000;  // and of pure blue
const QRgb kQWhite = qRgb(255, 255, 255);
const QRgb kQRed = qRgb(255, 0, 0);
const QRgb kQBlue = qRgb(0, 0, 255);

// Share of the red pixels of the square 15..44 whose neighbour one step along
// (dx, dy) is red too: 1 along a hatch line, 0 across it.
double FollowRatio(const QImage& img, int dx, int dy) {
  int red = 0, followed = 0;
  for (int y = 15; y < 45; ++y) {
    for (int x = 15; x < 45; ++x) {
      if (!Is(img, x, y, kQRed)) continue;
      ++red;
      followed += Is(img, x + dx, y + dy, kQRed) ? 1 : 0;
    }
  }
  return red == 0 ? -1 : static_cast<double>(followed) / red;
}

TEST(QPainterSurfaceStyles, FillsHatchAsWindowsDoesOverTheGround) {
  struct Row {
    std::int32_t style;
    int minRed, maxRed;             // red pixels of the inside
    double along, rising, falling;  // FollowRatio across, up and down to the right
  };
  const Row rows[] = {
      {fillstyle::kSolid, 1024, 1024, 1, 1, 1},
      {fillstyle::kTransparent, 0, 0, -1, -1, -1},
      {42, 0, 0, -1, -1, -1},  // an unknown code
      {fillstyle::kHorizontalLine, 128, 128, 1, 0, 0},
      {fillstyle::kVerticalLine, 128, 128, 0, 0, 0},
      {fillstyle::kUpwardDiagonal, 102, 256, 0, 1, 0},
      {fillstyle::kDownwardDiagonal, 102, 256, 0, 0, 1},
      {fillstyle::kCross, 240, 240, 0.47, 0.14, 0.14},
      {fillstyle::kDiagonalCross, 200, 512, 0.28, 0.5, 0.5},
  };
  for (const Row& r : rows) {
    // A red fill without outline over 10..49 on blue; the inside is 14..45.
    QPainterSurface s(60, 60);
    s.SetBackColor(kBlue);
    s.Cls();
    s.SetDrawStyle(drawstyle::kTransparent);
    s.SetFillColor(kRed);
    s.SetFillStyle(r.style);
    s.Polygon({{10, 10}, {50, 10}, {50, 50}, {10, 50}});
    const QImage& img = s.image();
    const int red = CountColour(img, {14, 14, 32, 32}, kQRed);
    EXPECT_TRUE(red >= r.minRed && red <= r.maxRed) << r.style << ": " << red;
    EXPECT_EQ(red + CountColour(img, {14, 14, 32, 32}, kQBlue), 32 * 32) << r.style;
    EXPECT_TRUE(Is(img, 5, 5, kQBlue)) << r.style << ": nothing outside the polygon";
    EXPECT_NEAR(FollowRatio(img, 1, 0), r.along, 0.1) << r.style;
    EXPECT_NEAR(FollowRatio(img, 1, -1), r.rising, 0.1) << r.style;
    EXPECT_NEAR(FollowRatio(img, 1, 1), r.falling, 0.1) << r.style;
  }
}

TEST(QPainterSurfaceStyles, ThinPensDrawTheWindowsPatternsAndWidePensAreSolid) {
  auto line = [](std::int32_t style, std::int32_t width) {
    QPainterSurface s(200, 20);  // white until drawn on
    s.SetDrawStyle(style);
    s.SetDrawWidth(width);
    s.Line({0, 10}, {199, 10}, kRed);
    return s.Snapshot();
  };
  // The first 48 pixels of each pen's line, '#' for ink: dashes and gaps of the
  // Windows patterns; solid for solid and unknown codes.
  const std::pair<std::int32_t, std::vector<int>> rows[] = {
      {drawstyle::kDash, {18, 6}},         {drawstyle::kDot, {3, 3}},
      {drawstyle::kDashDot, {9, 6, 3, 6}}, {drawstyle::kDashDotDot, {9, 3, 3, 3, 3, 3}},
      {drawstyle::kSolid, {48}},           {17, {48}},
  };
  for (const auto& [style, period] : rows) {
    std::string expected, drawn;
    for (std::size_t i = 0; expected.size() < 48; ++i) {
      expected.append(static_cast<std::size_t>(period[i % period.size()]), i % 2 ? '.' : '#');
    }
    const QImage img = line(style, 1);
    for (int x = 0; x < 48; ++x) drawn += Is(img, x, 10, kQRed) ? '#' : '.';
    EXPECT_EQ(drawn, expected.substr(0, 48)) << style;
    EXPECT_EQ(CountColour(img, {0, 0, 200, 10}, kQRed), 0) << style << ": one pixel thick";
  }
  EXPECT_EQ(CountColour(line(drawstyle::kDash, 3), {5, 9, 150, 3}, kQRed), 450)
      << "three pixels thick, no gaps";
  EXPECT_TRUE(InkBox(line(drawstyle::kTransparent, 1), kQWhite).isEmpty());
}

// Solid rings with a thin outline and one-pixel dots are written straight into
// the picture, not through the painter; Qt's own drawing of the same figures is
// the picture they must look like, hard-edged and smooth.
TEST(QPainterSurfaceFastPaths, RingsAndDotsLookAsThePainterWouldDrawThem) {
  for (const bool smooth : {false, true}) {
    std::mt19937 random(3);
    std::uniform_int_distribution<int> xs(-20, 140);
    std::uniform_int_distribution<int> ys(-20, 110);
    QPainterSurface ours(120, 90);
    ours.SetAntialiasing(smooth);
    QImage theirs(120, 90, QImage::Format_RGB32);
    theirs.fill(kQWhite);
    QPainter painter(&theirs);
    painter.setRenderHint(QPainter::Antialiasing, smooth);
    const double shift = smooth ? 0.5 : 0;  // smooth drawing aims at pixel centres
    for (int n = 0; n < 12; ++n) {
      std::vector<PixelPoint> ring(3 + random() % 6);
      QPolygonF polygon;
      for (PixelPoint& p : ring) {
        p = {xs(random), ys(random)};
        polygon << QPointF(p.x + shift, p.y + shift);
      }
      const Colour fill = RgbColour(40 * n % 256, 200, 255 - 20 * n);
      const Colour line = RgbColour(20 * n, 0, 60);
      const bool hollow = n % 4 == 0;
      ours.SetFillStyle(hollow ? fillstyle::kTransparent : fillstyle::kSolid);
      ours.SetFillColor(fill);
      ours.SetForeColor(line);
      ours.Polygon(ring);
      ours.Dot({static_cast<float>(10 * n), 85}, fill);
      painter.setPen(QPen(ToQColor(line), 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
      painter.setBrush(hollow ? QBrush(Qt::NoBrush) : QBrush(ToQColor(fill)));
      painter.drawPolygon(polygon, Qt::OddEvenFill);
      painter.fillRect(10 * n, 85, 1, 1, ToQColor(fill));
    }
    painter.end();
    // Smooth outlines may fall a shade differently on a pixel; the picture must agree.
    long total = 0;
    int far = 0;
    for (int y = 0; y < 90; ++y) {
      for (int x = 0; x < 120; ++x) {
        const int d = testing::ChannelGap(ours.image().pixel(x, y), theirs.pixel(x, y));
        total += d;
        far += d > 100 ? 1 : 0;
      }
    }
    EXPECT_TRUE(smooth || total == 0) << "hard edges land on the painter's pixels: " << total;
    EXPECT_LT(static_cast<double>(total) / (120 * 90), 4.0) << "mean difference, " << smooth;
    EXPECT_LT(far, 120 * 90 / 100) << "pixels far from the painter's, " << smooth;
  }
}

TEST(QPainterSurfaceFastPaths, RingsOfHundredsOfThousandsOfVerticesAreFilledWhole) {
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
    s.SetFillStyle(fillstyle::kSolid);
    s.SetFillColor(kRed);
    s.Polygon(ring);
    // The square 62..138 lies within the inner circle.
    EXPECT_EQ(CountColour(s.image(), {62, 62, 77, 77}, kQRed), 77 * 77) << smooth;
  }
}

// A label turns counter-clockwise by its escapement about its top-left corner:
// at 90 degrees it reads upwards from the corner, its cell right of it.
TEST(QPainterSurfaceText, SevenPointsAreNinePixelsAndTextTurnsAboutItsCorner) {
  FontSpec font;
  font.face = "Arial";
  font.heightPoints = 7;
  EXPECT_EQ(QPainterSurface(1, 1).QtFont(font).pixelSize(), 9) << "15 twips per pixel";
  font.escapement = 900;
  QPainterSurface s(200, 200);
  s.SetFont(font);
  s.Print({100, 150}, "Avenida");
  const QRect ink = InkBox(s.image(), kQWhite);
  EXPECT_GT(ink.height(), ink.width()) << "taller than wide";
  EXPECT_GE(ink.left(), 99);
  EXPECT_LE(ink.right(), 100 + s.TextHeight("Avenida"));
  EXPECT_LE(ink.bottom(), 151);
  EXPECT_GE(ink.top(), 150 - s.TextWidth("Avenida") - 1);
}

}  // namespace
}  // namespace orvenda
