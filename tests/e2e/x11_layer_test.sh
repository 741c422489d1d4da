#!/usr/bin/env bash
# The Linux monitor layer against real X servers: the X11Layer cases of the unit test program,
# which skip themselves unless this script provides their server.
source "$(dirname "$0")/lib.sh"
: "${VELMORA_TEST_TOOLS:?directory of velmora-tests}"

# run_cases FILTER VAR=VALUE...: runs the cases with the variables set; all must pass, none skip
run_cases() {
    local filter=$1
    shift
    set +e
    env "$@" "$VELMORA_TEST_TOOLS/velmora-tests" --gtest_filter="$filter" >"$E2E_TMP/cases" 2>&1
    local status=$?
    set -e
    assert_eq "cases $filter" 0 "$status"
    if grep -q SKIPPED "$E2E_TMP/cases" || ! grep -q '^\[  PASSED  \]' "$E2E_TMP/cases"; then
        fail "cases $filter did not all run"
    fi
    [[ $status -eq 0 ]] || cat "$E2E_TMP/cases" >&2
}

two_monitor_xvfb
# A pattern with a different colour in nearly every pixel, drawn as the root window's background.
pattern="$E2E_TMP/pattern.png"
convert -size 3200x1080 -seed 5 plasma:fractal -depth 8 "$pattern"
display -window root "$pattern" || true
import -window root "$E2E_TMP/root.png"
assert_eq "pattern on the root window" 0 "$(compare -metric AE "$pattern" "$E2E_TMP/root.png" null: 2>&1)"

run_cases 'X11Layer.*:-*GoesAway*' VELMORA_X11_PATTERN="$pattern"

# A server of its own, which the case ends between two grabs.
start_xvfb -screen 0 640x480x24
run_cases 'X11Layer.*GoesAway*' VELMORA_X11_DOOMED_SERVER="${E2E_PIDS[-1]}"

finish
