#!/usr/bin/env bash
# Builds the Debian package once, checks its declared dependencies, unpacks it
# into a temporary root and runs rara-cli from there.
# Usage: check_package.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >/dev/null
deb=$(ls "$work"/out/rara_*.deb)
echo "package: $(basename "$deb")"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
grep -q 'libstdc++6' <<<"$depends"
if dpkg-deb -c "$deb" | grep -q '/usr/bin/rara$'; then
  grep -q 'libqt6widgets6' <<<"$depends"
  dpkg-deb -c "$deb" | grep -q '/usr/share/applications/rara.desktop'
fi

dpkg-deb -x "$deb" "$work/root"
"$work/root/usr/bin/rara-cli" --version | grep -qx "rara-cli $(dpkg-deb -f "$deb" Version)"
"$work/root/usr/bin/rara-cli" --help | grep -q -- '--degree'
echo "rara-cli runs from the unpacked package"
