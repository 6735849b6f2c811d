#!/usr/bin/env bash
# Renders the PNG sizes of the application icon from its SVG (needs rsvg-convert, Debian
# package librsvg2-bin). The PNGs are kept in the repository, so a build never needs this.
set -euo pipefail
cd "$(dirname "$0")"
name=io.github.railwright.Railwright
for size in 16 32 48 64 128 256; do
    mkdir -p "hicolor/${size}x${size}/apps"
    rsvg-convert -w "$size" -h "$size" "$name.svg" -o "hicolor/${size}x${size}/apps/$name.png"
done
