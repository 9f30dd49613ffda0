#!/usr/bin/env bash
# Takes the pictures of the main window (with parameters; with a curve and
# points) and of the display options dialog under a virtual X display, into
# docs/screenshots/. Builds the widget tests in build/ when needed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${BUILD_DIR:-build}
out=$root/docs/screenshots
if [[ ! -x $build/tests/test_gui ]]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
  cmake --build "$build" --target test_gui -j"$(nproc)"
fi
mkdir -p "$out"
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display QT_QPA_PLATFORM=xcb RARA_MAIN_SCREENSHOTS=$out \
  "$build"/tests/test_gui --gtest_filter='MainFormTest.ScreenshotsOfTheMainWindow'
ls -l "$out"
