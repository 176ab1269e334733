// Raster pictures of image layers: rasters written with GDAL in a temporary
// folder, read back, georeferenced and drawn by RasterImages and by the Viewer.
#include "viewer/rasterimages.h"

#include <gdal.h>
#include <gtest/gtest.h>

#include <QPainter>
#include <QTemporaryDir>

#include "loopback.h"
#include "render/viewtransform.h"
#include "viewer_rig.h"

namespace orvenda {
namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

// A 4 x 2 raster, the left two columns red and the right two blue, over
// longitude 0 to 2 and latitude 1 down to 0 (or nowhere, when not
// `georeferenced`), written by `driver`.
void WriteRaster(const char* driver, const QString& path, bool georeferenced = true,
                 const char* option = nullptr) {
  GDALAllRegister();
  GDALDatasetH mem = GDALCreate(GDALGetDriverByName("MEM"), "", 4, 2, 3, GDT_Byte, nullptr);
  GByte bands[3][8] = {{255, 255, 0, 0, 255, 255, 0, 0}, {}, {0, 0, 255, 255, 0, 0, 255, 255}};
  for (int b = 0; b < 3; ++b) {
    EXPECT_EQ(GDALRasterIO(GDALGetRasterBand(mem, b + 1), GF_Write, 0, 0, 4, 2, bands[b], 4, 2,
                           GDT_Byte, 0, 0),
              CE_None);
  }
  double gt[6] = {0, 0.5, 0, 1, 0, -0.5};
  if (georeferenced) GDALSetGeoTransform(mem, gt);
  char* options[] = {const_cast<char*>(option), nullptr};
  GDALDatasetH out = GDALCreateCopy(GDALGetDriverByName(driver), path.toStdString().c_str(), mem,
                                    FALSE, option ? options : nullptr, nullptr, nullptr);
  ASSERT_NE(out, nullptr) << path.toStdString();
  GDALClose(out);
  GDALClose(mem);
}

QImage DrawInto(const RasterImages& images, std::int32_t index, const QRectF& target) {
  QImage picture(200, 100, QImage::Format_RGB32);
  picture.fill(Qt::white);
  QPainter p(&picture);
  images.Draw(index, p, target, picture.rect());
  return picture;
}

TEST(RasterImages, GeoTiffsAndWorldFilesPlaceThePictureWhereItBelongsOthersGiveNone) {
  QTemporaryDir dir;
  WriteRaster("GTiff", dir.filePath("Orto.tif"));
  WriteRaster("PNG", dir.filePath("Plano.png"), true, "WORLDFILE=YES");
  RasterImages images;
  for (const char* name : {"Orto.tif", "Plano.png"}) {
    const std::int32_t n = images.Open(dir.filePath(name).toStdString());
    ASSERT_GE(n, 0) << name;
    const auto e = images.Extent(n);
    ASSERT_TRUE(e) << name;
    EXPECT_TRUE(e->MinX == 0 && e->MinY == 0 && e->MaxX == 2 && e->MaxY == 1) << Describe(*e);
    const QImage whole = DrawInto(images, n, QRectF(0, 0, 200, 100));
    EXPECT_EQ(whole.pixelColor(20, 50), kRed) << name;
    EXPECT_EQ(whole.pixelColor(180, 50), kBlue) << name;
    // Twice as large with its left half out of view: only blue is in sight.
    EXPECT_EQ(DrawInto(images, n, QRectF(-200, 0, 400, 100)).pixelColor(5, 50), kBlue) << name;
    images.Close(n);
    EXPECT_FALSE(images.Extent(n));
  }
  // Missing, unreadable, or with no place on the earth.
  testing::WriteFile(dir.filePath("junk.tif"), "not a raster at all");
  WriteRaster("PNG", dir.filePath("plain.png"), false);
  for (const char* name : {"none.tif", "junk.tif", "plain.png"}) {
    EXPECT_EQ(images.Open(dir.filePath(name).toStdString()), -1) << name;
  }
}

TEST(RasterImages, TheViewerDrawsImageLayersOnceItsImageFolderHasThem) {
  QTemporaryDir dir;
  testing::ViewerRig rig;
  testing::LayerDef image;
  image.name = "Orto";
  image.id = 3;
  image.kind = 5;
  testing::LayerDef absent = image;
  absent.name = "Missing";
  absent.id = 4;
  rig.Open({image, absent});
  EXPECT_EQ(rig.viewer->layers().Item("3")->ImageNumber, -1) << "no image folder yet";
  WriteRaster("GTiff", dir.filePath("Orto.tif"));
  rig.viewer->SetImagePath(dir.path());
  EXPECT_GE(rig.viewer->layers().Item("3")->ImageNumber, 0);
  EXPECT_EQ(rig.viewer->layers().Item("4")->ImageNumber, -1) << "a missing file leaves it empty";
  rig.viewer->Redraw();
  // 0..2 x 0..2 on 300 pixels: the raster fills the lower half.
  const QImage picture = rig.viewer->Picture();
  EXPECT_EQ(picture.pixelColor(40, 225), kRed);
  EXPECT_EQ(picture.pixelColor(260, 225), kBlue);
  EXPECT_EQ(picture.pixelColor(150, 75), QColor(Qt::white));
  EXPECT_TRUE(rig.ui.shown.empty());
}

}  // namespace
}  // namespace orvenda
