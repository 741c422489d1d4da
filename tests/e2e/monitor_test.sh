#!/usr/bin/env bash
# The monitor answer against real X servers: the X11Layer case of velmora-tests, which skips
# itself unless given a server here, then the real program showing the desktop wallpaper.
source "$(dirname "$0")/lib.sh"
: "${VELMORA_TEST_TOOLS:?directory of velmora-tests}"

# x11_case VARIABLE=VALUE...: the X11Layer case runs and passes with these settings
x11_case() {
    if env "$@" "$VELMORA_TEST_TOOLS/velmora-tests" '--gtest_filter=X11Layer.*' >"$E2E_TMP/x11" 2>&1 &&
        grep -q '^\[  PASSED  \] 1 test' "$E2E_TMP/x11"; then pass; else
        fail "X11Layer $*: $(cat "$E2E_TMP/x11")"
    fi
}

# One 3200 x 1080 screen split into 1920 x 1080 at 0,0 and 1280 x 1024 at 1920,0; the case
# ends this server.
start_xvfb -screen 0 3200x1080x24
server=${E2E_PIDS[-1]}
xrandr --setmonitor LEFT 1920/508x1080/286+0+0 screen >/dev/null
xrandr --setmonitor RIGHT 1280/339x1024/271+1920+0 none >/dev/null
convert -size 3200x1080 -seed 5 plasma:fractal -depth 8 "$E2E_TMP/pattern.png"
display -window root "$E2E_TMP/pattern.png" || true  # draws, then exits with 1

# The command line: the monitors listed by name, a region that does not fit refused before any
# window, and a region of the left monitor captured pixel for pixel (the windows open at 0,0,
# away from it).
assert_eq "listed monitors" $'monitor 0 LEFT 0,0 1920x1080\nmonitor 1 RIGHT 1920,0 1280x1024' \
    "$("$VELMORA" --list | grep '^monitor')"
"$VELMORA" --monitor 1 --region 1000,0,300x10 >"$E2E_TMP/out" 2>"$E2E_TMP/err" && status=0 || status=$?
assert_eq "region outside" "1 error: region 1000,0,300x10 does not fit monitor 1 (1280x1024)" \
    "$status $(cat "$E2E_TMP/err")"
timeout 60 "$VELMORA" --monitor 0 --region 1000,500,320x240 >"$E2E_TMP/out" 2>"$E2E_TMP/err" &
E2E_PIDS+=($!)
id=$(window_id Velmora)
assert_eq "region window" 320x240 "$(settled_geometry "$id" 320x240)"
xdotool windowraise "$id" && sleep 0.5  # above the six windows stacked on it
import -window "$id" "$E2E_TMP/region.png"
convert "$E2E_TMP/pattern.png" -crop 320x240+1000+500 +repage "$E2E_TMP/expected.png"
assert_eq "region pixels" 0 "$(compare -metric AE "$E2E_TMP/region.png" "$E2E_TMP/expected.png" \
    null: 2>&1 || true)"
quit_with_q "${E2E_PIDS[-1]}" && pass || fail "region status after q: $?"
assert_eq "region line" "mode=screen monitors=2 monitor_index=0 width=320 height=240 x=1000 y=500" \
    "$(cat "$E2E_TMP/out")"

# --tile: the right monitor's 1280 x 1024 frames, halved, in windows of four columns over the
# left monitor, where the first window opened.
timeout 60 "$VELMORA" --monitor 1 --tile >"$E2E_TMP/out" 2>"$E2E_TMP/err" &
E2E_PIDS+=($!)
titles=("Velmora" "Velmora - Gray" "2D FFT Spectrum" "Laplacian Edge" "Motion Detection"
    "Histogram - RGB" "Histogram - Gray")
for i in "${!titles[@]}"; do
    id=$(window_id "${titles[$i]}")
    settled_geometry "$id" 472x377 >/dev/null
    assert_eq "tile of ${titles[$i]}" "$((480 * (i % 4))),$((540 * (i / 4))) 472x377" \
        "$(xdotool getwindowgeometry "$id" | sed -n 's/.*Position: \([0-9,]*\).*/\1/p;
            s/.*Geometry: //p' | paste -sd' ')"
