// Ring fills against GDAL's rasteriser, which burns the pixels whose centres lie
// inside a polygon; and the tie rules that let neighbouring rings meet exactly.

#include "render/ringraster.h"

#include <gdal.h>
#include <gdal_alg.h>
#include <gtest/gtest.h>
#include <ogr_api.h>

#include <random>

namespace orvenda {
namespace {

constexpr std::uint32_t kInk = 0xFF102030U;

struct Picture {
  Picture(int w, int h)
      : pixels(static_cast<std::size_t>(w * h), 0U), buffer{pixels.data(), w, h, w} {}
  std::vector<std::uint32_t> pixels;
  PixelBuffer buffer;
  [[nodiscard]] bool Inked(int x, int y) const { return buffer.Row(y)[x] == kInk; }
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

TEST(RingRaster, ClipsFarRingsAndPaintsNothingForFlatOnes) {
  RingRaster raster;
  Picture p(20, 10);
  raster.Fill(p.buffer, std::vector<PixelPoint>{{-5000, -3000}, {9000, -3000}, {9000, 7000}}, kInk);
  int inked = 0;
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 20; ++x) inked += p.Inked(x, y) ? 1 : 0;
  }
  EXPECT_EQ(inked, 20 * 10) << "a ring around the whole picture";

  Picture flat(20, 10);
  raster.Fill(flat.buffer, std::vector<PixelPoint>{{1, 1}, {5, 5}, {9, 9}}, kInk);
  raster.Fill(flat.buffer, std::vector<PixelPoint>{{1, 4}, {15, 4}}, kInk);
  raster.Fill(flat.buffer, std::vector<PixelPoint>{{30, 2}, {40, 2}, {40, 8}}, kInk);
  for (std::uint32_t v : flat.pixels) ASSERT_EQ(v, 0U);
}

}  // namespace
}  // namespace orvenda
