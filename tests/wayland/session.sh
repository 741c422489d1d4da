#!/usr/bin/env bash
# A headless Wayland session for the tests: sway with two outputs (HEADLESS-1 1280 x 720 at 0,0,
# HEADLESS-2 1920 x 1080 at 1280,0) or one (HEADLESS-1 1280 x 720 showing WALLPAPER), PipeWire,
# and the ScreenCast portal whose patched wlroots back end captures HEADLESS-2 without asking.
#   session.sh start DIR [OUTPUTS [WALLPAPER]]  starts in the new folder DIR, returns once ready
#   session.sh run DIR COMMAND...               runs COMMAND in it as the session's user
#   session.sh stop DIR                         ends every process of the session, removes DIR
# Or source it and call wl_start, wl_run (or wl_cmd) and wl_stop. sway refuses to run as root,
# so as root the session runs as the system user velmora-wayland, created when missing; that user
# must be able to read the programs and files it is given.
wl_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
WL_USER=velmora-wayland

WL_AS=()
[[ $(id -u) -ne 0 ]] || WL_AS=(setpriv --reuid=$WL_USER --regid=$WL_USER --clear-groups)

# wl_user: as root, makes sure the session's user exists; fails when it cannot be created.
wl_user() {
    [[ $(id -u) -ne 0 ]] || id -u $WL_USER >/dev/null 2>&1 ||
        useradd --system --user-group --no-create-home --home-dir /nonexistent \
            --shell /usr/sbin/nologin $WL_USER
}

wl_start() {
    local dir=$1 outputs=${2:-2} wallpaper=${3:-} portal config=$1/home/.config/sway/config
    wl_user || return
    portal=$("$wl_here/portal-build.sh") || return
    mkdir -m 0755 "$dir" && mkdir -p "${config%/*}" && mkdir -m 0700 "$dir/runtime" &&
        cp "$portal" "$dir/" || return
    if [[ $outputs -eq 2 ]]; then
        echo 'output HEADLESS-2 mode 1920x1080 position 1280 0 bg #2040c0 solid_color'
        echo 'output HEADLESS-1 mode 1280x720 position 0 0 bg #c04020 solid_color'
        printf 'bar {\n output HEADLESS-2\n status_command while echo ready; do sleep 1; done\n}\n'
    else
        echo "output HEADLESS-1 mode 1280x720 position 0 0"
        echo "output * bg $wallpaper fill"
    fi >"$config"
    printf '[screencast]\nchooser_type=none\noutput_name=HEADLESS-2\n' >"$dir/portal.config"
    [[ $(id -u) -ne 0 ]] || chown -R $WL_USER: "$dir"
    # The session is a process group of its own, so that stopping it ends everything it started.
    (cd / && exec setsid "${WL_AS[@]}" env -i "PATH=$PATH" HOME="$dir/home" LANG=C.UTF-8 \
        XDG_RUNTIME_DIR="$dir/runtime" XDG_CURRENT_DESKTOP=sway XDG_SESSION_TYPE=wayland \
        WLR_BACKENDS=headless WLR_HEADLESS_OUTPUTS="$outputs" WLR_RENDERER=pixman \
        WLR_LIBINPUT_NO_DEVICES=1 dbus-run-session -- bash "$wl_here/session.sh" inside "$dir") \
        >"$dir/session.log" 2>&1 &
    echo $! >"$dir/pgid"
    timeout 20 bash -c "until [[ -s '$dir/env' ]] || ! kill -0 $!; do sleep 0.05; done" 2>/dev/null
    [[ -s $dir/env ]] || { cat "$dir/session.log" >&2 && wl_stop "$dir" && return 1; }
}

# wl_cmd DIR: WL_CMD becomes the prefix that runs a command in the session as its user.
wl_cmd() {
    mapfile -t WL_CMD <"$1/env" && WL_CMD=("${WL_AS[@]}" env HOME="$1/home" "${WL_CMD[@]}")
}

wl_run() { wl_cmd "$1" && "${WL_CMD[@]}" "${@:2}"; }

wl_stop() {
    local group
    [[ -f $1/pgid ]] && group=$(<"$1/pgid") || return 0
    kill -TERM -- -"$group" 2>/dev/null &&
        timeout 5 bash -c "while kill -0 -- -$group; do sleep 0.05; done" 2>/dev/null
    kill -KILL -- -"$group" 2>/dev/null || true
    rm -rf "$1"
}

# Runs as the session's user under dbus-run-session; sway redraws HEADLESS-2 once a second so
# that a screencast of it keeps getting frames.
wl_inside() {
    local dir=$1 run=$XDG_RUNTIME_DIR
    pipewire &
    timeout 10 bash -c "until [[ -S $run/pipewire-0 ]]; do sleep 0.02; done"
    wireplumber &
    sway -c "$HOME/.config/sway/config" &
    echo $! >"$dir/sway.pid"
    timeout 10 bash -c "until [[ -S $run/wayland-1 ]] && ls $run/sway-ipc.*.sock; do sleep 0.02;
        done" >/dev/null
    export WAYLAND_DISPLAY=wayland-1 SWAYSOCK=$(ls "$run"/sway-ipc.*.sock)
    dbus-update-activation-environment WAYLAND_DISPLAY SWAYSOCK XDG_CURRENT_DESKTOP XDG_SESSION_TYPE
    "$dir/xdg-desktop-portal-wlr" -c "$dir/portal.config" &
    gdbus wait --session --timeout 10 org.freedesktop.impl.portal.desktop.wlr
    /usr/libexec/xdg-desktop-portal &
    gdbus wait --session --timeout 10 org.freedesktop.portal.Desktop
    env | grep -E '^(XDG_|WAYLAND_DISPLAY=|SWAYSOCK=|DBUS_SESSION_BUS_ADDRESS=)' >"$dir/env.part"
    mv "$dir/env.part" "$dir/env"
    wait
}

if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
    set -euo pipefail
    [[ ${1:-} =~ ^(start|run|stop|inside)$ ]] || { echo "usage: session.sh start|run|stop DIR" >&2
        exit 2; }
    "wl_$1" "${@:2}"
fi
