#!/usr/bin/env bash
# Runs velmora-wine-checks.exe under Wine on one Xvfb screen. Expects VELMORA_WINE_CHECKS,
# WINEPREFIX, WINE64 and WINESERVER (set by ctest).
: "${VELMORA_WINE_CHECKS:?path of velmora-wine-checks.exe}"
VELMORA=unused VELMORA_RENDER=unused source "$(dirname "$0")/../e2e/lib.sh"
source "$(dirname "$0")/wine_lib.sh"

wine_display -screen 0 1280x1024x24
if "$WINE64" "$VELMORA_WINE_CHECKS" >"$E2E_TMP/out" 2>"$E2E_TMP/err"; then pass; else fail "Wine checks"; fi
tr -d '\r' <"$E2E_TMP/err"
finish
