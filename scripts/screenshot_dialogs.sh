#!/bin/sh
# Photographs the parameters and curve dialogs on a virtual X display and
# writes the PNGs to docs/screenshots/. Builds the widget test program first.
#   scripts/screenshot_dialogs.sh [build directory]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out=$root/docs/screenshots

missing=""
command -v xvfb-run >/dev/null 2>&1 || missing="$missing xvfb xauth"
fc-list 2>/dev/null | grep -qi liberation || missing="$missing fonts-liberation2"
if [ -n "$missing" ]; then
  echo "installing:$missing"
  apt-get install -y $missing >/dev/null
fi

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRARA_GUI=ON >/dev/null
fi
ninja -C "$build" test_gui >/dev/null

mkdir -p "$out"
# The real X platform (not offscreen), so that fonts and styles are those of a desktop.
RARA_SCREENSHOTS="$out" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$build/tests/test_gui"
ls -l "$out"/param_form_*.png "$out"/curve_form_*.png
