#pragma once
// ImagePainter: what a layer redraw asks of the viewer for an image layer. The
// raster behind an image number is the viewer's; the redraw only says when.

#include <cstdint>

namespace orvenda {

class ImagePainter {
 public:
  virtual ~ImagePainter() = default;
  // Draws image `imageNumber` for the current view (a full redraw).
  virtual void DrawImage(std::int32_t imageNumber) = 0;
  // Paints image `imageNumber` again as last drawn (a repaint, view unchanged).
  virtual void RepaintImage(std::int32_t imageNumber) = 0;

 protected:
  ImagePainter() = default;
  ImagePainter(const ImagePainter&) = default;
  ImagePainter& operator=(const ImagePainter&) = default;
};

}  // namespace orvenda
