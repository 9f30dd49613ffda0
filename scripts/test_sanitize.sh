#!/usr/bin/env bash
# The sanitizer half of the tests (./test --sanitize): builds build-sanitize
# with RARA_SANITIZE and RARA_VERIFY, without benchmarks, and runs every test
# case in it. Expects the packages of scripts/deps.sh test.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DRARA_SANITIZE=ON -DRARA_VERIFY=ON -DRARA_BENCH=OFF -DRARA_WERROR=ON
cmake --build build-sanitize -j"$(nproc)"
# Leaks count as findings; the first finding of either sanitizer ends the
# program with a failure and a stack trace.
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build-sanitize --output-on-failure -j"$(nproc)"
