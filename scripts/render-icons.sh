#!/usr/bin/env bash
# Renders the program's icon (dist/icons/hicolor/scalable/apps/*.svg) into
# the PNG sizes of the hicolor icon theme beside it. The PNGs are kept in
# the repository, so building needs no SVG renderer; run this after changing
# the SVG (it needs rsvg-convert, Debian's librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../dist/icons/hicolor"
id=nl.pelmar.Pelmar
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" "scalable/apps/$id.svg" -o "${size}x${size}/apps/$id.png"
done
