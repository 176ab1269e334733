// Raster pictures of image layers: rasters written with GDAL in a temporary
// folder, read back, georeferenced and drawn by RasterImages and by the Viewer.
#include "viewer/rasterimages.h"

#include <gdal.h>
#include <gtest/gtest.h>

#include <QPainter>
#include <QTemporaryDir>

#include "viewer_rig.h"

namespace orvenda {
namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

// A 4 x 2 raster: the left two columns red, the right two blue, over the given
// geotransform (written with it, or with none when `georeferenced` is false).
GDALDatasetH MemoryRaster(bool georeferenced = true) {
  GDALAllRegister();
  GDALDatasetH ds = GDALCreate(GDALGetDriverByName("MEM"), "", 4, 2, 3, GDT_Byte, nullptr);
  const GByte red[8] = {255, 255, 0, 0, 255, 255, 0, 0};
  const GByte zero[8] = {0, 0, 0, 0, 0, 0, 0, 0};
  const GByte blue[8] = {0, 0, 255, 255, 0, 0, 255, 255};
  const GByte* bands[3] = {red, zero, blue};
  for (int b = 0; b < 3; ++b) {
    EXPECT_EQ(GDALRasterIO(GDALGetRasterBand(ds, b + 1), GF_Write, 0, 0, 4, 2,
                           const_cast<GByte*>(bands[b]), 4, 2, GDT_Byte, 0, 0),
              CE_None);
  }
  // Longitude 0 to 2, latitude 1 down to 0: half a degree per pixel.
  double gt[6] = {0, 0.5, 0, 1, 0, -0.5};
  if (georeferenced) GDALSetGeoTransform(ds, gt);
  return ds;
}

void WriteCopy(const char* driver, const std::string& path, bool georeferenced,
               const char* option = nullptr) {
  GDALDatasetH mem = MemoryRaster(georeferenced);
  char* options[] = {const_cast<char*>(option), nullptr};
  GDALDatasetH out = GDALCreateCopy(GDALGetDriverByName(driver), path.c_str(), mem, FALSE,
                                    option ? options : nullptr, nullptr, nullptr);
  ASSERT_NE(out, nullptr) << path;
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

TEST(RasterImages, GeoTiffIsPlacedByItsGeotransformAndDrawnInItsColours) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("Orto.tif").toStdString();
  WriteCopy("GTiff", path, true);
  RasterImages images;
  const std::int32_t n = images.Open(path);
  ASSERT_GE(n, 0);
  const auto e = images.Extent(n);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->MinX, 0);
  EXPECT_EQ(e->MaxX, 2);
  EXPECT_EQ(e->MinY, 0);
  EXPECT_EQ(e->MaxY, 1);

  const QImage whole = DrawInto(images, n, QRectF(0, 0, 200, 100));
  EXPECT_EQ(whole.pixelColor(20, 50), kRed);
  EXPECT_EQ(whole.pixelColor(180, 50), kBlue);

  // Twice as large with its left half out of view: only blue is in sight.
  const QImage zoomed = DrawInto(images, n, QRectF(-200, 0, 400, 100));
  EXPECT_EQ(zoomed.pixelColor(5, 50), kBlue);
  EXPECT_EQ(zoomed.pixelColor(195, 50), kBlue);

  // Entirely out of view: nothing drawn.
  const QImage away = DrawInto(images, n, QRectF(300, 0, 100, 100));
  EXPECT_EQ(away.pixelColor(100, 50), QColor(Qt::white));

  images.Close(n);
  EXPECT_FALSE(images.IsOpen(n));
  EXPECT_FALSE(images.Extent(n));
}

TEST(RasterImages, AWorldFileGeoreferencesAPlainPicture) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("Plano.png").toStdString();
  WriteCopy("PNG", path, true, "WORLDFILE=YES");
  RasterImages images;
  const std::int32_t n = images.Open(path);
  ASSERT_GE(n, 0);
  EXPECT_EQ(images.Extent(n)->MaxX, 2);
  EXPECT_EQ(images.Extent(n)->MaxY, 1);
  EXPECT_EQ(DrawInto(images, n, QRectF(0, 0, 200, 100)).pixelColor(180, 50), kBlue);
}

TEST(RasterImages, MissingUnreadableOrUnplacedFilesGiveNoImage) {
  QTemporaryDir dir;
  RasterImages images;
  EXPECT_EQ(images.Open(dir.filePath("none.tif").toStdString()), -1);
  QFile junk(dir.filePath("junk.tif"));
  junk.open(QIODevice::WriteOnly);
  junk.write("not a raster at all");
  junk.close();
  EXPECT_EQ(images.Open(junk.fileName().toStdString()), -1);
  const std::string plain = dir.filePath("plain.png").toStdString();
  WriteCopy("PNG", plain, false);
  EXPECT_EQ(images.Open(plain), -1) << "a picture with no place on the earth";
  EXPECT_EQ(images.count(), 0);

  EXPECT_EQ(RasterImages::FindFile(dir.path().toStdString(), "plain"), plain);
  EXPECT_EQ(RasterImages::FindFile(dir.path().toStdString(), "plain.png"), plain);
  EXPECT_EQ(RasterImages::FindFile(dir.path().toStdString(), "absent"), "");
  EXPECT_EQ(RasterImages::FindFile("", "plain"), "");
}

TEST(RasterImages, TheViewerDrawsAnImageLayerFromItsImageFolder) {
  QTemporaryDir dir;
  WriteCopy("GTiff", dir.filePath("Orto.tif").toStdString(), true);
  testing::ViewerRig rig;
  rig.viewer->SetImagePath(dir.path());
  testing::LayerDef image;
  image.name = "Orto";
  image.id = 3;
  image.kind = 5;
  testing::LayerDef absent = image;
  absent.name = "Missing";
  absent.id = 4;
  rig.Open({image, absent});
  EXPECT_GE(rig.viewer->layers().Item("3")->ImageNumber, 0);
  EXPECT_EQ(rig.viewer->layers().Item("4")->ImageNumber, -1) << "a missing file leaves it empty";
  // 0..2 x 0..2 on 300 pixels: the raster fills the lower half.
  const QImage picture = rig.viewer->Picture();
  EXPECT_EQ(picture.pixelColor(40, 225), kRed);
  EXPECT_EQ(picture.pixelColor(260, 225), kBlue);
  EXPECT_EQ(picture.pixelColor(150, 75), QColor(Qt::white));
  EXPECT_TRUE(rig.ui.shown.empty());
}

TEST(RasterImages, SettingTheImageFolderLaterLoadsTheImagesStillMissing) {
  QTemporaryDir dir;
  testing::ViewerRig rig;
  testing::LayerDef image;
  image.name = "Orto";
  image.id = 3;
  image.kind = 5;
  rig.Open({image});
  EXPECT_EQ(rig.viewer->layers().Item("3")->ImageNumber, -1);
  WriteCopy("GTiff", dir.filePath("Orto.tif").toStdString(), true);
  rig.viewer->SetImagePath(dir.path());
  EXPECT_GE(rig.viewer->layers().Item("3")->ImageNumber, 0);
  rig.viewer->Redraw();
  EXPECT_EQ(rig.viewer->Picture().pixelColor(40, 225), kRed);
}

}  // namespace
}  // namespace orvenda
