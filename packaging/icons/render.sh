#!/usr/bin/env bash
# Renders the PNG sizes of the application icon from qrx5.svg. The PNGs are kept in the
# repository so that a build needs no SVG renderer; run this (it needs rsvg-convert, from the
# Debian package librsvg2-bin) after changing the SVG and commit what it writes.
set -euo pipefail
cd "$(dirname "$0")"
for size in 48 128 256; do
  mkdir -p "${size}x${size}"
  rsvg-convert -w "$size" -h "$size" qrx5.svg -o "${size}x${size}/qrx5.png"
done
