#include "viewer/qpaintersurface.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <vector>

#include "pixels.h"

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

// A white surface with a red fill in the given style over the square 10..49 and
// no outline, so that only the brush shows.
QImage FillSquare(std::int32_t fillStyle) {
  QPainterSurface s(60, 60);
  s.SetBackColor(kWhite);
  s.Cls();
  s.SetDrawStyle(drawstyle::kTransparent);
  s.SetFillColor(kRed);
  s.SetFillStyle(fillStyle);
  s.Polygon({{10, 10}, {50, 10}, {50, 50}, {10, 50}});
  return s.Snapshot();
}

const QRect kInside(14, 14, 32, 32);  // well inside the square, clear of its edges

bool RowIsRed(const QImage& img, int y) { return CountColour(img, {14, y, 32, 1}, kQRed) == 32; }
bool RowIsWhite(const QImage& img, int y) {
  return CountColour(img, {14, y, 32, 1}, kQWhite) == 32;
}
bool ColIsRed(const QImage& img, int x) { return CountColour(img, {x, 14, 1, 32}, kQRed) == 32; }
bool ColIsWhite(const QImage& img, int x) {
  return CountColour(img, {x, 14, 1, 32}, kQWhite) == 32;
}

TEST(QPainterSurfaceFill, SolidAndTransparentFills) {
  const QImage solid = FillSquare(fillstyle::kSolid);
  EXPECT_EQ(CountColour(solid, kInside, kQRed), 32 * 32);
  EXPECT_TRUE(Is(solid, 5, 5, kQWhite)) << "nothing outside the polygon";

  const QImage none = FillSquare(fillstyle::kTransparent);
  EXPECT_EQ(CountColour(none, kInside, kQWhite), 32 * 32);
  const QImage unknown = FillSquare(42);
  EXPECT_EQ(CountColour(unknown, kInside, kQWhite), 32 * 32) << "an unknown code fills nothing";
}

TEST(QPainterSurfaceFill, HorizontalAndVerticalHatches) {
  const QImage hor = FillSquare(fillstyle::kHorizontalLine);
  std::vector<int> redRows;
  for (int y = 14; y < 46; ++y) {
    EXPECT_TRUE(RowIsRed(hor, y) || RowIsWhite(hor, y)) << "row " << y << " is mixed";
    if (RowIsRed(hor, y)) redRows.push_back(y);
  }
  ASSERT_EQ(redRows.size(), 4u) << "one line every 8 pixels";
  for (std::size_t i = 1; i < redRows.size(); ++i) EXPECT_EQ(redRows[i] - redRows[i - 1], 8);

  const QImage ver = FillSquare(fillstyle::kVerticalLine);
  std::vector<int> redCols;
  for (int x = 14; x < 46; ++x) {
    EXPECT_TRUE(ColIsRed(ver, x) || ColIsWhite(ver, x)) << "column " << x << " is mixed";
    if (ColIsRed(ver, x)) redCols.push_back(x);
  }
  ASSERT_EQ(redCols.size(), 4u);
  for (std::size_t i = 1; i < redCols.size(); ++i) EXPECT_EQ(redCols[i] - redCols[i - 1], 8);
}

// Share of red pixels whose neighbour one step along (dx, dy) is red too.
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

TEST(QPainterSurfaceFill, DiagonalHatchesRunTheNamedWay) {
  const QImage up = FillSquare(fillstyle::kUpwardDiagonal);
  const QImage down = FillSquare(fillstyle::kDownwardDiagonal);
  const int upRed = CountColour(up, kInside, kQRed);
  EXPECT_GT(upRed, 32 * 32 / 10);
  EXPECT_LT(upRed, 32 * 32 / 4) << "a hatch, not a fill";
  // Rising to the right: the next pixel of a line is up and to the right.
  EXPECT_GT(FollowRatio(up, 1, -1), 0.95);
  EXPECT_LT(FollowRatio(up, 1, 1), 0.05);
  EXPECT_GT(FollowRatio(down, 1, 1), 0.95);
  EXPECT_LT(FollowRatio(down, 1, -1), 0.05);
}

TEST(QPainterSurfaceFill, CrossHatches) {
  const QImage cross = FillSquare(fillstyle::kCross);
  int redRows = 0;
  int redCols = 0;
  for (int i = 14; i < 46; ++i) {
    redRows += RowIsRed(cross, i) ? 1 : 0;
    redCols += ColIsRed(cross, i) ? 1 : 0;
  }
  EXPECT_EQ(redRows, 4);
  EXPECT_EQ(redCols, 4);
  EXPECT_GT(CountColour(cross, kInside, kQWhite), 32 * 32 / 2) << "open between the lines";

  const QImage diag = FillSquare(fillstyle::kDiagonalCross);
  // Half the red pixels of each line lie on the other one's crossings.
  EXPECT_GT(FollowRatio(diag, 1, 1), 0.4);
  EXPECT_GT(FollowRatio(diag, 1, -1), 0.4);
  EXPECT_LT(FollowRatio(diag, 1, 0), 0.3);
  int fullRows = 0;
  for (int y = 14; y < 46; ++y) fullRows += RowIsRed(diag, y) ? 1 : 0;
  EXPECT_EQ(fullRows, 0) << "no horizontal lines in a diagonal cross";
}

