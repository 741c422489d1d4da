#!/usr/bin/env bash
# Writes the seed corpus of the harnesses: small images of every accepted format and layout made
# with ImageMagick, and a few frame-size inputs. Re-run it to regenerate; the output is committed.
set -euo pipefail
cd "$(dirname "$0")"

images=corpus/image_file_fuzzer
frames=corpus/frame_size_fuzzer
rm -rf "$images" "$frames"
mkdir -p "$images" "$frames"

# img SIZE PATTERN FILE [FORMAT:] OPTIONS...
img() { convert -seed 1 -size "$1" "$2" "${@:5}" -strip "$4$images/$3"; }
img 8x6 gradient:navy-orange rgb8.png '' -depth 8
img 8x6 gradient:navy-orange rgb16.png '' -depth 16
img 8x6 gradient:black-white gray8.png '' -colorspace Gray -depth 8
img 8x6 gradient:navy-orange rgba.png '' -depth 8 -alpha set -channel A -evaluate set 50% +channel
img 8x6 plasma:fractal palette.png PNG8: -colors 4 -type Palette
img 16x8 gradient:navy-orange baseline.jpg '' -quality 80
img 16x8 gradient:navy-orange progressive.jpg '' -interlace Plane
img 16x8 gradient:black-white gray.jpg '' -colorspace Gray
img 8x6 gradient:navy-orange lossy.webp '' -quality 50
img 8x6 gradient:navy-orange lossless.webp '' -define webp:lossless=true
img 5x3 gradient:navy-orange rgb24.bmp '' -type TrueColor
img 5x3 plasma:fractal palette.bmp BMP3: -colors 4 -type Palette

# frame_size_fuzzer: four big-endian 16-bit sizes, then pixels.
printf '\x00\x00\x00\x00\x00\x00\x00\x00' >"$frames/one-pixel"
printf '\x00\x3f\x00\x2f\x00\x07\x00\x05\x10\x80\xff' >"$frames/small-then-smaller"
printf '\xef\xff\x00\x00\x00\x00\xef\xff\x01\x02' >"$frames/row-then-column"
printf '\xe3\xff\xe2\xff\x00\x1f\x00\x17\x40\x00\xc0' >"$frames/large-then-small"
