# Wine for the tests, sourced after tests/e2e/lib.sh: a private prefix (WINEPREFIX, made on first
# use, about 10 s and 700 MB), no debug output, no .NET or HTML installers.
: "${WINEPREFIX:?directory of the private Wine prefix}"
WINE64=${WINE64:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
WINESERVER=${WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver)}
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8

stop_wine() {
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w 2>/dev/null || true
}
trap 'stop_wine; e2e_cleanup' EXIT

# wine_display XVFB-OPTIONS...: a fresh X server and wineserver (Wine reads the monitors once per
# wineserver); a prefix cut short while it was being made is made again.
wine_display() {
    stop_wine
    [[ -n "${wine_xvfb:-}" ]] && { kill "$wine_xvfb"; wait "$wine_xvfb" 2>/dev/null || true; }
    start_xvfb "$@"
    wine_xvfb=${E2E_PIDS[-1]}
    if [[ ! -f "$WINEPREFIX/.velmora-ready" ]]; then
        rm -rf "$WINEPREFIX" && mkdir -p "$WINEPREFIX"
        "$WINE64" wineboot --init >/dev/null 2>&1
        "$WINESERVER" -w
        touch "$WINEPREFIX/.velmora-ready"
    fi
    "$WINESERVER" -p10  # stays up between short runs, goes 10 s after the last one
}
