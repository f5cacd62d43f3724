#!/usr/bin/env bash
# Peak memory of velmora-render writing the largest drawing surface, 16384 x 16384 (1 GiB of
# pixels), as a bitmap and as PNG; then the bitmap once more within 1500000 kB of address space.
# Usage: bench/peak-memory.sh [VELMORA_RENDER] [RUNS]   (default: build/render/velmora-render, 3)
# Needs GNU time (/usr/bin/time) and about 1 GB of free disk space in the temporary folder.
set -euo pipefail
cd "$(dirname "$0")/.."
render=${1:-build/render/velmora-render}
runs=${2:-3}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
largest=(--client 16384x16384 --picture 2x2 --step-limit 1)

for file in picture.bmp picture.png; do
    peaks=()
    for _ in $(seq "$runs"); do
        /usr/bin/time -f %M -o "$out/kb" "$render" "${largest[@]}" "$out/$file" >/dev/null
        peaks+=("$(($(cat "$out/kb") / 1024))")
        rm -f "$out/$file"
    done
    echo "$file: peak resident memory ${peaks[*]} MiB"
done

if (ulimit -v 1500000 && exec "$render" "${largest[@]}" "$out/picture.bmp" >/dev/null); then
    echo "picture.bmp within 1500000 kB of address space: written"
else
    echo "picture.bmp within 1500000 kB of address space: failed with status $?"
fi
