#!/usr/bin/env bash
# The Wayland path in a real headless session (tests/wayland/session.sh): the compositor's two
# outputs with HEADLESS-2 captured through the ScreenCast portal, the compositor lost mid-run, and
# sway's wallpaper with one output. The windows go to an Xvfb of their own (there they are found
# and given keys as in the X11 tests, and they outlive the compositor), once natively to sway.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../wayland/session.sh"
: "${VELMORA_TEST_TOOLS:?directory of velmora-tests}"

wl_user || { echo "skipped: cannot create the session's user (sway refuses root)" && exit 0; }
chmod 0755 "$E2E_TMP"  # the session's user runs the programs from here
cp "$VELMORA" "$VELMORA_TEST_TOOLS/velmora-tests" "$E2E_TMP/"
session=$E2E_TMP/session
trap 'wl_stop "$session"; e2e_cleanup' EXIT
start_xvfb -screen 0 1280x1024x24
export QT_QPA_PLATFORM=xcb
prompt=$'1: USB capture\n2: Monitor capture\n> '
titles=("Velmora" "Velmora - Gray" "2D FFT Spectrum" "Laplacian Edge" "Motion Detection"
    "Histogram - RGB" "Histogram - Gray")

# velmora NAME: answers 2 in the session, in the background, writing NAME.out and NAME.err
velmora() {
    "${WL_CMD[@]}" timeout 60 "$E2E_TMP/velmora" <<<2 >"$E2E_TMP/$1.out" 2>"$E2E_TMP/$1.err" &
    E2E_PIDS+=($!)
}

# sway_windows: the titles of the windows the compositor shows (those with an app_id), sorted
sway_windows() {
    "${WL_CMD[@]}" swaymsg -t get_tree -r | awk '/^ *"name": "/ { name = $0 }
        /^ *"app_id": "/ { sub(/^ *"name": "/, "", name); sub(/",$/, "", name); print name }' | sort
}

# layer_cases N VARIABLE=VALUE...: N of the WaylandLayer cases pass in the session (the others
# skip without their variable), none fails
layer_cases() {
    local log=$E2E_TMP/layer
    if "${WL_CMD[@]}" "${@:2}" "$E2E_TMP/velmora-tests" '--gtest_filter=WaylandLayer.*' >"$log" 2>&1 &&
        grep -q "^\[  PASSED  \] $1 tests\?\.$" "$log"; then pass; else
        fail "WaylandLayer ${*:2}: $(cat "$log")"
    fi
}

# The compositor's monitors by their logical areas, and the grabbed pixels equal to a screenshot
# of the captured output.
wl_start "$session" 2 && wl_cmd "$session"
"${WL_CMD[@]}" grim -o HEADLESS-2 "$session/home/grim.png"
layer_cases 2 VELMORA_GRIM_PNG="$session/home/grim.png" \
    VELMORA_WAYLAND_MONITORS='0,0,1280,720,HEADLESS-1 1280,0,3200,1080,HEADLESS-2 '

# The outputs by name; a monitor that the portal does not pick is refused before any window.
"${WL_CMD[@]}" "$E2E_TMP/velmora" --list >"$E2E_TMP/list.out" 2>&1
listed=$'monitor 0 HEADLESS-1 0,0 1280x720\nmonitor 1 HEADLESS-2 1280,0 1920x1080\n'
assert_file_eq "listed outputs" "$listed" "$E2E_TMP/list.out"
"${WL_CMD[@]}" "$E2E_TMP/velmora" --monitor HEADLESS-1 >"$E2E_TMP/other.out" 2>&1 && status=0 ||
    status=$?
assert_eq "other monitor status" 1 "$status"
assert_file_eq "other monitor" "error: the screen cast shows another monitor: the portal chose \
monitor 1 (HEADLESS-2), not monitor 0 (HEADLESS-1)"$'\n' "$E2E_TMP/other.out"

# Answer 2 with two outputs: the last one captured, the seven windows, q ends it.
velmora screen
window_id "Histogram - Gray" >/dev/null || true  # the last one made
for title in "${titles[@]}"; do
    [[ -n $(xdotool search --name "^$title\$") ]] && pass || fail "no window $title"
done
quit_with_q "${E2E_PIDS[-1]}" && pass || fail "status after q: $?"
assert_file_eq "screen output" "${prompt}mode=screen monitors=2 monitor_index=1 width=1920 \
height=1080"$'\n' "$E2E_TMP/screen.out"
assert_file_eq "screen errors" "" "$E2E_TMP/screen.err"

# The windows natively on Wayland, and q through a virtual keyboard, which Qt needs a moment to
# take up. Their sizes are not compared: sway floats a window by rule only after it has shown it,
# and then gives it back the size it first had whenever it was resized before that.
QT_QPA_PLATFORM=wayland velmora native
expected=$(printf '%s\n' "${titles[@]}" | sort)
for _ in {1..100}; do [[ $(sway_windows) == "$expected" ]] && break; sleep 0.1; done
assert_eq "native windows" "$expected" "$(sway_windows)"
"${WL_CMD[@]}" wtype -s 1500 q
wait "${E2E_PIDS[-1]}" && pass || fail "native status after q: $?"
assert_file_eq "native output" "${prompt}mode=screen monitors=2 monitor_index=1 width=1920 \
height=1080"$'\n' "$E2E_TMP/native.out"

# A scaled output by its logical size; then the compositor ends while frames are being analysed.
"${WL_CMD[@]}" swaymsg -q output HEADLESS-2 scale 2
layer_cases 1 VELMORA_WAYLAND_MONITORS='0,0,1280,720,HEADLESS-1 1280,0,2240,540,HEADLESS-2 '
velmora lost
window_id Velmora >/dev/null || true
kill "$(<"$session/sway.pid")"
wait "${E2E_PIDS[-1]}" && pass || fail "status after losing the compositor: $?"
assert_eq "lost compositor" "error: failed to capture" "$(cat "$E2E_TMP/lost.err")"
wl_stop "$session"

# One output: sway's wallpaper, by the file's own size.
make_image "$E2E_TMP/wallpaper.png" 1600x900
wl_start "$session" 1 "$E2E_TMP/wallpaper.png" && wl_cmd "$session"
velmora wallpaper
quit_with_q "${E2E_PIDS[-1]}" && pass || fail "wallpaper status after q: $?"
assert_file_eq "wallpaper output" "${prompt}mode=wallpaper monitors=1 monitor_index=0 width=1600 \
height=900"$'\n'"path=$E2E_TMP/wallpaper.png"$'\n' "$E2E_TMP/wallpaper.out"
assert_file_eq "wallpaper errors" "" "$E2E_TMP/wallpaper.err"
finish
