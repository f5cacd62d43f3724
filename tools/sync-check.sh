#!/usr/bin/env bash
# Whether velmora-render syncs the folder once it has put the new file in place, so that a power
# loss cannot lose the new name: under strace, a folder's fsync follows the rename.
# Usage: tools/sync-check.sh BUILD/render/velmora-render (needs strace)
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf old >"$work/a.png"
strace -f -y -e trace=rename,renameat,renameat2,fsync -o "$work/trace" \
    "${1:?the path of velmora-render}" --picture 4x4 "$work/a.png" >/dev/null
if sed -n '/rename/,$p' "$work/trace" | grep -q "fsync([0-9]*<$work>)"; then
    echo "the folder is synced after the rename"
else
    echo "the folder is not synced after the rename" >&2
    exit 1
fi
