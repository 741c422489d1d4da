#!/usr/bin/env bash
# velmora-render writes both histogram windows at the display size of the last frame, for frames
# from 1 x 1 upwards.
source "$(dirname "$0")/lib.sh"

# pixel FILE X Y: prints the pixel as ImageMagick names it, e.g. srgb(22,18,18)
pixel() { convert "$1" -format "%[pixel:p{$2,$3}]" info:; }

# frame size -> expected histogram image size
cases=(
    "1x1 1x1" "2x3 2x3" "62x17 62x17" "63x18 63x18" "63x40 63x40" "640x480 640x480"
    "1023x768 1023x768" "1024x767 1024x767" "1024x768 512x384" "1280x1024 640x512"
    "4000x3000 2000x1500"
)
for case in "${cases[@]}"; do
    read -r frame shown <<<"$case"
    make_image "$E2E_TMP/frame.png" "$frame"
    out="$E2E_TMP/out-$frame"
    set +e
    "$VELMORA_RENDER" --fps 25 "$out" "$E2E_TMP/frame.png" 2>"$E2E_TMP/err"
    status=$?
    set -e
    assert_eq "status for $frame" 0 "$status"
    assert_file_eq "errors for $frame" "" "$E2E_TMP/err"
    assert_eq "rgb size for $frame" "$shown" "$(image_size "$out/histogram-rgb.png")"
    assert_eq "gray size for $frame" "$shown" "$(image_size "$out/histogram-gray.png")"
done

# 640 x 480: the strip ends are full white, red and blue; the corners keep the background.
out="$E2E_TMP/out-640x480"
assert_eq "gray corner" "srgb(22,18,18)" "$(pixel "$out/histogram-gray.png" 639 479)"
assert_eq "gray strip end" "srgb(255,255,255)" "$(pixel "$out/histogram-gray.png" 623 470)"
assert_eq "red strip end" "srgb(255,0,0)" "$(pixel "$out/histogram-rgb.png" 623 440)"
assert_eq "blue strip end" "srgb(0,0,255)" "$(pixel "$out/histogram-rgb.png" 623 475)"
assert_eq "rgb corner" "srgb(22,18,18)" "$(pixel "$out/histogram-rgb.png" 0 479)"

# A size change between frames: the images follow the last frame's display size.
make_image "$E2E_TMP/big.png" 1280x1024
make_image "$E2E_TMP/small.png" 800x600 'plasma:'
"$VELMORA_RENDER" --fps 25 "$E2E_TMP/changed" "$E2E_TMP/big.png" "$E2E_TMP/small.png"
assert_eq "rgb after a size change" 800x600 "$(image_size "$E2E_TMP/changed/histogram-rgb.png")"
assert_eq "gray after a size change" 800x600 "$(image_size "$E2E_TMP/changed/histogram-gray.png")"

# With a fixed frame rate the images depend on the frame only.
"$VELMORA_RENDER" --fps 25 "$E2E_TMP/again" "$E2E_TMP/small.png"
for name in histogram-rgb.png histogram-gray.png; do
    if cmp -s "$E2E_TMP/changed/$name" "$E2E_TMP/again/$name"; then pass; else
        fail "$name differs between two renders of the same frame"
    fi
done

finish
