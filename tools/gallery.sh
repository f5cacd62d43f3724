#!/usr/bin/env bash
# Makes the README's gallery in doc/gallery/ with the built renderer: the default picture, a
# shaded 1920 x 1080 picture of two unequal masses far apart, a detail of the same masses with a
# heavier moving mass, two views of three masses around the default middle (equal, on a
# triangle, and unequal) with how their basins meet, and the statistics of each with the
# uncertainty exponent. Builds nothing:
# run tools/build.sh first (BUILD_DIR as there, default build/). Rerunning it remakes the same
# files.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
render="$build_dir/render/velmora-render"
[ -x "$render" ] || { echo "no $render: build first" >&2; exit 1; }
command -v convert >/dev/null || { echo "ImageMagick missing: run tools/setup.sh" >&2; exit 1; }
out=doc/gallery
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Re-encodes a PNG as small as it goes without changing a pixel (a palette when the picture has
# few enough colours), without the time stamps that would make every run's file differ.
shrink() {
    convert "$1" -strip -define png:compression-level=9 -define png:exclude-chunks=date,time "$2"
}

"$render" --uncertainty 10000 --stats "$out/default.json" "$out/default.png"

apart=(--client 1920x1080 --one 760,540 --two 1160,540 --mass-one 200 --mass-two 100
       --radius-one 60 --radius-two 40 --shade)
"$render" "${apart[@]}" --picture 1920x1080 --mass-moving 400 --uncertainty 10000 \
    --stats "$out/rings.json" \
    "$work/rings.png"
shrink "$work/rings.png" "$out/rings.png"

# Only the middle 640 x 360 of the surface is computed; the detail is that rectangle.
"$render" "${apart[@]}" --picture 640x360 --mass-moving 1600 --uncertainty 10000 \
    --stats "$out/interleaved.json" \
    "$work/interleaved.png"
convert "$work/interleaved.png" -crop 640x360+640+360 +repage "$work/detail.png"
shrink "$work/detail.png" "$out/interleaved.png"

# Three equal masses as near an equilateral triangle around (512, 347) as whole numbers place
# them, then three unequal ones.
middle=(--view 472,310,0.125 --size 640x480)
"$render" "${middle[@]}" --mass 502,356,10,5 --mass 522,356,10,5 --mass 512,338,10,5 \
    --uncertainty 10000 --wada --stats "$out/triangle.json" "$work/triangle.png"
shrink "$work/triangle.png" "$out/triangle.png"
"$render" "${middle[@]}" --mass 500,358,20,5 --mass 527,353,10,4 --mass 510,336,5,3 \
    --uncertainty 10000 --wada --stats "$out/unequal.json" "$work/unequal.png"
shrink "$work/unequal.png" "$out/unequal.png"

ls -l "$out"
