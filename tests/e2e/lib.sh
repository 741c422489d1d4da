# Shared helpers of the end-to-end tests. Source it; it expects VELMORA and VELMORA_RENDER.
set -euo pipefail

: "${VELMORA:?path of the velmora program}"
: "${VELMORA_RENDER:?path of the velmora-render program}"

E2E_TMP=$(mktemp -d)
E2E_PIDS=()
e2e_cleanup() {
    local pid
    for pid in "${E2E_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

E2E_FAILURES=0
E2E_CHECKS=0
fail() {
    echo "FAIL: $*" >&2
    E2E_FAILURES=$((E2E_FAILURES + 1))
}
pass() { E2E_CHECKS=$((E2E_CHECKS + 1)); }

# assert_eq WHAT EXPECTED ACTUAL
assert_eq() {
    if [[ "$2" == "$3" ]]; then pass; else
        fail "$1: expected [$(printf '%q' "$2")] got [$(printf '%q' "$3")]"
    fi
}

# assert_file_eq WHAT EXPECTED_TEXT FILE (byte for byte, trailing line feeds included)
assert_file_eq() {
    if cmp -s <(printf '%s' "$2") "$3"; then pass; else
        fail "$1: expected [$(printf '%q' "$2")] got [$(printf '%q' "$(cat "$3"; echo x)")]"
    fi
}

assert_exists() { if [[ -e "$2" ]]; then pass; else fail "$1: $2 missing"; fi; }
assert_missing() { if [[ ! -e "$2" ]]; then pass; else fail "$1: $2 exists"; fi; }

# image_size FILE: prints WxH
image_size() { identify -format '%wx%h' "$1"; }

# make_image FILE WxH [ImageMagick pattern]: writes a test image
make_image() {
    convert -size "$2" "${3:-gradient:navy-orange}" "$1"
}

# start_xvfb [Xvfb options...]: starts a private X server and exports DISPLAY for it.
start_xvfb() {
    local fd_file="$E2E_TMP/xvfb-display.$RANDOM"
    Xvfb -displayfd 3 -noreset -nolisten tcp "$@" 3>"$fd_file" 2>"$E2E_TMP/xvfb.log" &
    E2E_PIDS+=($!)
    local i
    for i in $(seq 100); do
        [[ -s "$fd_file" ]] && break
        sleep 0.05
    done
    [[ -s "$fd_file" ]] || { echo "Xvfb did not start" >&2; cat "$E2E_TMP/xvfb.log" >&2; exit 1; }
    export DISPLAY=":$(head -n1 "$fd_file")"
    export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
    mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
}

# window_id TITLE: the window with exactly this title (waits for it, up to 20 s)
window_id() {
    timeout 20 xdotool search --sync --name "^$1\$" | head -n1
}

# settled_geometry ID WxH: the window's size once it equals WxH, or its size after 20 s
settled_geometry() {
    local geometry="" i
    for i in $(seq 200); do
        geometry=$(xdotool getwindowgeometry "$1" 2>/dev/null | sed -n 's/.*Geometry: //p')
        [[ "$geometry" == "$2" ]] && break
        sleep 0.1
    done
    echo "$geometry"
}

# finish: prints the summary line and exits with the result.
finish() {
    echo "$E2E_CHECKS passed, $E2E_FAILURES failed"
    [[ $E2E_FAILURES -eq 0 ]]
}

# two_monitor_xvfb: an X server with one 3200 x 1080 screen split into two monitors, 1920 x 1080
# at 0,0 and 1280 x 1024 at 1920,0 (the second one is what a monitor answer captures).
two_monitor_xvfb() {
    start_xvfb -screen 0 3200x1080x24
    xrandr --setmonitor LEFT 1920/508x1080/286+0+0 screen >/dev/null
    xrandr --setmonitor RIGHT 1280/339x1024/271+1920+0 none >/dev/null
}
