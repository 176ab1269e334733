// The whole palette of the Qt surface in one small picture, compared with the
// committed reference (tests/viewer/data/surface_reference.png) within a
// tolerance that absorbs font rasteriser differences. To redraw the reference
// after a deliberate change, run with ORVENDA_WRITE_REFERENCE=1 and look at it.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <string>

#include "pixels.h"
#include "viewer/qpaintersurface.h"

namespace orvenda {
namespace {

const char* const kReference = ORVENDA_VIEWER_TEST_DATA "/surface_reference.png";

QImage DrawScene() {
  QPainterSurface s(240, 160);
  s.SetBackColor(RgbColour(240, 240, 224));
  s.Cls();
  // Eight fills in a row, outlined in dark blue with each pen style in turn.
  for (int i = 0; i < 8; ++i) {
    const int x = 8 + i * 29;
    s.SetDrawWidth(1);
    s.SetFillColor(RgbColour(0, 128, 0));
    s.SetFillStyle(i);
    s.SetForeColor(RgbColour(0, 0, 128));
    s.SetDrawStyle(i % 6);
    s.Polygon({{x, 8}, {x + 24, 8}, {x + 24, 44}, {x, 44}});
  }
  // Five thin pen styles and a wide one.
  for (int i = 0; i < 6; ++i) {
    s.SetDrawWidth(i == 5 ? 4 : 1);
    s.SetDrawStyle(i == 5 ? drawstyle::kSolid : i);
    s.Line({8, static_cast<float>(56 + i * 8)}, {150, static_cast<float>(56 + i * 8)},
           RgbColour(200, 0, 0));
  }
  s.SetDrawStyle(drawstyle::kSolid);
  s.SetDrawWidth(1);
  s.Polyline({{160, 56}, {200, 70}, {170, 90}, {230, 100}}, RgbColour(128, 0, 128));
  s.SetDrawWidth(6);
  s.Dot({215, 60}, RgbColour(0, 0, 255));
  s.SetDrawWidth(1);
  s.Dot({225, 60}, 0);
  // Labels: flat, bold, upright and slanted.
  FontSpec label;
  label.heightPoints = 7;
  s.SetForeColor(0);
  s.SetFont(label);
  s.Print({8, 110}, "Avenida Central");
  label.weight = kFontWeightBold;
  s.SetFont(label);
  s.Print({8, 130}, "Plaza Mayor");
  label.weight = kFontWeightNormal;
  label.escapement = 900;
  s.SetFont(label);
  s.Print({110, 155}, "Norte");
  label.escapement = 300;
  s.SetFont(label);
  s.Print({140, 150}, "Calle 7");
  return s.Snapshot().convertToFormat(QImage::Format_RGB32);
}

TEST(QPainterSurfaceReference, SceneMatchesTheCommittedPicture) {
  testing::ExpectMatchesReference(DrawScene(), kReference);
}

}  // namespace
}  // namespace orvenda
