#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, and only those that are missing.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    clang libclang-rt-14-dev
    libopencv-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libfftw3-dev
    libx11-dev libxext-dev libxrandr-dev libxinerama-dev
    libglib2.0-dev libglib2.0-bin gsettings-desktop-schemas
    xvfb xdotool x11-utils x11-xserver-utils imagemagick gstreamer1.0-plugins-base
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    # Wine runs the Windows platform layer; its X11 driver loads these libraries at run time.
    wine64 fonts-wine libxinerama1 libxrandr2 libxrender1 libxcursor1 libxi6 libxcomposite1
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
echo "installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
