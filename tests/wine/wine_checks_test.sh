#!/usr/bin/env bash
# Runs velmora-wine-checks.exe under Wine: every check group in a process of its own, first on
# one Xvfb screen (one monitor for Windows programs), then on two Xinerama screens (two
# monitors) for the groups that need them. The Wine prefix is private to the build tree and
# made on the first run (about 10 s); later runs reuse it.
# Expects VELMORA_WINE_CHECKS, VELMORA_WINE_PREFIX, WINE64 and WINESERVER (set by ctest).
source "$(dirname "$0")/../e2e/lib.sh"

: "${VELMORA_WINE_CHECKS:?path of velmora-wine-checks.exe}"
: "${VELMORA_WINE_PREFIX:?directory of the private Wine prefix}"
export WINEPREFIX="$VELMORA_WINE_PREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# Groups that need the two-monitor layout; display_layout checks both layouts.
two_monitor_groups=(display_layout monitors_two)
# Groups that run once the wallpaper setting is removed from the registry.
unset_wallpaper_groups=(wallpaper_unset)

# The wallpaper file: a name outside the ANSI code page and the basic plane, and bytes that a
# text-mode read would change. Windows programs see the Unix root as drive Z:.
# Wine turns Unix names and arguments into UTF-16 with the locale's character set.
export LC_ALL=C.UTF-8
wallpaper_name='Zoë Ångström – 壁紙 🌄.jpg'
printf 'VLM\r\n\x1a\x00\xff\n-end' >"$E2E_TMP/$wallpaper_name"
export VELMORA_WINE_WALLPAPER_DIR="Z:${E2E_TMP//\//\\}"
wallpaper_key='HKCU\Control Panel\Desktop'

stop_wine() {
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w 2>/dev/null || true
}
trap 'stop_wine; e2e_cleanup' EXIT

# A prefix cut short while it was being made is made again.
make_prefix() {
    [[ -f "$WINEPREFIX/.velmora-ready" ]] && return
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    "$WINE64" wineboot --init >/dev/null 2>&1
    "$WINESERVER" -w
    touch "$WINEPREFIX/.velmora-ready"
}

xvfb_pid=
# use_layout MONITORS XVFB-OPTIONS...: a fresh X server and wineserver, since Wine reads the
# monitors once per wineserver.
use_layout() {
    stop_wine
    if [[ -n "$xvfb_pid" ]]; then
        kill "$xvfb_pid" && wait "$xvfb_pid" 2>/dev/null || true
    fi
    start_xvfb "${@:2}"
    xvfb_pid=${E2E_PIDS[-1]}
    export VELMORA_WINE_MONITORS=$1
    make_prefix
    "$WINESERVER" -p10  # stays up between the short runs, and goes 10 s after the last one
}

# run_group NAME: runs one group; its standard output stays in $E2E_TMP/NAME.out.
run_group() {
    local out="$E2E_TMP/$1.out" err="$E2E_TMP/$1.err"
    if "$WINE64" "$VELMORA_WINE_CHECKS" "$1" >"$out" 2>"$err"; then
        pass
    else
        fail "group $1 (monitors: $VELMORA_WINE_MONITORS): $(tr -d '\r' <"$err")"
    fi
    tr -d '\r' <"$err" | sed 's/^/  /'
}

# in_list NAME LIST...: whether NAME is one of LIST.
in_list() { [[ " ${*:2} " == *" $1 "* ]]; }

use_layout 1 -screen 0 1280x1024x24
"$WINE64" reg add "$wallpaper_key" /v Wallpaper /d "$VELMORA_WINE_WALLPAPER_DIR\\$wallpaper_name" /f \
    >/dev/null 2>&1
mapfile -t groups < <("$WINE64" "$VELMORA_WINE_CHECKS" --list | tr -d '\r')
if [[ ${#groups[@]} -gt 0 ]]; then pass; else fail "velmora-wine-checks.exe lists no groups"; fi
for group in "${groups[@]}"; do
    if in_list "$group" "${unset_wallpaper_groups[@]}"; then
        continue
    fi
    if ! in_list "$group" "${two_monitor_groups[@]}" || [[ $group == display_layout ]]; then
        run_group "$group"
    fi
done
"$WINE64" reg delete "$wallpaper_key" /v Wallpaper /f >/dev/null 2>&1
for group in "${unset_wallpaper_groups[@]}"; do
    run_group "$group"
done
# Standard output is a file, not a console: the bytes arrive unchanged apart from the C
# runtime's CR LF.
assert_file_eq "UTF-8 console bytes" $'mode=wallpaper\r\nC:\\Users\\Zoë\\Ångström – 壁紙.jpg\r\n' \
    "$E2E_TMP/console_utf8_bytes.out"

use_layout 2 +xinerama -extension RANDR -screen 0 1280x1024x24 -screen 1 1024x768x24
for group in "${two_monitor_groups[@]}"; do
    run_group "$group"
done

finish
