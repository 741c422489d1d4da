#!/usr/bin/env bash
# velmora-render on generated images: the window images it writes, its error and usage paths.
source "$(dirname "$0")/lib.sh"

make_image "$E2E_TMP/big.png" 1280x1024
make_image "$E2E_TMP/small.png" 800x600 'plasma:'

out="$E2E_TMP/out"
set +e
"$VELMORA_RENDER" --fps 30 "$out/nested" "$E2E_TMP/big.png" "$E2E_TMP/big.png" 2>"$E2E_TMP/err"
status=$?
set -e
assert_eq "render status" 0 "$status"
assert_file_eq "render errors" "" "$E2E_TMP/err"
assert_eq "frame window" 640x512 "$(image_size "$out/nested/velmora.png")"
assert_eq "gray window" 640x512 "$(image_size "$out/nested/velmora-gray.png")"
assert_eq "gray window is gray" Gray "$(identify -format '%[colorspace]' "$out/nested/velmora-gray.png")"

"$VELMORA_RENDER" "$out/small" "$E2E_TMP/small.png"
assert_eq "small frame window" 800x600 "$(image_size "$out/small/velmora.png")"

# An unreadable frame, even after good ones: an error line, status 1, nothing written.
printf 'not an image' >"$E2E_TMP/bad.png"
for bad in "$E2E_TMP/missing.png" "$E2E_TMP/bad.png"; do
    set +e
    "$VELMORA_RENDER" "$out/failed" "$E2E_TMP/small.png" "$bad" 2>"$E2E_TMP/err"
    status=$?
    set -e
    assert_eq "unreadable frame status" 1 "$status"
    assert_file_eq "unreadable frame error" "error: cannot read $bad"$'\n' "$E2E_TMP/err"
    assert_missing "nothing written" "$out/failed"
done

# Bad arguments: a usage line and status 2.
usage=$'usage: velmora-render [--fps VALUE] OUTDIR FRAME...\n'
for args in "" "$out" "--fps" "--fps x $out $E2E_TMP/small.png" "--fps -1 $out $E2E_TMP/small.png" \
    "--bogus $out $E2E_TMP/small.png"; do
    set +e
    # shellcheck disable=SC2086
    "$VELMORA_RENDER" $args 2>"$E2E_TMP/err" >/dev/null
    status=$?
    set -e
    assert_eq "usage status for [$args]" 2 "$status"
    assert_file_eq "usage line for [$args]" "$usage" "$E2E_TMP/err"
done

finish
