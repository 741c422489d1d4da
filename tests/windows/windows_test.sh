#!/usr/bin/env bash
# velmora.exe and velmora-render.exe of the cross build end to end under Wine on Xvfb, then the
# platform checks (velmora-wine-checks.exe). Windows text mode ends console lines in CR LF.
# Expects VELMORA_WINDOWS_BUILD (the cross build) and VELMORA_RENDER (the Linux velmora-render).
: "${VELMORA_WINDOWS_BUILD:?folder of the cross build}"
VELMORA=$VELMORA_WINDOWS_BUILD/velmora.exe
source "$(dirname "$0")/../e2e/lib.sh"
export WINEPREFIX=$VELMORA_WINDOWS_BUILD/wine-prefix WINEDEBUG=-all LC_ALL=C.UTF-8 \
    WINEDLLOVERRIDES="mscoree,mshtml="
wine=$(command -v wine64 || echo /usr/lib/wine/wine64) wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
stop_wine() { "$wineserver" -k 2>/dev/null || true; "$wineserver" -w 2>/dev/null || true; }
trap 'stop_wine; e2e_cleanup' EXIT

# use_display XVFB-OPTIONS...: a fresh X server and wineserver, since Wine reads the monitors once
# per wineserver. The prefix is made on first use (about 10 s, 700 MB).
use_display() {
    stop_wine
    [[ -z "${xvfb:-}" ]] || kill "$xvfb"
    start_xvfb "$@"
    xvfb=${E2E_PIDS[-1]}
    [[ -f "$WINEPREFIX/.ready" ]] && return
    rm -rf "$WINEPREFIX" && "$wine" wineboot --init >/dev/null 2>&1 && "$wineserver" -w
    # Wine's relay trace records these calls that velmora.exe makes, with their results.
    "$wine" reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /f /d "SetProcessDpiAwarenessContext;$(
        echo SetProcessDPIAware GetWindowLongPtrW SetWindowLongPtrW SetWindowPos CoInitializeEx \
        CoUninitialize CoCreateInstance SystemParametersInfoW | tr ' ' ';')"
    "$wine" reg add 'HKCU\Software\Wine\Debug' /v RelayFromInclude /f /d velmora.exe
    touch "$WINEPREFIX/.ready"
}

