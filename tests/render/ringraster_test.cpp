// Writing straight into a pixel buffer: ring fills against GDAL's rasteriser, which burns
// the pixels whose centres lie inside a polygon, the tie rules that let neighbouring rings
// meet exactly, and smooth one-pixel lines.

#include "render/ringraster.h"

#include <gdal.h>
#include <gdal_alg.h>
#include <gtest/gtest.h>
#include <ogr_api.h>

#include <cmath>
#include <random>

#include "render/pixelbuffer.h"

namespace orvenda {
namespace {

constexpr std::uint32_t kInk = 0xFF102030U;

constexpr std::uint32_t kBlack = 0xFF000000U;
constexpr std::uint32_t kWhite = 0xFFFFFFFFU;

struct Picture {
  Picture(int w, int h, std::uint32_t background = 0U)
      : pixels(static_cast<std::size_t>(w * h), background), buffer{pixels.data(), w, h, w} {}
  std::vector<std::uint32_t> pixels;
  PixelBuffer buffer;
  [[nodiscard]] bool Inked(int x, int y) const { return buffer.Row(y)[x] == kInk; }
  // White drawn over black: the blue channel is the coverage, 0..255.
  [[nodiscard]] int Ink(int x, int y) const { return static_cast<int>(buffer.Row(y)[x] & 0xFF); }
};

// What GDAL burns for the ring, one byte a pixel, with the ring's vertices on
// pixel centres or on pixel corners.
std::vector<unsigned char> GdalBurn(const std::vector<PixelPoint>& ring, int w, int h,
                                    VertexPlace place) {
  GDALAllRegister();
  GDALDriverH mem = GDALGetDriverByName("MEM");
  GDALDatasetH ds = GDALCreate(mem, "", w, h, 1, GDT_Byte, nullptr);
  const double origin = place == VertexPlace::kPixelCentre ? -0.5 : 0.0;
  double transform[6] = {origin, 1, 0, origin, 0, 1};
  GDALSetGeoTransform(ds, transform);
  OGRGeometryH poly = OGR_G_CreateGeometry(wkbPolygon);
  OGRGeometryH outer = OGR_G_CreateGeometry(wkbLinearRing);
  for (const PixelPoint& p : ring) OGR_G_AddPoint_2D(outer, p.x, p.y);
  OGR_G_AddPoint_2D(outer, ring.front().x, ring.front().y);
  OGR_G_AddGeometryDirectly(poly, outer);
  int band = 1;
  double burn = 1;
  EXPECT_EQ(GDALRasterizeGeometries(ds, 1, &band, 1, &poly, nullptr, nullptr, &burn, nullptr,
                                    nullptr, nullptr),
            CE_None);
  std::vector<unsigned char> out(static_cast<std::size_t>(w * h));
  EXPECT_EQ(
      GDALRasterIO(GDALGetRasterBand(ds, 1), GF_Read, 0, 0, w, h, out.data(), w, h, GDT_Byte, 0, 0),
      CE_None);
  OGR_G_DestroyGeometry(poly);
  GDALClose(ds);
  return out;
}

// True when the centre of pixel (x, y) lies exactly on an edge of the ring:
// there the two sides' tie rules decide, not the inside. In half pixels.
bool OnEdge(const std::vector<PixelPoint>& ring, int x, int y, VertexPlace place) {
  const long long shift = place == VertexPlace::kPixelCentre ? 1 : 0;
  const long long cx = 2LL * x + 1;
  const long long cy = 2LL * y + 1;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const long long ax = 2LL * ring[i].x + shift;
    const long long ay = 2LL * ring[i].y + shift;
    const long long bx = 2LL * ring[(i + 1) % ring.size()].x + shift;
    const long long by = 2LL * ring[(i + 1) % ring.size()].y + shift;
    const long long cross = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
    if (cross == 0 && cx >= std::min(ax, bx) && cx <= std::max(ax, bx) && cy >= std::min(ay, by) &&
        cy <= std::max(ay, by)) {
      return true;
    }
  }
  return false;
}

TEST(RingRaster, AgreesWithGdalOnEveryPixelOffTheEdges) {
  // Random rings, many of them crossing themselves (the alternate rule shows
  // there), reaching past every side of the picture.
  constexpr int kW = 61;
  constexpr int kH = 47;
  std::mt19937 random(20261206);
  std::uniform_int_distribution<int> xs(-15, kW + 15);
  std::uniform_int_distribution<int> ys(-15, kH + 15);
  std::uniform_int_distribution<int> sizes(3, 14);
  RingRaster raster;  // one for all rings: leftovers of a ring must not leak
  int compared = 0;
  for (int n = 0; n < 300; ++n) {
    std::vector<PixelPoint> ring(static_cast<std::size_t>(sizes(random)));
    for (PixelPoint& p : ring) p = {xs(random), ys(random)};
    const VertexPlace place = n % 2 == 0 ? VertexPlace::kPixelCentre : VertexPlace::kPixelCorner;
    Picture ours(kW, kH);
    raster.Fill(ours.buffer, ring, kInk, place);
    const std::vector<unsigned char> gdal = GdalBurn(ring, kW, kH, place);
    int differing = 0;
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        if (OnEdge(ring, x, y, place)) continue;
        ++compared;
        if (ours.Inked(x, y) != (gdal[static_cast<std::size_t>(y * kW + x)] != 0)) ++differing;
      }
    }
    ASSERT_EQ(differing, 0) << "ring " << n << (n % 2 == 0 ? " on centres" : " on corners");
  }
  EXPECT_GT(compared, 300 * kW * kH / 2);
}

