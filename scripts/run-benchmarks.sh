#!/usr/bin/env bash
# Runs every benchmark that the build produced and prints its figures.
set -euo pipefail
build=${1:-build}
for b in "$build"/bench/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b"
done