# traced_calls: the recorded calls of the last run, "Function(arguments)=result" each
traced_calls() {
    sed -nE 's/^[0-9a-f]+:Call [a-z0-9]+\.([A-Za-z]+\(.*\)) ret=.*/\1/p
        s/^[0-9a-f]+:Ret  [a-z0-9]+\.[A-Za-z]+\(.* retval=([0-9a-f]+) .*/=\1/p' "$E2E_TMP/err" | paste -d '' - -
}

prompt=$'1: USB capture\r\n2: Monitor capture\r\n> '
titles=("Velmora" "Velmora - Gray" "2D FFT Spectrum" "Laplacian Edge" "Motion Detection"
    "Histogram - RGB" "Histogram - Gray")

# run INPUT: velmora.exe with the options in run_args, if any, to its end; sets status
run() {
    printf "$1" | timeout 60 "$wine" "$VELMORA" "${run_args[@]}" >"$E2E_TMP/out" 2>"$E2E_TMP/err" &&
        status=0 || status=$?
}

# windowed_run INPUT SIZE KEYS: velmora.exe until KEYS (one or more), once its seven windows
# have SIZE
windowed_run() {
    { run "$1"; exit "$status"; } &
    local pid=$! title id
    for title in "${titles[@]}"; do
        id=$(window_id "$title")
        assert_eq "size of $title" "$2" "$(settled_geometry "$id" "$2")"
    done
    xdotool key --window "$(window_id Velmora)" $3
    wait "$pid" && status=0 || status=$?
}

use_display -screen 0 1280x1024x24
run 'x\n1\n'
assert_eq "no camera status" 1 "$status"
assert_file_eq "dialogue" "${prompt}Enter 1 or 2"$'\r\n\r\n'"$prompt" "$E2E_TMP/out"
assert_file_eq "no camera" $'error: no camera found\r\n' "$E2E_TMP/err"

# The wallpaper: a PNG (whose signature a text-mode read would break) named outside the ANSI
# code page and the basic plane; Windows programs see the Unix root as drive Z:.
wallpaper="$E2E_TMP/Zoë Ångström – 壁紙 🌄.png"
make_image "$wallpaper" 1100x800
"$wine" reg add 'HKCU\Control Panel\Desktop' /v Wallpaper /d "Z:${wallpaper//\//\\}" /f >/dev/null 2>&1
WINEDEBUG=-all,+relay windowed_run '2\n' 550x400 q
assert_eq "wallpaper status" 0 "$status"
assert_file_eq "wallpaper lines" "${prompt}mode=wallpaper monitors=1 monitor_index=0 width=1100 height=800"$'\r\n'"path=Z:${wallpaper//\//\\}"$'\r\n' "$E2E_TMP/out"
assert_eq "wallpaper errors" "" "$(grep -vE '^[0-9a-f]+:(Call|Ret|trace|Starting)' "$E2E_TMP/err")"
traced_calls >"$E2E_TMP/calls"
assert_eq "DPI awareness" $'SetProcessDpiAwarenessContext(fffffffffffffffc)=00000000\nSetProcessDPIAware()=00000001' \
    "$(grep -E '^SetProcess' "$E2E_TMP/calls")"
# The wallpaper source's apartment (image library code enters it once more, getting S_FALSE).
com=("CoInitializeEx(00000000,00000002)=00000000" "CoCreateInstance(p,00000000,00000017,p,p)=80040154"
    "SystemParametersInfoW(00000073,00000104,p,00000000)=00000001"
    "CoInitializeEx(00000000,00000002)=00000001" "CoUninitialize()" "CoUninitialize()")
assert_eq "COM and the wallpaper setting" "${com[*]}" "$(grep -E '^Co|^SystemParametersInfoW\(00000073' \
    "$E2E_TMP/calls" | sed -E 's/^(CoCreateInstance\()[0-9a-f]+(.*),[0-9a-f]+,[0-9a-f]+\)/\1p\2,p,p)/
        s/(00000104,)[0-9a-f]+/\1p/; s/(\(\))=.*/\1/' | paste -s -d ' ')"
# Each window gets caption, sizing border and maximise box added to its style, then a frame
# change (SetWindowPos flags 0x27).
framed=$(tr '(,)=' '    ' <"$E2E_TMP/calls" | while read -ra f; do
    case ${f[0]}:${f[2]:-} in
        GetWindowLongPtrW:fffffff0) style=${f[3]} window=${f[1]} ;;
        SetWindowLongPtrW:fffffff0) (( 0x${f[3]} == (0x${style:-0} | 0xc50000) )) && fixed=${window:-} ;;
        SetWindowPos:*) [[ ${f[7]} == 00000027 && ${f[1]} == "${fixed:-}" ]] && echo "$fixed" ;;
    esac
done | sort -u | wc -l)
assert_eq "framed windows" 7 "$framed"

# Two monitors, both at 0,0 for Wine: the second one, 1024 x 768, is captured live.
use_display +xinerama -extension RANDR -screen 0 1280x1024x24 -screen 1 1024x768x24
windowed_run '2\n' 512x384 Escape
assert_eq "screen status" 0 "$status"
assert_file_eq "screen line" "${prompt}mode=screen monitors=2 monitor_index=1 width=1024 height=768"$'\r\n' "$E2E_TMP/out"
assert_file_eq "screen errors" "" "$E2E_TMP/err"

