#!/usr/bin/env bash
# The layers the build enforces: a file of each layer is compiled with a single include, once of
# a layer it may use and once of one it may not, with the flags the build gives that layer's
# files. Only the first may compile.
source "$(dirname "$0")/lib.sh"
: "${VELMORA_TEST_TOOLS:?directory of velmora-tests}"
commands="$VELMORA_TEST_TOOLS/../compile_commands.json"
source_dir=$(cd "$(dirname "$0")/../.." && pwd)

# compiles FILE INCLUDE: whether one include compiles with the flags of FILE (a source of the
# layer); 0 when it does
compiles() {
    local line
    line=$(grep -F "\"command\": " "$commands" | grep -F -- "-c $source_dir/$1\"" | head -n1)
    [[ -n $line ]] || { fail "no compile command for $1"; return 2; }
    line=${line#*\"command\": \"}
    line=${line%\",}
    line=${line//\\\"/\"}
    printf '#include "%s"\n' "$2" >"$E2E_TMP/probe.cpp"
    eval "${line%% -o *} -fsyntax-only $E2E_TMP/probe.cpp" >/dev/null 2>&1
}

# LAYER FILE ALLOWED FORBIDDEN...
cases=(
    "analysis/motion_view.cpp analysis/spectrum_view.h app/display.h sources/frame_source.h hist/plot.h platform/platform.h"
    "hist/plot.cpp hist/channel_hist.h app/window_titles.h sources/image_file.h analysis/motion_view.h"
    "platform/linux/session.cpp platform/monitors.h sources/frame_source.h app/window_layer.h"
    "sources/image_file.cpp platform/monitors.h app/window_layer.h analysis/motion_view.h platform/linux/session.h"
    "app/frame_loop.cpp sources/frame_source.h render/render.h platform/linux/x11/display.h"
)
for row in "${cases[@]}"; do
    read -r file allowed forbidden <<<"$row"
    compiles "$file" "$allowed" && pass || fail "${file%%/*}/ cannot include $allowed"
    for header in $forbidden; do
        ! compiles "$file" "$header" && pass || fail "${file%%/*}/ includes $header"
    done
done
finish
