#include "pixels.h"

namespace orvenda::testing {

int CountPixels(const QImage& image, const QRect& rect, const std::function<bool(QRgb)>& pick) {
  int count = 0;
  const QRect r = rect.intersected(image.rect());
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) {
      if (pick(image.pixel(x, y))) ++count;
    }
  }
  return count;
}

QRect InkBox(const QImage& image, QRgb background) {
  QRect box;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if ((image.pixel(x, y) & 0xFFFFFF) != (background & 0xFFFFFF)) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

}  // namespace orvenda::testing
