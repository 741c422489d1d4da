#!/usr/bin/env bash
# The live program under Xvfb with a GStreamer test pattern as camera 3: status line, seven
# windows sized from the first 1280 x 1024 frame, other keys ignored, q ends the run with 0.
source "$(dirname "$0")/lib.sh"
standin="$VELMORA_TEST_TOOLS/velmora-camera-standin"
start_xvfb -screen 0 1920x1080x24

mkfifo "$E2E_TMP/in"
"$standin" <"$E2E_TMP/in" >"$E2E_TMP/out" 2>"$E2E_TMP/err" &
pid=$!
E2E_PIDS+=("$pid")
exec 4>"$E2E_TMP/in"
printf '1\n' >&4

for title in "Velmora" "Velmora - Gray" "2D FFT Spectrum" "Laplacian Edge" "Motion Detection" \
    "Histogram - RGB" "Histogram - Gray"; do
    id=$(window_id "$title")
    assert_eq "size of $title" 640x512 "$(settled_geometry "$id" 640x512)"
done
assert_file_eq "status line" \
    $'1: USB capture\n2: Monitor capture\n> mode=usb device_id=3 width=1280 height=1024\n' \
    "$E2E_TMP/out"

main=$(window_id Velmora)
xdotool key --window "$main" a 2>/dev/null || true
sleep 1
if kill -0 "$pid" 2>/dev/null; then pass; else fail "a key other than q ended the run"; fi

xdotool key --window "$main" q 2>/dev/null || true
set +e
timeout 20 tail --pid="$pid" -f /dev/null
wait "$pid"
status=$?
set -e
assert_eq "exit status after q" 0 "$status"
if grep -q '^error: ' "$E2E_TMP/err"; then fail "error line: $(cat "$E2E_TMP/err")"; else pass; fi
exec 4>&-
finish
