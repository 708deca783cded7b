#!/usr/bin/env bash
# Renders the screenshots the AppStream data show (data/screenshots/*.png) with the snapshot
# tool of the dev build, offscreen: the main window and the converter.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset dev >/dev/null
cmake --build --preset dev --target vilorka_snapshot
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 build-dev/tests/vilorka_snapshot "$scratch"
mkdir -p data/screenshots
cp "$scratch/fmCalc.png" data/screenshots/main-window.png
cp "$scratch/fmKonvert.png" data/screenshots/converter.png
echo "data/screenshots: main-window.png converter.png"