# The command line: the monitors by their display devices (the wallpaper setting of above), and
# the first monitor live by number although answer 2 would take the last.
"$wine" "$VELMORA" --list >"$E2E_TMP/out" 2>"$E2E_TMP/err" && status=0 || status=$?
assert_eq "list status" 0 "$status"
assert_eq "listed" "monitor 0 \\\\.\\DISPLAY1 0,0 1280x1024|monitor 1 \\\\.\\DISPLAY2 0,0 1024x768|\
wallpaper Z:${wallpaper//\//\\}" "$(tr -d '\r' <"$E2E_TMP/out" | paste -sd'|')"
# ... with the scopes' ten windows and s w s typed before Esc: a snapshot with the scopes and one
# without, each in a folder named for the local time.
run_args=(--monitor 0 --scopes --snapshots "Z:${E2E_TMP//\//\\}\\shots")
titles+=("Waveform" "RGB Parade" "Vectorscope")
windowed_run '' 640x512 "s w s Escape"
unset run_args 'titles[7]' 'titles[8]' 'titles[9]'
assert_eq "monitor 0 status" 0 "$status"
assert_eq "monitor 0 lines" "mode=screen monitors=2 monitor_index=0 width=1280 height=1024|\
snapshot: Z:${E2E_TMP//\//\\}\\shots\\velmora-TIME|snapshot: Z:${E2E_TMP//\//\\}\\shots\\velmora-TIME" \
    "$(tr -d '\r' <"$E2E_TMP/out" | sed -E 's/velmora-[0-9]{8}-[0-9]{6}(-2)?$/velmora-TIME/' | paste -sd'|')"
assert_eq "snapshot files" "12 9" "$(for shot in "$E2E_TMP"/shots/velmora-*/; do ls "$shot" | wc -l; done | paste -sd' ')"

"$wine" "$VELMORA_WINDOWS_BUILD/tests/wine/velmora-wine-checks.exe" 2>"$E2E_TMP/err" >/dev/null && pass ||
    fail "platform checks: $(tr -d '\r' <"$E2E_TMP/err")"

# The ten images of a few frames equal those of the Linux build; the spectrum within 1 level.
make_image "$E2E_TMP/1.png" 1100x800
convert -size 800x1100 gradient:red-blue -rotate 90 "$E2E_TMP/2.png"
convert -size 1100x800 pattern:checkerboard -fill orange -draw 'circle 550,400 550,100' "$E2E_TMP/3.png"
"$VELMORA_RENDER" --fps 25 --scopes "$E2E_TMP/linux" "$E2E_TMP"/[123].png
(cd / && "$wine" "$VELMORA_WINDOWS_BUILD/velmora-render.exe" --fps 25 --scopes "$E2E_TMP/windows" "$E2E_TMP"/[123].png)
assert_eq "rendered images" 10 "$(ls "$E2E_TMP/linux" | wc -l)"
for image in "$E2E_TMP"/linux/*.png; do
    name=$(basename "$image")
    error=$(compare -metric PAE "$image" "$E2E_TMP/windows/$name" null: 2>&1 || true)
    limit=$([[ $name == *spectrum* ]] && echo 257 || echo 0)  # one level in 16 bits
    assert_eq "$name differs by at most $limit" 1 "$((${error%% *} <= limit))"
done

# No input is written, even named another way: Wine's drive Z: against the Unix path.
stats="Z:${E2E_TMP//\//\\}\\1.png"
cp "$E2E_TMP/1.png" "$E2E_TMP/1.kept"
(cd / && "$wine" "$VELMORA_WINDOWS_BUILD/velmora-render.exe" --stats "$stats" "$E2E_TMP/kept" \
    "$E2E_TMP/1.png") >"$E2E_TMP/out" 2>"$E2E_TMP/err" && status=0 || status=$?
assert_eq "collision status" 1 "$status"
assert_file_eq "collision line" "error: $stats would overwrite input $E2E_TMP/1.png"$'\r\n' "$E2E_TMP/err"
assert_eq "input kept" "" "$(cmp "$E2E_TMP/1.png" "$E2E_TMP/1.kept")"
finish
