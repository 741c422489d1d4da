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

run --fps 30 --scopes "$out/scopes" "$E2E_TMP/big.png"
assert_eq "scope files" "2d-fft-spectrum.png histogram-gray.png histogram-rgb.png laplacian-edge.png \
motion-detection.png rgb-parade.png vectorscope.png velmora-gray.png velmora.png waveform.png" \
    "$(ls "$out/scopes" | paste -sd' ')"
assert_eq "scope size" 640x512 "$(image_size "$out/scopes/vectorscope.png")"

usage="usage: velmora-render [--fps VALUE] [--every-frame] [--scopes] [--stats FILE]"
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

# A file system that takes only 256 KiB of a file: a PNG breaks off half-way. Whether the run is
# killed there (the default of SIGXFSZ) or told that the write failed, no file appears under its
# final name, and a run that is told removes its temporary file too.
convert -size 1280x1024 xc: +noise Random "$E2E_TMP/noise.png"
for signal in default ignored; do
    trap_cmd=$([[ $signal == ignored ]] && echo "trap '' XFSZ;" || true)
    full=$out/full-$signal
    status=$( (bash -c "$trap_cmd ulimit -f 512; exec '$VELMORA_RENDER' --stats '$full/numbers.csv' \
        '$full' '$E2E_TMP/noise.png'" >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr" && echo 0 || echo $?) 2>/dev/null)
    assert_eq "final names after a full disk ($signal)" "" "$(ls "$full")"
    if [[ $signal == default ]]; then
        assert_eq "killed by SIGXFSZ" 153 "$status"
    else
        assert_eq "full disk status" 1 "$status"
        assert_file_eq "full disk line" "error: cannot write $full/velmora.png"$'\n' "$E2E_TMP/stderr"
        assert_eq "no temporary file" "" "$(ls -A "$full")"
    fi
done

# Palette and gray-with-alpha members of a sequence are the frames their files are.
convert -size 64x48 gradient:red-blue -colors 7 "PNG8:$E2E_TMP/kind_1.png"
convert -size 64x48 gradient:white-black -alpha set -channel A -evaluate set 50% \
    -colorspace Gray -define png:color-type=4 "$E2E_TMP/kind_2.png"
run --fps 30 --every-frame --stats "$out/files.csv" "$out/files" "$E2E_TMP"/kind_[12].png
run --fps 30 --every-frame --stats "$out/sequence.csv" "$out/sequence" "$E2E_TMP/kind_%d.png"
assert_eq "sequence rows" "$(cut -d, -f3- "$out/files.csv")" "$(cut -d, -f3- "$out/sequence.csv")"
assert_eq "sequence pictures" "" "$(diff -r "$out/files" "$out/sequence")"

# The README's recipe for a folder of recordings: GNU parallel, one run per recording, each
# giving what a run of its own gives.
mkdir -p "$E2E_TMP/recordings" "$out/alone"
for name in bench microscope screen; do
    ffmpeg -loglevel error -f lavfi -i "testsrc2=size=96x64:rate=10:duration=0.5" -c:v ffv1 \
        "$E2E_TMP/recordings/$name.mkv"
    "$VELMORA_RENDER" --stats "$out/alone/$name.csv" "$out/alone/$name" "$E2E_TMP/recordings/$name.mkv"
done
(cd "$E2E_TMP" && parallel -j 2 "$VELMORA_RENDER" --stats results/{/.}.csv results/{/.} {} \
    ::: recordings/*.mkv)
for name in bench microscope screen; do
    assert_eq "$name.csv from parallel" "$(sed "s|$E2E_TMP/||" "$out/alone/$name.csv")" \
        "$(cat "$E2E_TMP/results/$name.csv")"
done

finish
