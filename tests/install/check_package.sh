#!/usr/bin/env bash
# Builds the Debian package once, checks its declared dependencies, unpacks it
# into a temporary root and runs rara-cli from there.
# Usage: check_package.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >/dev/null 2>&1 ||
  { echo "cpack failed" >&2; cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out"; exit 1; }
deb=$(ls "$work"/out/rara_*.deb)
echo "package: $(basename "$deb")"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
grep -q 'libstdc++6' <<<"$depends"
# The listing is read whole: grep -q would close the pipe under dpkg-deb.
contents=$(dpkg-deb -c "$deb")
grep -q '/usr/bin/rara-cli$' <<<"$contents"
grep -q '/usr/share/man/man1/rara-cli.1' <<<"$contents"
if grep -q '/usr/bin/rara$' <<<"$contents"; then
  grep -q 'libqt6widgets6' <<<"$depends"
  grep -q 'libqt6printsupport6' <<<"$depends"
  grep -q '/usr/share/applications/rara.desktop' <<<"$contents"
fi

dpkg-deb -x "$deb" "$work/root"
"$work/root/usr/bin/rara-cli" --version | grep -qx "rara-cli $(dpkg-deb -f "$deb" Version)"
"$work/root/usr/bin/rara-cli" --help | grep -q -- '--degree'
echo "rara-cli runs from the unpacked package"