TEST(QPainterSurfaceFill, HatchLeavesTheGroundBetweenItsLines) {
  QPainterSurface s(60, 60);
  s.SetBackColor(kBlue);
  s.Cls();
  s.SetDrawStyle(drawstyle::kTransparent);
  s.SetFillColor(kRed);
  s.SetFillStyle(fillstyle::kHorizontalLine);
  s.Polygon({{10, 10}, {50, 10}, {50, 50}, {10, 50}});
  const QImage img = s.Snapshot();
  EXPECT_EQ(CountColour(img, kInside, kQWhite), 0);
  EXPECT_EQ(CountColour(img, kInside, kQRed) + CountColour(img, kInside, kQBlue), 32 * 32);
  EXPECT_GT(CountColour(img, kInside, kQBlue), CountColour(img, kInside, kQRed));
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

TEST(QPainterSurfacePen, ThinPensDrawTheWindowsPatterns) {
  struct Row {
    const char* name;
    std::int32_t style;
    std::vector<int> period;
  };
  const Row rows[] = {
      {"Dash", drawstyle::kDash, {18, 6}},
      {"Dot", drawstyle::kDot, {3, 3}},
      {"Dash-Dot", drawstyle::kDashDot, {9, 6, 3, 6}},
      {"Dash-Dot-Dot", drawstyle::kDashDotDot, {9, 3, 3, 3, 3, 3}},
  };
  for (const auto& r : rows) {
    const QImage img = LineIn(r.style, 1);
    const std::vector<int> runs = Runs(img, 10, 150);
    ASSERT_GE(runs.size(), 2 * r.period.size()) << r.name;
    for (std::size_t i = 0; i < 2 * r.period.size(); ++i) {
      EXPECT_NEAR(runs[i], r.period[i % r.period.size()], 1) << r.name << " run " << i;
    }
    EXPECT_EQ(CountColour(img, {0, 0, 200, 10}, kQRed), 0) << r.name << ": one pixel thick";
  }
  const QImage solid = LineIn(drawstyle::kSolid, 1);
  EXPECT_EQ(CountColour(solid, {0, 10, 150, 1}, kQRed), 150);
  EXPECT_EQ(CountColour(LineIn(17, 1), {0, 10, 150, 1}, kQRed), 150) << "unknown code: solid";
}

TEST(QPainterSurfacePen, WidePensAreSolidAndTransparentDrawsNothing) {
  const QImage wide = LineIn(drawstyle::kDash, 3);
  EXPECT_EQ(CountColour(wide, {5, 10, 150, 1}, kQRed), 150) << "no gaps in a wide dashed pen";
  EXPECT_EQ(CountColour(wide, {5, 9, 150, 3}, kQRed), 450) << "three pixels thick";

  const QImage none = LineIn(drawstyle::kTransparent, 1);
  EXPECT_TRUE(InkBox(none, kQWhite).isEmpty());

  QPainterSurface s(50, 50);
  s.SetBackColor(kWhite);
  s.Cls();
  s.SetDrawStyle(drawstyle::kTransparent);
  s.Dot({10, 10}, kRed);
  s.Polyline({{0, 0}, {40, 40}}, kRed);
  EXPECT_TRUE(InkBox(s.image(), kQWhite).isEmpty());
}

TEST(QPainterSurfacePen, DotsArePixelsOrDiscs) {
  QPainterSurface s(50, 50);
  s.SetBackColor(kWhite);
  s.Cls();
  s.Dot({10.5f, 20.5f}, kRed);  // halves to even: pixel (10, 20)
  EXPECT_EQ(CountColour(s.image(), s.image().rect(), kQRed), 1);
  EXPECT_TRUE(Is(s.image(), 10, 20, kQRed));

  s.Cls();
  s.SetDrawWidth(7);
  s.Dot({25, 25}, kRed);
  const QRect box = InkBox(s.image(), kQWhite);
  EXPECT_NEAR(box.width(), 7, 1);
  EXPECT_NEAR(box.height(), 7, 1);
  EXPECT_NEAR(box.center().x(), 25, 1);
  const int area = CountColour(s.image(), box, kQRed);
  EXPECT_GT(area, 30) << "a disc of diameter 7 covers about 38 pixels";
  EXPECT_LT(area, 49) << "a disc, not a square";
}

TEST(QPainterSurfacePen, PolygonOutlineAndFillTakeTheirOwnColours) {
  QPainterSurface s(60, 60);
  s.SetBackColor(kWhite);
  s.Cls();
  s.SetDrawWidth(1);
  s.SetFillColor(kRed);
  s.SetFillStyle(fillstyle::kSolid);
  s.SetForeColor(kBlue);
  s.SetDrawStyle(drawstyle::kSolid);
  s.Polygon({{10, 10}, {50, 10}, {50, 50}, {10, 50}});
  EXPECT_TRUE(Is(s.image(), 30, 10, kQBlue)) << "outline on the top edge";
  EXPECT_TRUE(Is(s.image(), 10, 30, kQBlue)) << "ring closed on the left";
  EXPECT_EQ(CountColour(s.image(), kInside, kQRed), 32 * 32);

  s.Cls();
  s.SetDrawStyle(drawstyle::kTransparent);
  s.Polygon({{10, 10}, {50, 10}, {50, 50}, {10, 50}});
  EXPECT_EQ(CountColour(s.image(), s.image().rect(), kQBlue), 0) << "fill alone";
  EXPECT_EQ(CountColour(s.image(), kInside, kQRed), 32 * 32);
}

TEST(QPainterSurfacePen, PolylineJoinsEveryPoint) {
  QPainterSurface s(60, 60);
  s.SetBackColor(kWhite);
  s.Cls();
  s.Polyline({{5, 5}, {50, 5}, {50, 50}}, kRed);
  EXPECT_TRUE(Is(s.image(), 30, 5, kQRed));
  EXPECT_TRUE(Is(s.image(), 50, 30, kQRed));
  EXPECT_FALSE(Is(s.image(), 30, 30, kQRed)) << "an open line: no closing diagonal";
}

TEST(QPainterSurfaceAntialiasing, SwitchesBetweenHardAndSmoothEdges) {
  auto colours = [](bool smooth) {
    QPainterSurface s(40, 40);
    s.SetAntialiasing(smooth);
    s.SetBackColor(kWhite);
    s.Cls();
    s.SetDrawWidth(2);
    s.Line({2, 3}, {37, 30}, 0);
    std::set<QRgb> seen;
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 40; ++x) seen.insert(s.image().pixel(x, y));
    }
    return seen.size();
  };
  EXPECT_EQ(colours(false), 2u) << "black and white only";
  EXPECT_GT(colours(true), 4u) << "greys along the edges";
}

