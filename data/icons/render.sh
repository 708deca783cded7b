#!/bin/sh
# Renders the PNG icons from data/vilorka.svg (needs rsvg-convert, Debian package librsvg2-bin).
# The PNGs are committed: the program bundles some of them as its window icon, and the installed
# icon theme gets them all, so neither needs an SVG renderer at run time.
set -eu
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" ../vilorka.svg -o "vilorka-$size.png"
done
