#!/usr/bin/env bash
# The demo: builds the demo database from public map data, serves it on loopback
# and opens the desktop program on it, logged in as the demo user.
#
#   scripts/demo.sh [BUILD]      (the Makefile's `make demo` builds first)
#
# With a display the program opens on it, shows the first map and stays until it
# is closed. Without one ($DISPLAY unset) it runs under Xvfb, waits until the
# first map is drawn, saves a screenshot to BUILD/demo.png and ends. The server
# stops when the program does.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
build="${1:-build}"
desk="$build/src/host/OrvendaDesk"
server="$build/src/server/orvenda-server"
work="$build/demo"

for program in "$desk" "$server"; do
  if [ ! -x "$program" ]; then
    echo "make demo: $program is not built; run 'make build' and look for errors." >&2
    exit 1
  fi
done
mkdir -p "$work"

scripts/fetch-demo-data.sh
if [ ! -f "$work/demo.db" ]; then
  echo "Building the demo database in $work/demo.db ..."
  "$server" demo-db "$work/demo.db.part" --replace >"$work/demo-db.log" 2>&1 ||
    { cat "$work/demo-db.log" >&2; exit 1; }
  mv "$work/demo.db.part" "$work/demo.db"
fi

# Port 0: the kernel picks a free port and the log says which.
log="$work/server.log"
rm -f "$log"
"$server" serve --db "$work/demo.db" --port 0 --listen 127.0.0.1 --log "$log" \
  >"$work/server.out" 2>&1 &
server_pid=$!
stop_server() {
  kill "$server_pid" 2>/dev/null || true
  wait "$server_pid" 2>/dev/null || true
}
trap stop_server EXIT

port=""
for _ in $(seq 1 300); do
  if ! kill -0 "$server_pid" 2>/dev/null; then
    echo "make demo: the map server stopped:" >&2
    cat "$work/server.out" "$log" 2>/dev/null >&2 || true
    exit 1
  fi
  port="$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9][0-9]*\).*/\1/p' "$log" 2>/dev/null | head -n1 || true)"
  [ -n "$port" ] && break
  sleep 0.1
done
if [ -z "$port" ]; then
  echo "make demo: the map server did not say where it listens (see $log)" >&2
  exit 1
fi
echo "Map server on 127.0.0.1:$port (log: $log)"

# The program's configuration: server, port, image folder (one a line, CR LF).
mkdir -p "$work/images"
printf '%s\r\n%s\r\n%s\r\n' 127.0.0.1 "$port" "$root/$work/images" >"$work/ov.cfg"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  shot="$build/demo.png"
  rm -f "$shot"
  echo "No display: running OrvendaDesk under Xvfb, logged in as demo ..."
  xvfb-run -a -s "-screen 0 1280x900x24" "$desk" --config-dir "$work" \
    --auto-login demo:demo --open-first-map --screenshot "$shot" --quit-after-redraw
  echo "Screenshot of the first map: $(cd "$(dirname "$shot")" && pwd)/$(basename "$shot")"
else
  echo "Opening OrvendaDesk logged in as demo (password demo); close it to stop the server."
  "$desk" --config-dir "$work" --auto-login demo:demo --open-first-map
fi
