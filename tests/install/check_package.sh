#!/bin/sh
# Builds the Debian package from this build and holds it to Debian's own checks:
#   check_package.sh CPACK CPACK_CONFIG OUTPUT_DIR [exporter]
# With "exporter", the package must also carry the exporter's systemd unit, not
# enabled, and its ports file as a conffile.
# Exits 77 (skipped) where lintian is not installed.
set -eu
cpack="$1"
config="$2"
out="$3"
exporter="${4:-}"

if ! command -v lintian >/dev/null 2>&1; then
  echo "lintian is not installed (apt-get install lintian); the package is not checked."
  exit 77
fi

rm -rf "$out"
mkdir -p "$out"
"$cpack" -G DEB --config "$config" -B "$out" >"$out/cpack.log" 2>&1 || {
  cat "$out/cpack.log"
  echo "cpack failed"
  exit 1
}
deb="$(ls "$out"/*.deb)"
echo "checking $deb"
dpkg-deb --contents "$deb" >"$out/contents"
cat "$out/contents"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

unit=lib/systemd/system/zel5100-exporter.service
ports=etc/zel5100/ports
if [ "$exporter" = exporter ]; then
  for file in "$unit" "$ports"; do
    grep -q " \./$file\$" "$out/contents" || fail "the package lacks /$file"
  done
  dpkg-deb --extract "$deb" "$out/root"
  dpkg-deb --control "$deb" "$out/control"
  grep -qx "/$ports" "$out/control/conffiles" 2>/dev/null || fail "/$ports is not a conffile"
  # Installed, never started on its own: no link in a .wants folder, no maintainer
  # script that enables or starts it.
  grep -q '\.wants/' "$out/contents" && fail "the package enables a unit through a .wants link"
  for script in preinst postinst prerm postrm; do
    if [ -f "$out/control/$script" ] && grep -q 'systemctl\|deb-systemd' "$out/control/$script"; then
      fail "$script touches systemd"
    fi
  done
  grep -qx 'ExecStart=/usr/bin/zelctl exporter --listen 127.0.0.1:9851 --ports-file /etc/zel5100/ports' \
    "$out/root/$unit" || fail "the unit does not start the exporter on the ports file"
  # The example ports file is all comments, so that no unit is polled until one is listed.
  if grep -v '^[[:space:]]*\(#.*\)\?$' "$out/root/$ports"; then
    fail "the shipped ports file lists a unit"
  fi
  # systemd's own reading of the unit, where systemd-analyze can run here.
  if command -v systemd-analyze >/dev/null 2>&1; then
    verified="$out/verify/zel5100-exporter.service"
    mkdir -p "$out/verify"
    # The program it starts need not be installed on this machine: any program will do for the check.
    sed "s|^ExecStart=/usr/bin/zelctl |ExecStart=$(command -v true) |" "$out/root/$unit" >"$verified"
    if ! SYSTEMD_LOG_LEVEL=warning systemd-analyze verify --man=no "$verified" >"$out/verify.log" 2>&1; then
      cat "$out/verify.log"
      fail "systemd-analyze verify rejects the unit"
    elif [ -s "$out/verify.log" ]; then
      cat "$out/verify.log"
      fail "systemd-analyze verify warns about the unit"
    fi
  fi
fi

# Pedantic and informational notes are not failures; errors and warnings are.
lintian --fail-on error,warning --display-info "$deb" >"$out/lintian.log" 2>&1 || fail "lintian"
cat "$out/lintian.log"
if [ "$exporter" = exporter ] && grep -E '^[EW]: .*(zel5100-exporter|etc/zel5100)' "$out/lintian.log"; then
  fail "lintian objects to the exporter's unit or ports file"
fi
exit $((failures > 0))
