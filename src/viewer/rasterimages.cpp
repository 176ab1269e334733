#include "viewer/rasterimages.h"

#include <gdal.h>

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

namespace orvenda {

struct RasterImages::Image {
  GDALDatasetH dataset = nullptr;
  int width = 0;
  int height = 0;
  BoundingBox extent;
  ~Image() {
    if (dataset) GDALClose(dataset);
  }
};

RasterImages::RasterImages() { GDALAllRegister(); }
RasterImages::~RasterImages() = default;

std::string RasterImages::FindFile(const std::string& folder, const std::string& name) {
  namespace fs = std::filesystem;
  if (folder.empty() || name.empty()) return {};
  std::error_code error;
  for (const char* ext : {"", ".tif", ".tiff", ".png", ".jpg", ".jpeg", ".bmp", ".gif"}) {
    const fs::path candidate = fs::path(folder) / (name + ext);
    if (fs::is_regular_file(candidate, error)) return candidate.string();
  }
  return {};
}

std::int32_t RasterImages::Open(const std::string& path) {
  CPLPushErrorHandler(CPLQuietErrorHandler);
  GDALDatasetH dataset = GDALOpen(path.c_str(), GA_ReadOnly);
  CPLPopErrorHandler();
  if (!dataset) return -1;
  auto image = std::make_unique<Image>();
  image->dataset = dataset;
  image->width = GDALGetRasterXSize(dataset);
  image->height = GDALGetRasterYSize(dataset);
  double gt[6] = {0, 1, 0, 0, 0, 1};
  // Without a geotransform GDAL answers the identity: no place on the earth.
  if (GDALGetGeoTransform(dataset, gt) != CE_None || GDALGetRasterCount(dataset) < 1 ||
      image->width <= 0 || image->height <= 0) {
    return -1;
  }
  const double xs[2] = {gt[0], gt[0] + gt[1] * image->width + gt[2] * image->height};
  const double ys[2] = {gt[3], gt[3] + gt[4] * image->width + gt[5] * image->height};
  image->extent.MinX = std::min(xs[0], xs[1]);
  image->extent.MaxX = std::max(xs[0], xs[1]);
  image->extent.MinY = std::min(ys[0], ys[1]);
  image->extent.MaxY = std::max(ys[0], ys[1]);
  const std::int32_t index = next_++;
  images_[index] = std::move(image);
  return index;
}

void RasterImages::Close(std::int32_t index) { images_.erase(index); }

std::optional<BoundingBox> RasterImages::Extent(std::int32_t index) const {
  const auto found = images_.find(index);
  if (found == images_.end()) return std::nullopt;
  return found->second->extent;
}

namespace {

// One band's bytes at the buffer size; empty when GDAL could not read them.
std::vector<GByte> ReadBand(GDALRasterBandH band, const QRect& source, const QSize& size) {
  std::vector<GByte> bytes(static_cast<std::size_t>(size.width()) *
                           static_cast<std::size_t>(size.height()));
  if (GDALRasterIO(band, GF_Read, source.x(), source.y(), source.width(), source.height(),
                   bytes.data(), size.width(), size.height(), GDT_Byte, 0, 0) != CE_None) {
    bytes.clear();
  }
  return bytes;
}

QRgb PaletteColour(GDALColorTableH table, int value) {
  if (!table || value >= GDALGetColorEntryCount(table)) return qRgb(value, value, value);
  const GDALColorEntry* e = GDALGetColorEntry(table, value);
  return qRgba(e->c1, e->c2, e->c3, e->c4);
}

}  // namespace

QImage RasterImages::Read(std::int32_t index, const QRect& source, const QSize& size) const {
  const auto found = images_.find(index);
  if (found == images_.end() || size.isEmpty() || source.isEmpty()) return {};
  GDALDatasetH ds = found->second->dataset;
  const int bands = std::min(GDALGetRasterCount(ds), 4);
  std::vector<std::vector<GByte>> data;
  for (int b = 1; b <= bands; ++b) {
    data.push_back(ReadBand(GDALGetRasterBand(ds, b), source, size));
    if (data.back().empty()) return {};
  }
  GDALColorTableH table = bands == 1 ? GDALGetRasterColorTable(GDALGetRasterBand(ds, 1)) : nullptr;
  QImage picture(size, QImage::Format_ARGB32);
  for (int y = 0; y < size.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
    for (int x = 0; x < size.width(); ++x) {
      const std::size_t k = static_cast<std::size_t>(y) * static_cast<std::size_t>(size.width()) +
                            static_cast<std::size_t>(x);
      if (bands >= 3) {
        line[x] = qRgba(data[0][k], data[1][k], data[2][k], bands == 4 ? data[3][k] : 255);
      } else if (bands == 2) {  // grey and alpha
        line[x] = qRgba(data[0][k], data[0][k], data[0][k], data[1][k]);
      } else {
        line[x] = PaletteColour(table, data[0][k]);
      }
    }
  }
  return picture;
}

bool RasterImages::Draw(std::int32_t index, QPainter& painter, const QRectF& target,
                        const QRect& clip) const {
  const auto found = images_.find(index);
  if (found == images_.end() || target.width() <= 0 || target.height() <= 0) return false;
  const Image& image = *found->second;
  const QRect visible = target.toAlignedRect().intersected(clip);
  if (visible.isEmpty()) return false;
  // The raster pixels behind the visible part, widened to whole pixels.
  const double sx = image.width / target.width();
  const double sy = image.height / target.height();
  const int x0 = std::clamp(static_cast<int>(std::floor((visible.left() - target.left()) * sx)), 0,
                            image.width - 1);
  const int y0 = std::clamp(static_cast<int>(std::floor((visible.top() - target.top()) * sy)), 0,
                            image.height - 1);
  const int x1 = std::clamp(
      static_cast<int>(std::ceil((visible.left() + visible.width() - target.left()) * sx)), x0 + 1,
      image.width);
  const int y1 = std::clamp(
      static_cast<int>(std::ceil((visible.top() + visible.height() - target.top()) * sy)), y0 + 1,
      image.height);
  const QRectF drawn(target.left() + x0 / sx, target.top() + y0 / sy, (x1 - x0) / sx,
                     (y1 - y0) / sy);
  // Never read more pixels than the surface shows, nor more than the raster has.
  const QSize size(std::clamp(static_cast<int>(std::lround(drawn.width())), 1, x1 - x0),
                   std::clamp(static_cast<int>(std::lround(drawn.height())), 1, y1 - y0));
  const QImage picture = Read(index, QRect(x0, y0, x1 - x0, y1 - y0), size);
  if (picture.isNull()) return false;
  painter.save();
  painter.setClipRect(clip);
  painter.drawImage(drawn, picture);
  painter.restore();
  return true;
}

}  // namespace orvenda
