#!/usr/bin/env bash
# Makes doc/screenshot.png: the window after a completed default picture, under Xvfb on a
# 1280 x 800 screen. Builds nothing: run tools/build.sh first (BUILD_DIR as there, default build/).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
program="$build_dir/app/velmora"
[ -x "$program" ] || { echo "no $program: build first" >&2; exit 1; }
command -v xdotool >/dev/null || { echo "xdotool missing: run tools/setup.sh" >&2; exit 1; }
mkdir -p doc

inner=$(mktemp)
trap 'rm -f "$inner"' EXIT
cat >"$inner" <<'INNER'
set -euo pipefail
program=$1
shots=$(mktemp -d)
"$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$shots"' EXIT

xdotool search --sync --onlyvisible --name 'Velmora' >/dev/null
sleep 1
# "        File       " is the first entry of the menu bar; its first command is Start.
xdotool mousemove 40 9 click 1
sleep 0.5
xdotool key Down Return
xdotool mousemove 1279 799

# The picture is complete when the screen stops changing.
previous=""
for _ in $(seq 1 120); do
    sleep 1
    import -window root "$shots/now.png"
    current=$(md5sum <"$shots/now.png")
    [ "$current" = "$previous" ] && break
    previous=$current
done
[ "$current" = "$previous" ] || { echo "the picture did not complete" >&2; exit 1; }
cp "$shots/now.png" doc/screenshot.png
INNER

xvfb-run -a -s '-screen 0 1280x800x24' bash "$inner" "$program"
echo "wrote doc/screenshot.png"
