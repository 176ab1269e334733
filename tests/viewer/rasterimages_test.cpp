// Raster pictures of image layers: rasters written with GDAL in a temporary
// folder, read back, georeferenced and drawn by the Viewer.
#include "viewer/rasterimages.h"

#include <gdal.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "loopback.h"
#include "viewer_rig.h"

namespace orvenda {
namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

// A 4 x 2 GeoTIFF, the left two columns red and the right two blue, over
// longitude 0 to 2 and latitude 1 down to 0 (or nowhere, when not `georeferenced`).
void WriteRaster(const QString& path, bool georeferenced = true) {
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
  GDALDatasetH out = GDALCreateCopy(GDALGetDriverByName("GTiff"), path.toStdString().c_str(), mem,
                                    FALSE, nullptr, nullptr, nullptr);
  ASSERT_NE(out, nullptr) << path.toStdString();
  GDALClose(out);
  GDALClose(mem);
}

// A GeoTIFF drawn by the Viewer: whole, and zoomed in with its outer columns out
// of sight; files without a place on the earth give no picture.
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
  WriteRaster(dir.filePath("Orto.tif"));
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
  testing::WriteFile(dir.filePath("junk.tif"), "not a raster at all");
  WriteRaster(dir.filePath("plain.tif"), false);
  RasterImages images;
  for (const char* name : {"junk.tif", "plain.tif"}) {
    EXPECT_EQ(images.Open(dir.filePath(name).toStdString()), -1) << name;
  }
}

}  // namespace
}  // namespace orvenda
