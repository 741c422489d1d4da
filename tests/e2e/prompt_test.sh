#!/usr/bin/env bash
# The real program at its prompt, with piped standard input and no display.
source "$(dirname "$0")/lib.sh"

prompt=$'1: USB capture\n2: Monitor capture\n> '

# run INPUT: runs velmora with INPUT on standard input; sets status, out and err files
run() {
    set +e
    printf '%s' "$1" | env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen \
        "$VELMORA" >"$E2E_TMP/out" 2>"$E2E_TMP/err"
    status=$?
    set -e
}

run ""
assert_eq "empty input status" 1 "$status"
assert_file_eq "empty input output" "$prompt" "$E2E_TMP/out"
assert_file_eq "empty input errors" "" "$E2E_TMP/err"

# No camera can exist on these machines: the camera answer ends with the factory's error line.
run $'x 1\n'
assert_eq "no camera status" 1 "$status"
assert_file_eq "wrong word, then the camera" "$prompt"$'Enter 1 or 2\n\n'"$prompt" "$E2E_TMP/out"
assert_file_eq "no camera error" $'error: no camera found\n' "$E2E_TMP/err"

finish
