#!/usr/bin/env bash
# Builds Vilorka and runs every test headless: once as a normal build, once under
# AddressSanitizer and UndefinedBehaviorSanitizer. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
vilorka_install_deps libbenchmark-dev xvfb openbox

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== build and test (warnings as errors)"
cmake --preset dev >/dev/null
cmake --build --preset dev -j "$jobs"
ctest --preset dev -j "$jobs"

echo "== build and test under AddressSanitizer and UndefinedBehaviorSanitizer"
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"
