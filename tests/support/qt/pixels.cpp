#include "pixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

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

int ChannelGap(QRgb a, QRgb b) {
  return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                   std::abs(qBlue(a) - qBlue(b))});
}

void ExpectMatchesReference(const QImage& picture, const char* path) {
  const QImage scene = picture.convertToFormat(QImage::Format_RGB32);
  if (std::getenv("ORVENDA_WRITE_REFERENCE") != nullptr) {
    ASSERT_TRUE(scene.save(path));
    GTEST_SKIP() << "reference written to " << path;
  }
  QImage reference(path);
  ASSERT_FALSE(reference.isNull()) << "missing " << path;
  reference = reference.convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(reference.size(), scene.size());
  int differing = 0;
  for (int y = 0; y < scene.height(); ++y) {
    for (int x = 0; x < scene.width(); ++x) {
      if (ChannelGap(scene.pixel(x, y), reference.pixel(x, y)) > 48) ++differing;
    }
  }
  EXPECT_LT(differing, scene.width() * scene.height() / 100)
      << differing << " pixels differ from " << path;
}

}  // namespace orvenda::testing
