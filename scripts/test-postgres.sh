#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the tests: `start DIR` makes a cluster in DIR,
# starts it on a free port of 127.0.0.1 (no socket file), creates the database
# orvenda_test with PostGIS and writes its connection string to DIR/conninfo;
# `stop DIR` stops it and removes DIR. PostgreSQL refuses to run as root, so as root
# the cluster belongs to the unprivileged user orvenda-pgtest.
set -euo pipefail

action=${1:?usage: test-postgres.sh start|stop DIR}
dir=${2:?usage: test-postgres.sh start|stop DIR}
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
[ -n "$bin" ] || { echo "PostgreSQL is not installed (make deps)" >&2; exit 1; }
user=$(id -un)

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u orvenda-pgtest -- "$@"
  else
    "$@"
  fi
}

stop() {
  if [ -f "$dir/data/postmaster.pid" ]; then
    as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$dir"
}

case "$action" in
  stop)
    stop
    ;;
  start)
    stop  # what a run that died before its cleanup left
    if [ "$(id -u)" -eq 0 ]; then
      id orvenda-pgtest >/dev/null 2>&1 ||
        useradd --system --no-create-home --shell /usr/sbin/nologin orvenda-pgtest
      user=orvenda-pgtest
    fi
    mkdir -p "$dir"
    [ "$(id -u)" -ne 0 ] || chown orvenda-pgtest "$dir"
    as_owner "$bin/initdb" -D "$dir/data" -U "$user" --auth=trust -E UTF8 --locale=C.UTF-8 \
      >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
    # A free port: one drawn at random, and another when the server cannot bind it. No
    # durability: the cluster lives for one test run.
    started=
    for _ in 1 2 3 4 5 6 7 8; do
      port=$((20000 + RANDOM % 40000))
      if as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 start -o \
        "-p $port -c unix_socket_directories='' -c listen_addresses=127.0.0.1 -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
        >/dev/null; then
        started=1
        break
      fi
    done
    [ -n "$started" ] || { cat "$dir/server.log" >&2; exit 1; }
    conninfo="host=127.0.0.1 port=$port user=$user dbname=orvenda_test"
    "$bin/psql" -qX "host=127.0.0.1 port=$port user=$user dbname=postgres" \
      -c "CREATE DATABASE orvenda_test" >/dev/null
    "$bin/psql" -qX "$conninfo" -c "CREATE EXTENSION postgis" >/dev/null
    echo "$conninfo" >"$dir/conninfo"
    echo "PostgreSQL test cluster: $conninfo"
    ;;
  *)
    echo "usage: test-postgres.sh start|stop DIR" >&2
    exit 2
    ;;
esac
