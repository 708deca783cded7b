#!/usr/bin/env bash
# Builds the program alone (Release, into build/: the executable and the chart module, not the
# tests or benchmarks) and starts the calculator.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
vilorka_install_deps

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "vilorka: no graphical display (neither DISPLAY nor WAYLAND_DISPLAY is set); start it from a desktop session." >&2
    exit 1
fi

cmake --preset release >/dev/null
cmake --build --preset release --target vilorka vilorka_chart vilorka_memo
exec ./build/src/vilorka "$@"
