# Times full redraws of one OGR layer in QGIS at 1920 x 1080, antialiasing on:
# a memory layer, single symbol, rendering optimisation on; only start() and
# waitForFinished() of the sequential render job are timed.
# Usage: /usr/bin/python3 qgis_render.py <file> <runs>
import os
import sys
import time

os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")
from qgis.core import (QgsApplication, QgsFeatureRequest, QgsFillSymbol, QgsMapRendererSequentialJob,
                       QgsMapSettings, QgsMarkerSymbol, QgsSingleSymbolRenderer, QgsVectorLayer,
                       QgsWkbTypes)
from qgis.PyQt.QtCore import QSize
from qgis.PyQt.QtGui import QColor

app = QgsApplication([], False)
app.initQgis()
path, runs = sys.argv[1], int(sys.argv[2])
source = QgsVectorLayer(path, "source", "ogr")
layer = source.materialize(QgsFeatureRequest())
if layer.geometryType() == QgsWkbTypes.PointGeometry:
    symbol = QgsMarkerSymbol.createSimple({"name": "square", "color": "180,0,0", "size": "1",
                                           "size_unit": "Pixel", "outline_style": "no"})
else:
    symbol = QgsFillSymbol.createSimple({"color": "235,225,200", "outline_color": "60,60,60",
                                         "outline_width": "1", "outline_width_unit": "Pixel"})
layer.setRenderer(QgsSingleSymbolRenderer(symbol))
settings = QgsMapSettings()
settings.setLayers([layer])
settings.setDestinationCrs(layer.crs())
settings.setOutputSize(QSize(1920, 1080))
settings.setExtent(layer.extent())
settings.setBackgroundColor(QColor(255, 255, 255))
settings.setFlag(QgsMapSettings.Antialiasing, True)
settings.setFlag(QgsMapSettings.UseRenderingOptimization, True)
times = []
for run in range(runs + 1):
    job = QgsMapRendererSequentialJob(settings)
    start = time.perf_counter()
    job.start()
    job.waitForFinished()
    if run > 0:
        times.append((time.perf_counter() - start) * 1000)
times.sort()
print("qgis      %-14s %7d features | min %8.1f median %8.1f ms" %
      (os.path.basename(path), layer.featureCount(), times[0], times[len(times) // 2]))
sys.stdout.flush()
os._exit(0)
