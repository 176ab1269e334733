# Opens every layer of a GeoPackage in QGIS and renders the whole of it at 1920 x 1080,
# antialiasing on, into a PNG: what a user waits for between choosing the file and
# seeing it. The caller times the whole process.
# Usage: /usr/bin/python3 qgis_open.py <file.gpkg> <out.png>
import os
import sys

os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")
from qgis.core import QgsApplication, QgsMapRendererSequentialJob, QgsMapSettings, QgsVectorLayer
from qgis.PyQt.QtCore import QSize
from qgis.PyQt.QtGui import QColor
from osgeo import ogr

app = QgsApplication([], False)
app.initQgis()
path, out = sys.argv[1], sys.argv[2]
names = [l.GetName() for l in ogr.Open(path)]
layers = [QgsVectorLayer(path + "|layername=" + n, n, "ogr") for n in names]
settings = QgsMapSettings()
settings.setLayers(list(reversed(layers)))
settings.setDestinationCrs(layers[0].crs())
settings.setOutputSize(QSize(1920, 1080))
extent = layers[0].extent()
for l in layers[1:]:
    extent.combineExtentWith(l.extent())
settings.setExtent(extent)
settings.setBackgroundColor(QColor(255, 255, 255))
settings.setFlag(QgsMapSettings.Antialiasing, True)
job = QgsMapRendererSequentialJob(settings)
job.start()
job.waitForFinished()
job.renderedImage().save(out, "png")
sys.stdout.flush()
os._exit(0)
