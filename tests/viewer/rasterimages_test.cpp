// Raster pictures of image layers: rasters written with GDAL in a temporary
// folder, read back, georeferenced and drawn by RasterImages and by the Viewer.
#include "viewer/rasterimages.h"

#include <gdal.h>
#include <gtest/gtest.h>

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

TEST(RasterImages, WorldFilesPlaceAPictureAndFilesWithoutAPlaceGiveNone) {
  QTemporaryDir dir;
  WriteRaster("PNG", dir.filePath("Plano.png"), true, "WORLDFILE=YES");
  testing::WriteFile(dir.filePath("junk.tif"), "not a raster at all");
  WriteRaster("PNG", dir.filePath("plain.png"), false);
  RasterImages images;
  const std::int32_t n = images.Open(dir.filePath("Plano.png").toStdString());
  const auto e = images.Extent(n);
  ASSERT_TRUE(e);
  EXPECT_TRUE(e->MinX == 0 && e->MinY == 0 && e->MaxX == 2 && e->MaxY == 1) << Describe(*e);
  images.Close(n);
  EXPECT_FALSE(images.Extent(n));
  for (const char* name : {"none.tif", "junk.tif", "plain.png"}) {
    EXPECT_EQ(images.Open(dir.filePath(name).toStdString()), -1) << name;
  }
}

// A GeoTIFF drawn by the Viewer: whole, and zoomed in with its outer columns out
// of sight.
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
  // 0..2 x 0..2 on 300 pixels: the raster fills the lower half; zoomed in about
  // the middle, the middle half of the raster fills the lower half of the view.
  for (const bool zoomed : {false, true}) {
    if (zoomed) rig.viewer->ZoomIn();
    const QImage picture = rig.viewer->Picture();
    EXPECT_EQ(picture.pixelColor(40, 225), kRed) << zoomed;
    EXPECT_EQ(picture.pixelColor(260, 225), kBlue) << zoomed;
    EXPECT_EQ(picture.pixelColor(150, 75), QColor(Qt::white)) << zoomed;
  }
  EXPECT_TRUE(rig.ui.shown.empty());
}

}  // namespace
}  // namespace orvenda
