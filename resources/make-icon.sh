#!/usr/bin/env bash
# Regenerates velmora.ico from velmora-icon.svg with ImageMagick 6 (Debian's `imagemagick`).
# The drawing is rendered once at 256 pixels by ImageMagick's own SVG renderer, so the result
# does not depend on which SVG libraries happen to be installed, and then scaled down to the
# smaller sizes. Windows wants the 256 image stored as a PNG with 8 bits per RGBA channel.
# Run it after editing the drawing and commit both files.
set -euo pipefail
cd "$(dirname "$0")"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

convert -background none -density 96 MSVG:velmora-icon.svg -depth 8 "PNG32:$tmp/velmora-256.png"
convert "$tmp/velmora-256.png" -depth 8 -define png:color-type=6 \
    -define icon:auto-resize=256,64,48,32,24,16 velmora.ico
identify velmora.ico
