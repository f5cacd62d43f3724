#!/usr/bin/env bash
# Peak memory of velmora-render: the largest replica drawing surface, 16384 x 16384 (1 GiB of
# pixels), as a bitmap and as PNG, and the bitmap once more within 1500000 kB of address space;
# then views written in bands of rows: 32768 x 32768 (coarse spacing, far from the masses, so
# quick) and 16384 x 16384 with --stats --shade, each to stay within 256 MiB; then the time a
# million start points of one view takes in bands against the whole picture at once (a sweep
# of one frame computes its picture whole), which should agree within 5 %.
# Usage: bench/peak-memory.sh [VELMORA_RENDER] [RUNS]   (default: build/render/velmora-render, 3)
# Needs GNU time (/usr/bin/time) and about 2 GB of free disk space in the temporary folder.
set -euo pipefail
cd "$(dirname "$0")/.."
render=${1:-build/render/velmora-render}
runs=${2:-3}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
largest=(--client 16384x16384 --picture 2x2 --step-limit 1)

# Peaks (MiB) and seconds of RUNS runs of the renderer with these arguments.
measure() {
    local label=$1
    shift
    local peaks=() seconds=()
    for _ in $(seq "$runs"); do
        /usr/bin/time -f "%M %e" -o "$out/time" "$render" "$@" >/dev/null
        read -r kb s <"$out/time"
        peaks+=("$((kb / 1024))")
        seconds+=("$s")
        rm -f "$out"/picture.* "$out"/stats.*
    done
    echo "$label: peak resident memory ${peaks[*]} MiB; ${seconds[*]} s"
}

for file in picture.bmp picture.png; do
    measure "$file" "${largest[@]}" "$out/$file"
done

if (ulimit -v 1500000 && exec "$render" "${largest[@]}" "$out/picture.bmp" >/dev/null); then
    echo "picture.bmp within 1500000 kB of address space: written"
else
    echo "picture.bmp within 1500000 kB of address space: failed with status $?"
fi
rm -f "$out/picture.bmp"

measure "view 32768 x 32768, png" --view 100000,100000,4 --size 32768x32768 --step-limit 1 \
    "$out/picture.png"
measure "view 16384 x 16384 --stats --shade, png" --view 420,270,0.01 --size 16384x16384 \
    --step-limit 3 --stats "$out/stats.json" --shade "$out/picture.png"

# Milliseconds a million start points of a view near the masses, banded and whole.
view=(--view 300,200,0.1 --size 2048x2048)
points=$((2048 * 2048))
for mode in "bands (default)" "bands of 16 rows" "whole picture"; do
    case $mode in
    "bands (default)") extra=("$out/picture.png") ;;
    "bands of 16 rows") extra=(--band-rows 16 "$out/picture.png") ;;
    *) extra=(--sweep mass-one=10:10:1 "$out/picture%d.png") ;;
    esac
    times=()
    for _ in $(seq "$runs"); do
        /usr/bin/time -f "%e" -o "$out/time" "$render" "${view[@]}" "${extra[@]}" >/dev/null
        times+=("$(awk -v s="$(cat "$out/time")" -v n="$points" 'BEGIN { printf "%.0f", s * 1e9 / n }')")
        rm -f "$out"/picture*
    done
    echo "$mode: ${times[*]} ms a million start points"
done
