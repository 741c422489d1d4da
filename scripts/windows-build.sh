#!/usr/bin/env bash
# Cross-builds velmora.exe and velmora-render.exe with mingw-w64 (POSIX threads, static) against
# zlib, libpng, libjpeg-turbo, FFTW and OpenCV built from Debian's own source packages.
# The libraries are kept outside the checkout, one folder per source version and build flags,
# so a second run only rebuilds Velmora.
#   BUILD                   Velmora's build folder (default build-windows)
#   VELMORA_WINDOWS_CACHE   where the libraries go (default ~/.cache/velmora/windows)
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD=${BUILD:-build-windows}
CACHE=${VELMORA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/velmora/windows}
JOBS=${JOBS:-$(nproc)}
TOOLCHAIN=$PWD/cmake/mingw-w64-posix.cmake
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
mkdir -p "$CACHE"

# The version apt-get source would fetch, e.g. 1.2.13.dfsg-1.
source_version() {
    apt-get source --print-uris "$1" 2>/dev/null | awk -v p="$1_" '$2 ~ /\.dsc$/ {
        sub(p, "", $2); sub(/\.dsc$/, "", $2); print $2; exit }'
}

# Builds one source package with CMake into $CACHE/NAME-VERSION-HASH unless that folder is
# complete; prints the folder. The hash covers the flags and the compiler.
built_package() {
    local pkg=$1 name=$2; shift 2
    local version key prefix work start
    version=$(source_version "$pkg")
    [[ -n $version ]] || { echo "windows-build: no source package $pkg" >&2; return 1; }
    key=$( (printf '%s\n' "$@"; cat "$TOOLCHAIN"; x86_64-w64-mingw32-g++-posix -dumpfullversion) |
        sha256sum | cut -c1-12)
    prefix=$CACHE/$name-$version-$key
    if [[ -f $prefix/.complete ]]; then
        echo "$prefix"
        return
    fi
    work=$CACHE/work/$name
    rm -rf "$work" "$prefix"
    mkdir -p "$work"
    start=$SECONDS
    (cd "$work" && apt-get source -qq "$pkg" >/dev/null 2>&1)
    local src
    src=$(find "$work" -mindepth 2 -maxdepth 2 -name CMakeLists.txt -printf '%h\n' | head -n 1)
    # libjpeg-turbo takes a relative library folder as relative to the working directory.
    local libdir=lib
    [[ $name == libjpeg-turbo ]] && libdir=$prefix/lib
    cmake -S "$src" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR="$libdir" "${launcher[@]}" "$@" \
        >"$work/configure.log" 2>&1 || { tail -n 40 "$work/configure.log" >&2; return 1; }
    build_and_install "$name" "$work" "$prefix" >"$work/build.log" 2>&1 ||
        { tail -n 40 "$work/build.log" >&2; return 1; }
    rm -rf "$work"
    touch "$prefix/.complete"
    echo "windows-build: $name $version built in $((SECONDS - start)) s" >&2
    echo "$prefix"
}

build_and_install() {
    local name=$1 work=$2 prefix=$3
    if [[ $name == zlib ]]; then
        # The trimmed tarball lacks the resource file of the shared library: static target only.
        nice -n 5 cmake --build "$work/build" -j "$JOBS" --target zlibstatic
        mkdir -p "$prefix/lib" "$prefix/include"
        cp "$work/build/libzlibstatic.a" "$prefix/lib/libz.a"
        cp "$work/build/zconf.h" "$(dirname "$(find "$work" -maxdepth 2 -name zlib.h | head -n 1)")/zlib.h" \
            "$prefix/include/"
    else
        nice -n 5 cmake --build "$work/build" -j "$JOBS" --target install
    fi
}

scripts/deb-src.sh zlib
zlib=$(built_package zlib zlib)
zlib_flags=(-DZLIB_LIBRARY="$zlib/lib/libz.a" -DZLIB_INCLUDE_DIR="$zlib/include")
png=$(built_package libpng1.6 libpng "${zlib_flags[@]}" -DPNG_SHARED=OFF -DPNG_TESTS=OFF)
jpeg=$(built_package libjpeg-turbo libjpeg-turbo -DENABLE_SHARED=OFF -DWITH_SIMD=OFF \
    -DWITH_TURBOJPEG=OFF)
opencv=$(built_package opencv opencv "${zlib_flags[@]}" \
    -DPNG_LIBRARY="$png/lib/libpng16.a" -DPNG_PNG_INCLUDE_DIR="$png/include" \
    -DJPEG_LIBRARY="$jpeg/lib/libjpeg.a" -DJPEG_INCLUDE_DIR="$jpeg/include" \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_LIST=core,imgproc,imgcodecs,videoio,highgui \
    -DBUILD_TESTS=OFF -DBUILD_PERF_TESTS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_opencv_apps=OFF \
    -DBUILD_DOCS=OFF -DBUILD_JAVA=OFF -DBUILD_opencv_python3=OFF -DCPU_DISPATCH= \
    -DWITH_WIN32UI=ON -DWITH_DSHOW=ON -DWITH_MSMF=OFF -DWITH_OBSENSOR=OFF -DWITH_QUIRC=OFF \
    -DWITH_IPP=OFF -DWITH_ITT=OFF -DWITH_OPENCL=OFF -DWITH_PROTOBUF=OFF -DWITH_ADE=OFF \
    -DWITH_EIGEN=OFF -DWITH_LAPACK=OFF -DWITH_TIFF=OFF -DWITH_WEBP=OFF -DWITH_OPENJPEG=OFF \
    -DWITH_JASPER=OFF -DWITH_OPENEXR=OFF -DWITH_FFMPEG=OFF -DWITH_GSTREAMER=OFF \
    -DWITH_1394=OFF -DWITH_VTK=OFF -DWITH_OPENGL=OFF -DWITH_QT=OFF -DWITH_GTK=OFF \
    -DBUILD_ZLIB=OFF -DBUILD_PNG=OFF -DBUILD_JPEG=OFF)
# Single precision with SSE2 only: GCC cannot align the Win64 stack for AVX spills. mingw-w64
# has no memalign, so FFTW aligns its buffers itself.
fftw=$(built_package fftw3 fftw -DENABLE_FLOAT=ON -DENABLE_SSE=ON -DENABLE_SSE2=ON \
    -DENABLE_THREADS=ON -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTS=OFF -DCMAKE_C_FLAGS=-DWITH_OUR_MALLOC)

start=$SECONDS
cmake -S . -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_FIND_ROOT_PATH="$fftw;$opencv" -DOpenCV_DIR="$opencv/lib/cmake/opencv4" \
    -DCMAKE_EXE_LINKER_FLAGS=-static -DVELMORA_WERROR=ON -DVELMORA_FFTW=ON "${launcher[@]}" \
    -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF -DVELMORA_WINE_CHECKS=ON >/dev/null
nice -n 5 cmake --build "$BUILD" -j "$JOBS"
echo "windows-build: velmora.exe, velmora-render.exe and velmora-wine-checks.exe in $BUILD" \
    "($((SECONDS - start)) s)"