TEST(RingRaster, NeighboursShareEdgesWithoutGapsOrOverlaps) {
  // A rectangle cut in two by a random zigzag: every pixel the whole rectangle
  // paints belongs to exactly one of the two halves.
  std::mt19937 random(7);
  std::uniform_int_distribution<int> ys(2, 38);
  for (int n = 0; n < 50; ++n) {
    std::vector<PixelPoint> cut;
    for (int x = 0; x <= 60; x += 1 + static_cast<int>(random() % 9))
      cut.push_back({x, ys(random)});
    cut.back().x = 60;
    // Both halves run along the cut, in opposite directions.
    std::vector<PixelPoint> upper = {{0, 0}, {60, 0}};
    upper.insert(upper.end(), cut.rbegin(), cut.rend());
    std::vector<PixelPoint> lower = cut;
    lower.push_back({60, 40});
    lower.push_back({0, 40});
    Picture a(64, 44);
    Picture b(64, 44);
    Picture whole(64, 44);
    RingRaster raster;
    raster.Fill(a.buffer, upper, kInk);
    raster.Fill(b.buffer, lower, kInk);
    raster.Fill(whole.buffer, std::vector<PixelPoint>{{0, 0}, {60, 0}, {60, 40}, {0, 40}}, kInk);
    for (int y = 0; y < 44; ++y) {
      for (int x = 0; x < 64; ++x) {
        ASSERT_FALSE(a.Inked(x, y) && b.Inked(x, y)) << "painted twice at " << x << "," << y;
        ASSERT_EQ(a.Inked(x, y) || b.Inked(x, y), whole.Inked(x, y)) << x << "," << y;
      }
    }
  }
}

