#!/usr/bin/env bash
# Installs the Debian packages that building, testing and the demo need, when
# they are missing. Non-interactive and idempotent: with everything present it
# only asks dpkg and returns.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git ccache clang-format
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libgl-dev
  libproj-dev proj-bin libgeos-dev libgdal-dev gdal-bin
  libsqlite3-dev libsodium-dev libasio-dev libpq-dev
  postgresql-15 postgresql-15-postgis-3

  fonts-liberation xvfb xauth
  help2man dpkg-dev fakeroot
  nodejs npm
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
    # A tool that is already on the PATH (node and npm often are) is good enough.
    case "$p" in
      nodejs) command -v node >/dev/null && continue ;;
      npm) command -v npm >/dev/null && continue ;;
    esac
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages and not root: install them with apt-get install ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
