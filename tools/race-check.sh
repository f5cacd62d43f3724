#!/usr/bin/env bash
# The renderer against a race on its output, as the superuser: a normal user keeps switching a
# link in its folder between a file of its own (0644) and the superuser's private file (0600,
# in a folder the user cannot read) while velmora-render writes through the link RUNS times.
# Prints the runs after which either file had another owner or mode, and the runs that failed.
# Usage (as root): tools/race-check.sh BUILD/render/velmora-render [RUNS]
set -euo pipefail
render=$(realpath "${1:?the path of velmora-render}")
runs=${2:-500}
[ "$(id -u)" -eq 0 ] || { echo "run as root" >&2; exit 2; }

work=$(mktemp -d)
trap 'kill "$attacker" 2>/dev/null; rm -rf "$work"' EXIT
chmod 755 "$work"
mkdir -m 700 "$work/private"
mkdir "$work/race"
chown nobody:nogroup "$work/race"
printf old >"$work/private/root.png"
chmod 600 "$work/private/root.png"
setpriv --reuid=nobody --regid=nogroup --clear-groups \
    sh -c 'umask 022; printf old >"$1/a.png"; ln -s a.png "$1/L.png"' sh "$work/race"

setpriv --reuid=nobody --regid=nogroup --clear-groups python3 - "$work" <<'PY' &
import os, sys
race = os.path.join(sys.argv[1], "race")
targets = ["a.png", os.path.join(sys.argv[1], "private", "root.png")]
link, spare = os.path.join(race, "L.png"), os.path.join(race, "L.new")
i = 0
while True:
    os.symlink(targets[i % 2], spare)
    os.rename(spare, link)
    i += 1
PY
attacker=$!

wrong=0
failed=0
for ((run = 0; run < runs; ++run)); do
    "$render" --client 64x48 --picture 64x48 --step-limit 200 "$work/race/L.png" \
        >/dev/null 2>&1 || failed=$((failed + 1))
    [ "$(stat -c '%u %a' "$work/race/a.png")" = "65534 644" ] &&
        [ "$(stat -c '%u %a' "$work/private/root.png")" = "0 600" ] && continue
    wrong=$((wrong + 1))
    chown nobody:nogroup "$work/race/a.png" && chmod 644 "$work/race/a.png"
    chown root:root "$work/private/root.png" && chmod 600 "$work/private/root.png"
done
echo "$runs runs: $wrong with a wrong owner or mode, $failed refused"
