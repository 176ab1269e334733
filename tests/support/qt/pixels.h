#pragma once
// Helpers for reading what a surface painted.

#include <QImage>
#include <QRect>
#include <functional>

namespace orvenda::testing {

// Pixels of `rect` for which `pick` holds.
int CountPixels(const QImage& image, const QRect& rect, const std::function<bool(QRgb)>& pick);
inline int CountColour(const QImage& image, const QRect& rect, QRgb colour) {
  return CountPixels(image, rect,
                     [colour](QRgb p) { return (p & 0xFFFFFF) == (colour & 0xFFFFFF); });
}
// Smallest rectangle holding every pixel that differs from `background`; empty when none.
QRect InkBox(const QImage& image, QRgb background);
// The largest difference of the two colours in one channel.
int ChannelGap(QRgb a, QRgb b);
// Compares `scene` with the committed reference picture at `path`: fewer than 1 % of
// the pixels may differ by more than 48 in a channel (glyph edges may move by a
// pixel between font rasterisers; shapes may not). With ORVENDA_WRITE_REFERENCE
// set, the picture is written there instead and the test is skipped.
void ExpectMatchesReference(const QImage& scene, const char* path);
inline bool Is(const QImage& image, int x, int y, QRgb colour) {
  return (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
}

}  // namespace orvenda::testing
