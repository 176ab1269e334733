#!/usr/bin/env bash
# Builds and opens the demo. The desktop program and the map server are not part
# of the tree yet; until they land this says so instead of pretending.
set -euo pipefail
build=${1:-build}
if [ ! -x "$build/src/host/OrvendaDesk" ]; then
  echo "make demo: the desktop program (OrvendaDesk) and the demo map server are not built yet."
  echo "The libraries and tests are built in $build; 'make demo' will open the program once it exists."
  exit 0
fi
