#!/usr/bin/env bash
# A sweep run as 3 shards through GNU parallel, its statistics merged, against the same sweep run
# whole: the merged files (CSV and JSON) and every frame must be the same, byte for byte.
# Usage: shards.sh VELMORA-RENDER
set -euo pipefail
render=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sweep=(--client 200x150 --picture 60x40 --mass-two 20 --shade --sweep mass-moving=5:105:10)
mkdir "$work/whole" "$work/split" "$work/split-json"

"$render" "${sweep[@]}" --stats "$work/whole/s.csv" "$work/whole/f%03d.png" >/dev/null
"$render" "${sweep[@]}" --stats "$work/whole.json" "$work/whole-json%d.bmp" >/dev/null
parallel --halt now,fail=1 "$render" "${sweep[@]}" --shard {}/3 --stats "$work/s{}.csv" \
    "$work/split/f%03d.png" ::: 1 2 3 >/dev/null
parallel --halt now,fail=1 "$render" "${sweep[@]}" --shard {}/3 --stats "$work/s{}.json" \
    "$work/split-json/f%d.bmp" ::: 1 2 3 >/dev/null
"$render" --merge-stats "$work/split/s.csv" "$work"/s{3,1,2}.csv
"$render" --merge-stats "$work/merged.json" "$work"/s{1,2,3}.json

cmp "$work/whole.json" "$work/merged.json"
diff -r "$work/whole" "$work/split"
[ "$(ls "$work/split" | wc -l)" -eq 12 ] || { echo "expected 11 frames and the statistics"; exit 1; }
echo "3 shards through GNU parallel: the merged statistics and all 11 frames as the whole sweep's"
