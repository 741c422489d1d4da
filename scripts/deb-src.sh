#!/usr/bin/env bash
# Makes `apt-get source` work: adds a deb-src entry for the release suite of the main archive of
# debian.sources unless PACKAGE's source is already known.
#   scripts/deb-src.sh PACKAGE
set -euo pipefail

apt-cache showsrc "$1" 2>/dev/null | grep -q '^Package:' && exit 0
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
{
    echo "Types: deb-src"
    grep -m 1 '^URIs:' /etc/apt/sources.list.d/debian.sources
    echo "Suites: $(. /etc/os-release && echo "$VERSION_CODENAME")"
    echo "Components: main"
    grep -m 1 '^Signed-By:' /etc/apt/sources.list.d/debian.sources
} | "${sudo[@]}" tee /etc/apt/sources.list.d/velmora-deb-src.sources >/dev/null
"${sudo[@]}" apt-get -o DPkg::Lock::Timeout=900 update -qq
