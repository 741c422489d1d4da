#!/usr/bin/env bash
# `cmake --install` into a staging folder and the .deb that cpack makes, both from the build
# folder of the programs under test.
source "$(dirname "$0")/lib.sh"

build=$(dirname "$VELMORA")
stage="$E2E_TMP/stage"
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null

installed=(./usr/bin/velmora ./usr/bin/velmora-render ./usr/share/applications/velmora.desktop
    ./usr/share/doc/velmora/LICENSE ./usr/share/doc/velmora/README.md
    ./usr/share/icons/hicolor/scalable/apps/velmora.svg
    ./usr/share/man/man1/velmora-render.1.gz ./usr/share/man/man1/velmora.1.gz)
assert_eq "installed files" "$(printf '%s\n' "${installed[@]}")" \
    "$(cd "$stage" && find . -type f | LC_ALL=C sort)"
for program in velmora velmora-render; do
    if [[ -x "$stage/usr/bin/$program" ]]; then pass; else fail "$program not executable"; fi
    assert_eq "man page of $program" ".TH ${program^^} 1" \
        "$(zcat "$stage/usr/share/man/man1/$program.1.gz" | grep -o '^\.TH [^ ]* 1')"
done
if desktop-file-validate "$stage/usr/share/applications/velmora.desktop"; then pass; else
    fail "the menu entry is not valid"
fi
# It asks on the console, so the menu starts it in a terminal.
assert_eq "menu entry" "Terminal=true" \
    "$(grep '^Terminal=' "$stage/usr/share/applications/velmora.desktop")"

# The installed program finds its libraries: it asks, and ends at the end of input.
set +e
"$stage/usr/bin/velmora" </dev/null >"$E2E_TMP/out" 2>&1
status=$?
set -e
assert_eq "installed velmora status" 1 "$status"
assert_file_eq "installed velmora prompt" $'1: USB capture\n2: Monitor capture\n> ' "$E2E_TMP/out"

(cd "$build" && cpack -G DEB -B "$E2E_TMP/pkg") >"$E2E_TMP/cpack.log" 2>&1 ||
    { cat "$E2E_TMP/cpack.log"; exit 1; }
deb=$(echo "$E2E_TMP"/pkg/velmora_*_amd64.deb)
assert_eq "package contents" "$(printf '%s\n' "${installed[@]}")" \
    "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | LC_ALL=C sort)"
assert_eq "package section" graphics "$(dpkg-deb -f "$deb" Section)"
libraries=(libopencv-core libopencv-imgproc libopencv-imgcodecs libopencv-videoio
    libopencv-highgui libx11-6 libglib2.0-0)
grep -q '^VELMORA_FFTW:BOOL=ON' "$build/CMakeCache.txt" && libraries+=(libfftw3-single3)
depends=$(dpkg-deb -f "$deb" Depends)
for library in "${libraries[@]}"; do
    [[ "$depends" == *"$library"* ]] && pass || fail "Depends lacks $library: $depends"
done
finish
