#!/usr/bin/env bash
# Runs every benchmark that the build produced and prints its figures.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
for b in "$build"/bench/bench_*; do
  [ -x "$b" ] || continue
  name=$(basename "$b")
  echo "== $name"
  if [ "$name" = bench_render ]; then
    # The public maps come from bench/render/compare_peers.sh, which also times
    # the peers; without them there is nothing to draw.
    shopt -s nullglob
    maps=("$root"/data/cache/*.gpkg)
    shopt -u nullglob
    if [ ${#maps[@]} -eq 0 ]; then
      echo "no maps in data/cache: run bench/render/compare_peers.sh first"
      continue
    fi
    "$b" "${maps[@]}"
    continue
  fi
  if [ "$name" = bench_open ]; then
    # Its database (demo maps and the 9M-vertex land map) comes from
    # bench/open/open_to_picture.sh, which also times QGIS.
    if [ ! -f "$root/data/cache/open-bench.db" ]; then
      echo "no data/cache/open-bench.db: run bench/open/open_to_picture.sh first"
      continue
    fi
    "$b" "$root/data/cache/open-bench.db" 0 1 114 2 3
    continue
  fi
  "$b"
done
