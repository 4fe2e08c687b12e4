#!/bin/sh
# Builds the Debian package from this build and holds it to Debian's own checks:
#   check_package.sh CPACK CPACK_CONFIG OUTPUT_DIR
# Exits 77 (skipped) where lintian is not installed.
set -eu
cpack="$1"
config="$2"
out="$3"

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
dpkg-deb --contents "$deb"
# Pedantic and informational notes are not failures; errors and warnings are.
lintian --fail-on error,warning --display-info "$deb"
