#!/usr/bin/env bash
# The real program answering "2": live capture with two monitors, the wallpaper with one, the
# failures. With VELMORA_SCREENSHOT=FILE it also saves a screenshot of the two-monitor run.
source "$(dirname "$0")/lib.sh"

prompt=$'1: USB capture\n2: Monitor capture\n> '
titles=("Velmora" "Velmora - Gray" "2D FFT Spectrum" "Laplacian Edge" "Motion Detection"
    "Histogram - RGB" "Histogram - Gray")

# The desktop settings come only from the temporary home of each case.
unset XDG_CURRENT_DESKTOP XDG_DATA_DIRS DBUS_SESSION_BUS_ADDRESS
export GSETTINGS_BACKEND=keyfile

# fresh_home NAME: an empty home and configuration directory for one case
fresh_home() {
    export HOME="$E2E_TMP/$1" XDG_CONFIG_HOME="$E2E_TMP/$1/.config"
    mkdir -p "$XDG_CONFIG_HOME"
}

# start_velmora: runs velmora in the background with the answer 2; sets pid
start_velmora() {
    timeout 60 "$VELMORA" <<<"2" >"$E2E_TMP/out" 2>"$E2E_TMP/err" &
    pid=$!
    E2E_PIDS+=("$pid")
}

# run_velmora: runs velmora to its end with the answer 2; sets status
run_velmora() {
    set +e
    timeout 60 "$VELMORA" <<<"2" >"$E2E_TMP/out" 2>"$E2E_TMP/err"
    status=$?
    set -e
}

# window_id TITLE: the window with exactly this title, once it is shown
window_id() { timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | head -n1; }

# window_size ID WxH: the window's size once it is WxH, or whatever it is after 10 s
window_size() {
    local i size=""
    for i in $(seq 100); do
        size=$(xdotool getwindowgeometry "$1" | sed -n 's/^ *Geometry: //p')
        [[ "$size" == "$2" ]] && break
        sleep 0.1
    done
    echo "$size"
}

# expect_windows WxH: all seven windows are shown at that size
expect_windows() {
    local title id
    for title in "${titles[@]}"; do
        id=$(window_id "$title")
        if [[ -z "$id" ]]; then fail "window $title missing"; continue; fi
        assert_eq "size of $title" "$1" "$(window_size "$id" "$1")"
    done
}

# quit_velmora: sends q to the frame window and waits for the program; sets status
quit_velmora() {
    xdotool key --window "$(window_id Velmora)" q 2>/dev/null || true
    set +e
    wait "$pid"
    status=$?
    set -e
}

# Laid out by this harness, never by the program: without a window manager all sit at 0,0.
take_screenshot() {
    local i id
    for i in "${!titles[@]}"; do
        id=$(window_id "${titles[$i]}")
        xdotool windowmove "$id" $(((i % 5) * 640)) $(((i / 5) * 540))
    done
    sleep 1
    import -window root "$1"
}

# uri PATH: a file URI with every byte outside [A-Za-z0-9/._-] percent-escaped
uri() {
    local LC_ALL=C out="file://" i c
    for ((i = 0; i < ${#1}; i++)); do
        c=${1:i:1}
        if [[ "$c" == [A-Za-z0-9/._-] ]]; then out+=$c; else out+=$(printf '%%%02X' "'$c"); fi
    done
    echo "$out"
}

# Two monitors: the second one is captured live.
two_monitor_xvfb
fresh_home live
if [[ -n "${VELMORA_SCREENSHOT:-}" ]]; then
    # Something to capture besides the windows themselves.
    convert -size 3200x1080 -define gradient:angle=60 gradient:navy-orange -depth 8 \
        "$E2E_TMP/background.png"
    display -window root "$E2E_TMP/background.png" || true
fi
start_velmora
expect_windows 640x512
[[ -n "${VELMORA_SCREENSHOT:-}" ]] && take_screenshot "$VELMORA_SCREENSHOT"
quit_velmora
assert_eq "live status" 0 "$status"
assert_file_eq "live output" "${prompt}mode=screen monitors=2 monitor_index=1 width=1280 height=1024"$'\n' "$E2E_TMP/out"
assert_file_eq "live errors" "" "$E2E_TMP/err"

# One monitor: the wallpaper set through GSettings, at its own size, under a non-ASCII name.
start_xvfb -screen 0 1920x1080x24
fresh_home wallpaper
wallpaper="$HOME/Tapéta és kép.png"
make_image "$wallpaper" 1600x900
gsettings set org.gnome.desktop.background picture-uri "$(uri "$wallpaper")"
start_velmora
expect_windows 800x450
quit_velmora
assert_eq "wallpaper status" 0 "$status"
assert_file_eq "wallpaper output" "${prompt}mode=wallpaper monitors=1 monitor_index=0 width=1600 height=900
path=$wallpaper"$'\n' "$E2E_TMP/out"
assert_file_eq "wallpaper errors" "" "$E2E_TMP/err"

# One monitor and no wallpaper: cleared in GSettings, or no GSettings schemas at all.
no_path=$'error: wallpaper path not found (solid color setting?)\n'
fresh_home cleared
gsettings set org.gnome.desktop.background picture-uri ''
run_velmora
assert_eq "no wallpaper status" 1 "$status"
assert_file_eq "no wallpaper output" "$prompt" "$E2E_TMP/out"
assert_file_eq "no wallpaper error" "$no_path" "$E2E_TMP/err"
fresh_home no-schemas
XDG_DATA_DIRS="$E2E_TMP/no-schemas" run_velmora
assert_eq "no schemas status" 1 "$status"
assert_file_eq "no schemas error" "$no_path" "$E2E_TMP/err"

# A wallpaper file that is gone is named in the error.
fresh_home gone
gsettings set org.gnome.desktop.background picture-uri "file://$HOME/gone.png"
run_velmora
assert_eq "gone wallpaper status" 1 "$status"
assert_file_eq "gone wallpaper error" "error: failed to load wallpaper: $HOME/gone.png"$'\n' "$E2E_TMP/err"

# No X display at all.
set +e
env -u DISPLAY QT_QPA_PLATFORM=offscreen "$VELMORA" <<<"2" >"$E2E_TMP/out" 2>"$E2E_TMP/err"
status=$?
set -e
assert_eq "no display status" 1 "$status"
assert_file_eq "no display output" "$prompt" "$E2E_TMP/out"
assert_file_eq "no display error" $'error: no monitor found\n' "$E2E_TMP/err"

finish