done
quit_with_q "${E2E_PIDS[-1]}" && pass || fail "tiled status after q: $?"

x11_case 'VELMORA_X11_MONITORS=LEFT=0,0,1920,1080 RIGHT=1920,0,3200,1024 ' \
    "VELMORA_X11_PATTERN=$E2E_TMP/pattern.png" "VELMORA_X11_SERVER=$server"

# Two Xinerama heads, both at 0,0, where RandR sees the first screen alone: RandR comes first.
start_xvfb +xinerama -screen 0 640x480x24 -screen 1 320x240x24
x11_case 'VELMORA_X11_MONITORS=screen=0,0,640,480 '
start_xvfb +xinerama -extension RANDR -screen 0 640x480x24 -screen 1 320x240x24
x11_case 'VELMORA_X11_MONITORS=screen-0=0,0,640,480 screen-1=0,0,320,240 '

# The root window as the one monitor: the wallpaper that GSettings names, by a non-ASCII name,
# until q.
start_xvfb -extension RANDR -screen 0 1024x768x24
unset XDG_CURRENT_DESKTOP XDG_DATA_DIRS DBUS_SESSION_BUS_ADDRESS
export HOME="$E2E_TMP/home" XDG_CONFIG_HOME="$E2E_TMP/home/config" GSETTINGS_BACKEND=keyfile
wallpaper="$HOME/Tapéta és kép.png"
mkdir -p "$XDG_CONFIG_HOME" && make_image "$wallpaper" 1600x900
gsettings set org.gnome.desktop.background picture-uri "$wallpaper"
timeout 60 "$VELMORA" <<<2 >"$E2E_TMP/out" 2>"$E2E_TMP/err" &
E2E_PIDS+=($!)
quit_with_q "${E2E_PIDS[-1]}" && pass || fail "status after q: $?"
assert_file_eq "wallpaper output" $'1: USB capture\n2: Monitor capture\n> '"mode=wallpaper \
monitors=1 monitor_index=0 width=1600 height=900"$'\n'"path=$wallpaper"$'\n' "$E2E_TMP/out"
assert_file_eq "wallpaper errors" "" "$E2E_TMP/err"

# s saves what the windows show; velmora-render makes the same gray, spectrum and edge pictures
# from the snapshot's frame.png.
timeout 60 "$VELMORA" --wallpaper --snapshots "$E2E_TMP/shots" >"$E2E_TMP/out" 2>"$E2E_TMP/err" &
E2E_PIDS+=($!)
id=$(window_id Velmora)
for _ in $(seq 100); do
    grep -q '^snapshot: ' "$E2E_TMP/out" && break
    xdotool key --window "$id" s 2>/dev/null || true
    sleep 0.2
done
quit_with_q "${E2E_PIDS[-1]}" && pass || fail "snapshot run status after q: $?"
shot=$(sed -n 's/^snapshot: //p' "$E2E_TMP/out" | head -n1)
assert_eq "snapshot folder" 1 "$([[ $shot == $E2E_TMP/shots/velmora-20[0-9]*-[0-9]* ]] && echo 1)"
assert_eq "snapshot files" "2d-fft-spectrum.png frame.png histogram-gray.png histogram-rgb.png \
laplacian-edge.png motion-detection.png numbers.csv velmora-gray.png velmora.png" "$(ls "$shot" | paste -sd' ')"
"$VELMORA_RENDER" --fps 30 "$E2E_TMP/again" "$shot/frame.png"
for name in velmora-gray.png 2d-fft-spectrum.png laplacian-edge.png; do
    assert_eq "$name again" 0 "$(compare -metric AE "$shot/$name" "$E2E_TMP/again/$name" null: 2>&1 || true)"
done
# The options' own answers.
assert_eq "version" "velmora 1.0.0" "$("$VELMORA" --version)"
"$VELMORA" --monitor --camera 2>"$E2E_TMP/err" && status=0 || status=$?
assert_eq "usage" "2 usage: velmora [--camera [N] [--size WxH]] [--monitor [N|NAME] [--region X,Y,WxH]]" \
    "$status $(head -n1 "$E2E_TMP/err")"
finish
