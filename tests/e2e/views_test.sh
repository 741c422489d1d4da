#!/usr/bin/env bash
# velmora-render's three analysis images on frames whose views are known pixel for pixel.
source "$(dirname "$0")/lib.sh"

# gray_frame FILE WxH VALUE [DRAW VALUE]...: a gray frame of VALUE with filled rectangles drawn
# over it, each 'rectangle x0,y0 x1,y1' (inclusive corners) followed by its gray value.
gray_frame() {
    local file=$1 size=$2 value=$3
    shift 3
    local args=()
    while (($#)); do
        args+=(-fill "rgb($2,$2,$2)" -draw "$1")
        shift 2
    done
    convert -size "$size" "xc:rgb($value,$value,$value)" +antialias "${args[@]}" "$file"
}

# pixels_differing EXPECTED ACTUAL: the number of pixels that differ (sizes must match).
pixels_differing() {
    compare -metric AE "$1" "$2" null: 2>&1 || true
}

render() {
    local dir=$1
    shift
    set +e
    "$VELMORA_RENDER" --fps 30 "$dir" "$@" 2>"$E2E_TMP/err"
    local status=$?
    set -e
    assert_eq "render status for $dir" 0 "$status"
    assert_file_eq "render errors for $dir" "" "$E2E_TMP/err"
}

# Motion: the second frame changes four patches by 26, -26, 25 and -25 gray levels and one by
# 155; only changes above 25 show, in either direction.
a='rectangle 2,2 11,9'
b='rectangle 20,2 29,9'
c='rectangle 2,20 11,29'
d='rectangle 20,20 29,29'
e='rectangle 40,30 60,44'
gray_frame "$E2E_TMP/before.png" 64x48 100
gray_frame "$E2E_TMP/after.png" 64x48 100 "$a" 126 "$b" 74 "$c" 125 "$d" 75 "$e" 255
gray_frame "$E2E_TMP/mask.png" 64x48 0 "$a" 255 "$b" 255 "$e" 255
render "$E2E_TMP/motion" "$E2E_TMP/before.png" "$E2E_TMP/after.png"
for name in 2d-fft-spectrum laplacian-edge motion-detection; do
    assert_exists "$name written" "$E2E_TMP/motion/$name.png"
done
assert_eq "motion size" 64x48 "$(image_size "$E2E_TMP/motion/motion-detection.png")"
assert_eq "motion mask" 0 "$(pixels_differing "$E2E_TMP/mask.png" "$E2E_TMP/motion/motion-detection.png")"

# One frame: nothing to compare with, so no motion.
render "$E2E_TMP/first" "$E2E_TMP/after.png"
gray_frame "$E2E_TMP/black.png" 64x48 0
assert_eq "first motion is black" 0 \
    "$(pixels_differing "$E2E_TMP/black.png" "$E2E_TMP/first/motion-detection.png")"

# Edges: a vertical step from black to white gives the two columns beside it.
gray_frame "$E2E_TMP/step.png" 64x48 0 'rectangle 32,0 63,47' 255
gray_frame "$E2E_TMP/step-edges.png" 64x48 0 'rectangle 31,0 32,47' 255
render "$E2E_TMP/step" "$E2E_TMP/step.png"
assert_eq "step edges" 0 \
    "$(pixels_differing "$E2E_TMP/step-edges.png" "$E2E_TMP/step/laplacian-edge.png")"

# Spectrum: a uniform frame has one bright pixel, the zero frequency, at the centre.
gray_frame "$E2E_TMP/uniform.png" 640x480 100
gray_frame "$E2E_TMP/centre.png" 640x480 0 'point 320,240' 255
render "$E2E_TMP/uniform" "$E2E_TMP/uniform.png"
assert_eq "uniform spectrum" 0 \
    "$(pixels_differing "$E2E_TMP/centre.png" "$E2E_TMP/uniform/2d-fft-spectrum.png")"
assert_eq "uniform edges" 0 "$(identify -format '%[max]' "$E2E_TMP/uniform/laplacian-edge.png")"

# A wide frame is padded to 1440 columns and the spectrum halved on its own size.
make_image "$E2E_TMP/wide.png" 1366x768
render "$E2E_TMP/wide" "$E2E_TMP/wide.png"
assert_eq "wide spectrum" 720x384 "$(image_size "$E2E_TMP/wide/2d-fft-spectrum.png")"
assert_eq "wide edges" 683x384 "$(image_size "$E2E_TMP/wide/laplacian-edge.png")"
assert_eq "wide frame" 683x384 "$(image_size "$E2E_TMP/wide/velmora.png")"

# Frames one pixel high or wide still give all three pictures; the spectrum is black.
for size in 7x1 1x7 1x1; do
    make_image "$E2E_TMP/thin-$size.png" "$size" 'xc:rgb(9,80,200)'
    render "$E2E_TMP/thin-$size" "$E2E_TMP/thin-$size.png" "$E2E_TMP/thin-$size.png"
    for name in 2d-fft-spectrum laplacian-edge motion-detection; do
        assert_eq "$name of $size" "$size" "$(image_size "$E2E_TMP/thin-$size/$name.png")"
    done
    assert_eq "spectrum of $size is black" 0 \
        "$(identify -format '%[max]' "$E2E_TMP/thin-$size/2d-fft-spectrum.png")"
done

finish