TEST(QPainterSurfaceAntialiasing, PlainRingsLookAsThePainterWouldDrawThem) {
  // Solid rings with a thin outline skip the painter when smooth; Qt's own
  // drawing of the same rings is the picture they must look like.
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
    ours.SetFillStyle(n % 4 == 0 ? fillstyle::kTransparent : fillstyle::kSolid);
    ours.SetFillColor(fill);
    ours.SetForeColor(line);
    ours.SetDrawStyle(drawstyle::kSolid);
    ours.SetDrawWidth(1);
    ours.Polygon(ring);
    QPen pen(QColor(ColourRed(line), ColourGreen(line), ColourBlue(line)), 1);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(n % 4 == 0
                         ? QBrush(Qt::NoBrush)
                         : QBrush(QColor(ColourRed(fill), ColourGreen(fill), ColourBlue(fill))));
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
  // for filling.") and leaves holes in the country.
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
    s.SetDrawStyle(drawstyle::kSolid);
    s.SetDrawWidth(1);
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

TEST(QPainterSurfaceImage, SnapshotsResizeAndRestore) {
  QPainterSurface s(30, 20);
  s.SetBackColor(kBlue);
  s.Cls();
  const QImage before = s.Snapshot();
  s.Dot({3, 3}, kRed);
  EXPECT_TRUE(Is(before, 3, 3, kQBlue)) << "a snapshot does not follow later drawing";
  EXPECT_TRUE(Is(s.image(), 3, 3, kQRed));

  s.DrawImage(before);
  EXPECT_TRUE(Is(s.image(), 3, 3, kQBlue)) << "the saved picture put back";

  s.Resize(64, 48);
  EXPECT_EQ(s.ScaleWidth(), 64);
  EXPECT_EQ(s.ScaleHeight(), 48);
  EXPECT_EQ(CountColour(s.image(), s.image().rect(), kQBlue), 64 * 48);
  int refreshed = 0;
  s.SetRefreshHandler([&refreshed] { ++refreshed; });
  s.Refresh();
  EXPECT_EQ(refreshed, 1);
}

}  // namespace
}  // namespace orvenda
