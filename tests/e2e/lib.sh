# Shared helpers of the end-to-end tests. Source it; it expects VELMORA and VELMORA_RENDER.
set -euo pipefail

: "${VELMORA:?path of the velmora program}"
: "${VELMORA_RENDER:?path of the velmora-render program}"

E2E_TMP=$(mktemp -d)
E2E_PIDS=()
E2E_FAILURES=0
E2E_CHECKS=0
e2e_cleanup() {
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true; done
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

fail() { echo "FAIL: $*" >&2 && E2E_FAILURES=$((E2E_FAILURES + 1)); }
pass() { E2E_CHECKS=$((E2E_CHECKS + 1)); }

# assert_eq WHAT EXPECTED ACTUAL
assert_eq() {
    [[ "$2" == "$3" ]] && pass ||
        fail "$1: expected [$(printf '%q' "$2")] got [$(printf '%q' "$3")]"
}

# assert_file_eq WHAT EXPECTED_TEXT FILE (byte for byte, trailing line feeds included)
assert_file_eq() {
    cmp -s <(printf '%s' "$2") "$3" && pass ||
        fail "$1: expected [$(printf '%q' "$2")] got [$(printf '%q' "$(cat "$3"; echo x)")]"
}

assert_exists() { if [[ -e "$2" ]]; then pass; else fail "$1: $2 missing"; fi; }
assert_missing() { if [[ ! -e "$2" ]]; then pass; else fail "$1: $2 exists"; fi; }

# image_size FILE: prints WxH
image_size() { identify -format '%wx%h' "$1"; }

# make_image FILE WxH [ImageMagick pattern]: writes a test image
make_image() { convert -size "$2" "${3:-gradient:navy-orange}" "$1"; }

# start_xvfb [Xvfb options...]: starts a private X server and exports DISPLAY for it.
start_xvfb() {
    local display="$E2E_TMP/xvfb-display.$RANDOM"
    Xvfb -displayfd 3 -noreset -nolisten tcp "$@" 3>"$display" 2>"$E2E_TMP/xvfb.log" &
    E2E_PIDS+=($!)
    timeout 5 bash -c "until [[ -s '$display' ]]; do sleep 0.05; done" ||
        { cat "$E2E_TMP/xvfb.log" >&2 && exit 1; }
    export DISPLAY=":$(head -n1 "$display")" XDG_RUNTIME_DIR="$E2E_TMP/runtime"
    mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
}

# window_id TITLE: the id of the window of exactly that title
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

# quit_with_q PID: presses q in the Velmora window until PID ends; returns PID's status
quit_with_q() {
    local id
    id=$(window_id Velmora)
    while kill -0 "$1" 2>/dev/null; do
        sleep 0.2 && xdotool key --window "$id" q 2>/dev/null || true
    done
    wait "$1"
}

# finish: prints the summary line and exits with the result.
finish() { echo "$E2E_CHECKS passed, $E2E_FAILURES failed" && [[ $E2E_FAILURES -eq 0 ]]; }
