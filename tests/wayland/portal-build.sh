#!/usr/bin/env bash
# Builds Debian's xdg-desktop-portal-wlr with portal-wlr-shm.patch into
#   ${VELMORA_WAYLAND_CACHE:-~/.cache/velmora/wayland}/xdg-desktop-portal-wlr-VERSION-HASH
# once per source version, patch and build steps, and prints the path of the program.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${VELMORA_WAYLAND_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/velmora/wayland}
pkg=xdg-desktop-portal-wlr

"$here/../../scripts/deb-src.sh" $pkg
version=$(apt-get source --print-uris $pkg | sed -n "s/.* ${pkg}_\(.*\)\.dsc .*/\1/p")
prefix=$cache/$pkg-$version-$(cat "$here/portal-wlr-shm.patch" "$0" | sha256sum | cut -c1-12)
if [[ ! -x $prefix/$pkg ]]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    (cd "$work" && apt-get source -qq $pkg && cd $pkg-*/ &&
        patch -s -p1 <"$here/portal-wlr-shm.patch" &&
        meson setup -Dman-pages=disabled -Dsystemd=disabled build && ninja -C build) \
        >"$work/log" 2>&1 || { tail -n 30 "$work/log" >&2 && exit 1; }
    mkdir -p "$prefix"
    cp "$work"/$pkg-*/build/$pkg "$prefix/.$pkg.$$" && mv "$prefix/.$pkg.$$" "$prefix/$pkg"
fi
echo "$prefix/$pkg"
