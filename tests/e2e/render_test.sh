#!/usr/bin/env bash
# The velmora-render program itself: the files it writes, its two streams, exit statuses and the
# progress it shows on a terminal only.
source "$(dirname "$0")/lib.sh"

make_image "$E2E_TMP/big.png" 1280x1024
out="$E2E_TMP/out"

# run ARGS...: status, standard output and standard error of one run
run() {
    set +e
    "$VELMORA_RENDER" "$@" >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr"
    status=$?
    set -e
}

run --fps 30 "$out/nested" "$E2E_TMP/big.png" "$E2E_TMP/big.png"
assert_eq "render status" 0 "$status"
assert_file_eq "nothing on standard error off a terminal" "" "$E2E_TMP/stderr"
assert_eq "window files" "2d-fft-spectrum.png histogram-gray.png histogram-rgb.png laplacian-edge.png \
motion-detection.png velmora-gray.png velmora.png" "$(ls "$out/nested" | paste -sd' ')"
assert_eq "frame window" 640x512 "$(image_size "$out/nested/velmora.png")"
assert_eq "gray window is gray" Gray "$(identify -format '%[colorspace]' "$out/nested/velmora-gray.png")"

usage="usage: velmora-render [--fps VALUE] [--every-frame] [--stats FILE] OUTDIR INPUT..."
run --help
assert_eq "help status" 0 "$status"
assert_eq "help on standard output" "$usage" "$(head -n1 "$E2E_TMP/stdout")"
run --version
assert_eq "version" 1 "$(grep -cE '^velmora-render [0-9]+\.[0-9]+\.[0-9]+$' "$E2E_TMP/stdout")"

# On a terminal: the count rewritten in place, then the closing line.
script -qec "'$VELMORA_RENDER' --fps 30 '$out/tty' '$E2E_TMP/big.png' '$E2E_TMP/big.png'" /dev/null \
    | tr '\r' '\n' >"$E2E_TMP/tty"
assert_eq "progress" "frame 1 of 2|frame 2 of 2" "$(grep '^frame' "$E2E_TMP/tty" | paste -sd'|')"
assert_eq "closing line" 1 "$(grep -cE '^2 frames in [0-9.]+ s, [0-9.]+ frames per second$' "$E2E_TMP/tty")"

finish