TEST(SmoothLine, EveryStepSharesOnePixelOfInkBetweenTheTwoNearestPixels) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> at(0, 39);
  for (int n = 0; n < 200; ++n) {
    const PixelPoint a{at(random), at(random)};
    const PixelPoint b{at(random), at(random)};
    Picture p(40, 40, kBlack);
    SmoothLine(p.buffer, a, b, kWhite, true);
    const bool steep = std::abs(b.y - a.y) > std::abs(b.x - a.x);
    const int from = steep ? std::min(a.y, b.y) : std::min(a.x, b.x);
    const int to = steep ? std::max(a.y, b.y) : std::max(a.x, b.x);
    for (int major = 0; major < 40; ++major) {
      int ink = 0;
      for (int minor = 0; minor < 40; ++minor) {
        const int x = steep ? minor : major;
        const int y = steep ? major : minor;
        const int v = p.Ink(x, y);
        if (v == 0) continue;
        ink += v;
        // Only pixels less than one pixel away from the line take ink.
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        const double distance =
            length == 0 ? std::hypot(x - a.x, y - a.y)
                        : std::abs((b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x)) / length;
        EXPECT_LT(distance, 1.0) << "line " << n << " pixel " << x << "," << y;
      }
      if (major >= from && major <= to) {
        EXPECT_NEAR(ink, 255, 2) << "line " << n << " step " << major;
      } else {
        EXPECT_EQ(ink, 0) << "line " << n << " beyond its ends at " << major;
      }
    }
  }
}

TEST(SmoothLine, StraightLinesArePlainPixelsAndTheEndIsLeftOutWhenAsked) {
  Picture p(10, 10, kBlack);
  SmoothLine(p.buffer, {1, 2}, {6, 2}, kWhite, false);
  SmoothLine(p.buffer, {8, 5}, {8, 1}, kWhite, true);
  SmoothLine(p.buffer, {4, 7}, {1, 4}, kWhite, true);
  SmoothLine(p.buffer, {3, 9}, {3, 9}, kWhite, true);
  SmoothLine(p.buffer, {5, 9}, {5, 9}, kWhite, false);
  std::string ink;
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) ink += p.Ink(x, y) == 255 ? '#' : p.Ink(x, y) ? '?' : '.';
    ink += '|';
  }
  // Row by row: a vertical line at x 8, the horizontal one without its end, a diagonal
  // through pixel centres (no fringe), and a single dot only when its end is kept.
  EXPECT_EQ(ink,
            "..........|........#.|.#####..#.|........#.|.#......#.|"
            "..#.....#.|...#......|....#.....|..........|...#......|");
}

TEST(SmoothLine, APictureShowsTheSameLinesAsTheSameWindowOfABiggerOne) {
  // Lines from far outside the small picture: what lands in it must not depend
  // on where its edges cut them.
  std::mt19937 random(5);
  std::uniform_int_distribution<int> far(-3000, 3000);
  Picture big(200, 200, kBlack);
  Picture small(30, 20, kBlack);
  constexpr int kLeft = 90;
  constexpr int kTop = 100;
  for (int n = 0; n < 300; ++n) {
    const PixelPoint a{100 + far(random) / 30, 100 + far(random) / 30};
    const PixelPoint b{100 + far(random), 100 + far(random)};
    SmoothLine(big.buffer, a, b, kWhite, true);
    SmoothLine(small.buffer, {a.x - kLeft, a.y - kTop}, {b.x - kLeft, b.y - kTop}, kWhite, true);
  }
  int inked = 0;
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 30; ++x) {
      ASSERT_EQ(small.Ink(x, y), big.Ink(x + kLeft, y + kTop)) << x << "," << y;
      inked += small.Ink(x, y) > 0 ? 1 : 0;
    }
  }
  EXPECT_GT(inked, 50) << "the lines cross the small picture";
}

TEST(BlendPixel, MixesEachChannelByCoverage) {
  EXPECT_EQ(BlendPixel(0xFF000000U, 0xFFFFFFFFU, 256), 0xFFFFFFFFU);
  EXPECT_EQ(BlendPixel(0xFF204060U, 0xFFFFFFFFU, 0), 0xFF204060U);
  EXPECT_EQ(BlendPixel(0xFF000000U, 0xFF80FF40U, 128), 0xFF407F20U);
  EXPECT_EQ(OpaquePixel(RgbColour(1, 2, 3)), 0xFF010203U);
}

}  // namespace
}  // namespace orvenda
