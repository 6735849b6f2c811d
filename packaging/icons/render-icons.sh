#!/usr/bin/env bash
# Renders the PNG sizes of the application icon from its SVG (needs rsvg-convert, Debian
# package librsvg2-bin) and the Windows icon from them (needs convert, package imagemagick).
# The results are kept in the repository, so a build never needs this.
set -euo pipefail
cd "$(dirname "$0")"
name=io.github.railwright.Railwright
for size in 16 32 48 64 128 256; do
    mkdir -p "hicolor/${size}x${size}/apps"
    rsvg-convert -w "$size" -h "$size" "$name.svg" -o "hicolor/${size}x${size}/apps/$name.png"
done
# The Windows program's icon: the small sizes as bitmaps, 256 pixels as a PNG.
convert hicolor/{16x16,32x32,48x48,256x256}/apps/$name.png ../windows/railwright.ico
