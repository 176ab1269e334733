#pragma once
// RasterImages: the raster pictures of a viewer's image layers, read with GDAL.
// One open dataset serves one image; a picture is georeferenced by its own
// geotransform (GeoTIFF) or by a world file beside it, in geographic degrees.
// Drawing reads only the part of the raster that falls in view, at the size it
// takes on the surface.

#include <QImage>
#include <QRect>
#include <QRectF>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "model/boundingbox.h"

class QPainter;

namespace orvenda {

class RasterImages {
 public:
  RasterImages();
  ~RasterImages();
  RasterImages(const RasterImages&) = delete;
  RasterImages& operator=(const RasterImages&) = delete;

  // The image's index, or -1 when the file is missing, unreadable or carries no
  // georeference.
  std::int32_t Open(const std::string& path);
  // Errors while closing are of no interest: the image is gone either way.
  void Close(std::int32_t index);
  bool IsOpen(std::int32_t index) const { return images_.count(index) != 0; }
  std::int32_t count() const { return static_cast<std::int32_t>(images_.size()); }

  // The geographic rectangle the raster covers.
  std::optional<BoundingBox> Extent(std::int32_t index) const;
  // Draws the raster so that its whole extent fills `target` (surface units),
  // reading only what lies inside `clip`. False when nothing was drawn.
  bool Draw(std::int32_t index, QPainter& painter, const QRectF& target, const QRect& clip) const;
  // The raster's pixels in `source` (raster pixels) resampled to `size`.
  QImage Read(std::int32_t index, const QRect& source, const QSize& size) const;

  // The path of the image named `name` under `folder`: the name as it is, or with
  // a usual raster extension; "" when there is none.
  static std::string FindFile(const std::string& folder, const std::string& name);

 private:
  struct Image;
  std::map<std::int32_t, std::unique_ptr<Image>> images_;
  std::int32_t next_ = 0;
};

}  // namespace orvenda
