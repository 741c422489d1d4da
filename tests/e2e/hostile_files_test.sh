#!/usr/bin/env bash
# velmora-render on files it did not write: each bad one gives its error line and status 1 with
# nothing written; the unusual but good ones are rendered.
source "$(dirname "$0")/lib.sh"

good="$E2E_TMP/good.png"
make_image "$good" 64x48

# expect_refused WHAT PATH: the frame after a good one cannot be read.
expect_refused() {
    local out="$E2E_TMP/out-refused"
    set +e
    timeout 60 "$VELMORA_RENDER" "$out" "$good" "$2" >"$E2E_TMP/stdout" 2>"$E2E_TMP/err"
    status=$?
    set -e
    assert_eq "$1: status" 1 "$status"
    assert_file_eq "$1: error line" "error: cannot read $2"$'\n' "$E2E_TMP/err"
    assert_file_eq "$1: standard output" "" "$E2E_TMP/stdout"
    assert_missing "$1: nothing written" "$out"
}

# expect_rendered WHAT PATH SIZE
expect_rendered() {
    local out="$E2E_TMP/out-rendered"
    rm -rf "$out"
    set +e
    "$VELMORA_RENDER" "$out" "$2" 2>"$E2E_TMP/err"
    status=$?
    set -e
    assert_eq "$1: status" 0 "$status"
    assert_file_eq "$1: no error" "" "$E2E_TMP/err"
    assert_eq "$1: frame window" "$3" "$(image_size "$out/velmora.png")"
    assert_eq "$1: frame window is colour" sRGB "$(identify -format '%[colorspace]' "$out/velmora.png")"
}

expect_refused "missing file" "$E2E_TMP/missing.png"
mkdir "$E2E_TMP/dir.png"
expect_refused "directory" "$E2E_TMP/dir.png"
mkfifo "$E2E_TMP/fifo.png"
expect_refused "FIFO" "$E2E_TMP/fifo.png"
expect_refused "character device" /dev/zero
: >"$E2E_TMP/empty.png"
expect_refused "zero-byte file" "$E2E_TMP/empty.png"
ln -s "$E2E_TMP/gone.png" "$E2E_TMP/dangling.png"
expect_refused "dangling symbolic link" "$E2E_TMP/dangling.png"

make_image "$E2E_TMP/whole.png" 320x240 plasma:fractal
make_image "$E2E_TMP/whole.jpg" 320x240 plasma:fractal
for format in png jpg; do
    size=$(stat -c %s "$E2E_TMP/whole.$format")
    head -c $((size / 2)) "$E2E_TMP/whole.$format" >"$E2E_TMP/truncated.$format"
    expect_refused "truncated $format" "$E2E_TMP/truncated.$format"
    head -c $((size - 1)) "$E2E_TMP/whole.$format" >"$E2E_TMP/short.$format"
    expect_refused "$format one byte short" "$E2E_TMP/short.$format"
done

# Signature and header chunk of a PNG, then bytes that are no chunks.
{ head -c 33 "$E2E_TMP/whole.png"; head -c 5000 /dev/zero | tr '\0' 'x'; } >"$E2E_TMP/garbage.png"
expect_refused "valid header and garbage" "$E2E_TMP/garbage.png"

# A PNG whose header claims 100000 x 100000 pixels (width and height at bytes 16 and 20).
make_image "$E2E_TMP/tiny.png" 1x1
{ head -c 16 "$E2E_TMP/tiny.png"; printf '\x00\x01\x86\xa0\x00\x01\x86\xa0'; tail -c +25 "$E2E_TMP/tiny.png"; } \
    >"$E2E_TMP/bomb.png"
assert_eq "bomb header" 000186a0000186a0 "$(od -An -tx1 -j16 -N8 "$E2E_TMP/bomb.png" | tr -d ' \n')"
expect_refused "decompression bomb" "$E2E_TMP/bomb.png"

# Over 2 GiB: a sparse file that starts with a good PNG; refused without being read.
cp "$good" "$E2E_TMP/huge.png"
truncate -s 2148000000 "$E2E_TMP/huge.png"
expect_refused "file over 2 GiB" "$E2E_TMP/huge.png"

convert -size 40x30 gradient:navy-orange -depth 16 "$E2E_TMP/sixteen.png"
expect_rendered "16-bit PNG" "$E2E_TMP/sixteen.png" 40x30
convert -size 40x30 gradient:navy-orange -depth 8 -alpha set -channel A -evaluate set 40% \
    "$E2E_TMP/alpha.png"
expect_rendered "4-channel PNG" "$E2E_TMP/alpha.png" 40x30
convert -size 40x30 gradient:black-white -colorspace Gray -depth 8 "$E2E_TMP/gray.png"
expect_rendered "1-channel PNG" "$E2E_TMP/gray.png" 40x30
mkdir -p "$E2E_TMP/Fotos – 写真"
cp "$good" "$E2E_TMP/Fotos – 写真/Tapete ÄÖÜ.png"
expect_rendered "non-ASCII path" "$E2E_TMP/Fotos – 写真/Tapete ÄÖÜ.png" 64x48
expect_refused "non-ASCII missing path" "$E2E_TMP/Fotos – 写真/fehlt ß.png"

finish
