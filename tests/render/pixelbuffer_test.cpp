// Smooth one-pixel lines written straight into a pixel buffer.

#include "render/pixelbuffer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace orvenda {
namespace {

constexpr std::uint32_t kBlack = 0xFF000000U;
constexpr std::uint32_t kWhite = 0xFFFFFFFFU;

struct Picture {
  Picture(int w, int h)
      : pixels(static_cast<std::size_t>(w * h), kBlack), buffer{pixels.data(), w, h, w} {}
  std::vector<std::uint32_t> pixels;
  PixelBuffer buffer;
  // White drawn over black: the blue channel is the coverage, 0..255.
  [[nodiscard]] int Ink(int x, int y) const { return static_cast<int>(buffer.Row(y)[x] & 0xFF); }
};

TEST(SmoothLine, EveryStepSharesOnePixelOfInkBetweenTheTwoNearestPixels) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> at(0, 39);
  for (int n = 0; n < 200; ++n) {
    const PixelPoint a{at(random), at(random)};
    const PixelPoint b{at(random), at(random)};
    Picture p(40, 40);
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
  Picture p(10, 10);
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
  Picture big(200, 200);
  Picture small(30, 20);
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
