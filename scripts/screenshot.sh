#!/usr/bin/env bash
# Makes docs/screenshot.png: velmora capturing the right-hand monitor of two on a private Xvfb,
# with a window manager so that the windows carry their titles, laid out in a grid on the left
# monitor; with --scopes, docs/screenshot-scopes.png with the three scope windows as well.
# Needs the test packages and openbox (apt-get install openbox); BUILD (default build) holds
# velmora. Usage: scripts/screenshot.sh [--scopes] [OUTPUT]
set -euo pipefail
cd "$(dirname "$0")/.."
titles=("Velmora" "Velmora - Gray" "2D FFT Spectrum" "Laplacian Edge" "Motion Detection"
    "Histogram - RGB" "Histogram - Gray")
options=()
out=docs/screenshot.png
if [[ ${1:-} == --scopes ]]; then
    shift
    titles+=("Waveform" "RGB Parade" "Vectorscope")
    options=(--scopes)
    out=docs/screenshot-scopes.png
fi
out=${1:-$out}
rows=$(((${#titles[@]} + 3) / 4))
height=$((546 * rows + 8))
velmora=${BUILD:-build}/velmora
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; rm -rf "$work"' EXIT

# Left: 2576 pixels wide for the windows, four in a row; right: a 1280 x 1024 monitor showing a
# picture, captured live and shown halved (640 x 512 a window).
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 "3856x${height}x24" 3>"$work/display" \
    2>/dev/null &
pids+=($!)
timeout 5 bash -c "until [[ -s '$work/display' ]]; do sleep 0.05; done"
export DISPLAY=":$(head -n1 "$work/display")" XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 0700 "$XDG_RUNTIME_DIR"
xrandr --setmonitor LEFT "2576/681x$height/$((height * 291 / 1100))+0+0" screen >/dev/null
xrandr --setmonitor RIGHT 1280/339x1024/271+2576+0 none >/dev/null

# What the right-hand monitor shows: a smooth plasma with sharp shapes and a fine pattern on it,
# so that every view has something to say, and a disc that moves between two places, so that
# the motion view has too.
for place in 0 1; do
    convert -size "3856x$height" xc:'#1d2127' \
        \( -size 1280x1024 -seed 7 plasma:'#305080-#e0a040' \
           -fill '#f4f4f0' -draw "circle $((860 + 40 * place)),300 $((860 + 40 * place)),420" \
           -fill '#202020' -draw 'rectangle 120,620 520,900' \
           -fill none -stroke '#f0f0f0' -strokewidth 6 -draw 'line 80,980 1200,560' \
           \( -size 320x200 pattern:checkerboard \) -geometry +820+700 -composite \) \
        -geometry +2576+0 -composite "$work/desktop$place.png"
done
# display sets the background, then reports 1.
(while true; do
    for place in 0 1; do display -window root "$work/desktop$place.png" || true; done
done) &
pids+=($!)
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

# The windows answer "2" and are moved into a grid of four columns, title bars included.
{ echo 2; sleep 60; } | "$velmora" "${options[@]}" >/dev/null 2>&1 &
pids+=($!)
for i in "${!titles[@]}"; do
    id=$(timeout 20 xdotool search --sync --name "^${titles[$i]}\$" | head -n1)
    xdotool windowmove "$id" $((644 * (i % 4) + 2)) $((546 * (i / 4) + 26))
done
sleep 4  # the frame rate settles
# Where the motion window's pixels are, as a crop geometry
eval "$(xwininfo -id "$(xdotool search --name '^Motion Detection$')" |
    awk '/Absolute upper-left X/ {print "x=" $NF} /Absolute upper-left Y/ {print "y=" $NF}
         /Width:/ {print "w=" $NF} /Height:/ {print "h=" $NF}')"
motion="${w}x$h+$x+$y"
# The disc moves only now and then between two frames: shots are taken until the motion window
# shows it.
for attempt in $(seq 50); do
    import -window root -crop "2576x$height+0+0" +repage "$work/shot.png"
    moved=$(convert "$work/shot.png" -crop "$motion" -format '%[fx:maxima]' info:)
    [[ $moved == 0 ]] || break
done
convert "$work/shot.png" -define png:compression-level=9 "$out"
echo "wrote $out"
