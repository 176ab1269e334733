#!/usr/bin/env bash
# The installed layout of both packages' files (cmake --install into a DESTDIR), and the
# service unit checked by systemd-analyze in a root that holds the installed server and
# the host's own systemd units.
#   install_layout.sh BUILD_DIR
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR="$root/dest" cmake --install "$build" --prefix /usr >/dev/null

status=0
expect() {
  for f in "$@"; do
    [ -e "$root/dest/$f" ] || { echo "missing: $f"; status=1; }
  done
}
expect usr/bin/OrvendaDesk usr/bin/orvenda-server \
  usr/share/applications/orvenda-desk.desktop \
  usr/share/icons/hicolor/scalable/apps/orvenda.svg \
  usr/share/orvenda-desk/help/mapas/help.htm usr/share/orvenda-desk/help/ovhelp/tools.htm \
  usr/lib/systemd/system/orvenda-server.service etc/orvenda/server.conf

# The library in a folder of its own under the (multiarch) library folder.
compgen -G "$root/dest/usr/lib/*orvenda/libOrvendaApp.so" >/dev/null ||
  compgen -G "$root/dest/usr/lib/*/orvenda/libOrvendaApp.so" >/dev/null ||
  { echo "missing: libOrvendaApp.so"; status=1; }
# The program finds its library through its own run path, not the build tree's.
if ldd "$root/dest/usr/bin/OrvendaDesk" | grep -q 'libOrvendaApp.so => not found'; then
  echo "OrvendaDesk does not find libOrvendaApp.so where it is installed"
  status=1
fi
# Both programs explain themselves (their manual pages are made from this).
QT_QPA_PLATFORM=offscreen "$root/dest/usr/bin/OrvendaDesk" --help 2>/dev/null | grep -q -- --config-dir ||
  { echo "OrvendaDesk --help does not list its options"; status=1; }
"$root/dest/usr/bin/orvenda-server" --help | grep -q backup ||
  { echo "orvenda-server --help does not list its commands"; status=1; }
# The installed default configuration is one the server accepts.
if ! "$root/dest/usr/bin/orvenda-server" serve --check-config \
  --config "$root/dest/etc/orvenda/server.conf"; then
  echo "the server refuses its installed server.conf"
  status=1
fi

verify=$root/verify
mkdir -p "$verify/usr/lib/systemd/system"
find /usr/lib/systemd/system -maxdepth 1 -type f -exec cp {} "$verify/usr/lib/systemd/system/" \;
cp -a "$root/dest/usr/bin" "$verify/usr/"
cp "$root/dest/usr/lib/systemd/system/orvenda-server.service" "$verify/usr/lib/systemd/system/"
if ! systemd-analyze verify --man=no --root="$verify" \
  "$verify/usr/lib/systemd/system/orvenda-server.service"; then
  echo "systemd-analyze verify refused orvenda-server.service"
  status=1
fi
exit $status
