#!/usr/bin/env bash
# Builds the Debian package from BUILD_DIR (default build/), installs it on this machine, checks
# the installed programs, desktop entry, metadata, icons and manual page, and removes the package
# again, also when a check fails. Installs and removes through sudo when not root. Refuses to run
# while a velmora package is installed already: that copy is the user's, and it stays.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

fail() {
    echo "package-check: $*" >&2
    exit 1
}

# Runs a validator and fails on any error or warning it prints, not only on its exit status.
validate() {
    local pattern=$1 output
    shift
    output=$("$@" 2>&1) || fail "$* failed: $output"
    if grep -Eq "$pattern" <<<"$output"; then
        fail "$* warns: $output"
    fi
    [ -z "$output" ] || echo "$output"
}

if dpkg-query -W -f='${Status}' velmora 2>/dev/null | grep -q 'ok installed'; then
    fail "velmora is installed on this machine; remove it first (${sudo:+$sudo }apt remove velmora), as this check installs and removes its own copy"
fi

installed=0
work=$(mktemp -d)
cleanup() {
    local status=$?
    if [ "$installed" = 1 ]; then
        $sudo env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq velmora >/dev/null ||
            { echo "package-check: could not remove velmora" >&2; status=1; }
    fi
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

tools/setup.sh
BUILD_DIR=$build_dir tools/build.sh >/dev/null
cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$work" >/dev/null
debs=("$work"/velmora_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no velmora_*.deb"
deb=${debs[0]}
echo "package-check: $(basename "$deb")"
depends=$(dpkg-deb -f "$deb" Depends)
grep -q 'libqt6gui6' <<<"$depends" || fail "no dependencies computed from the binaries"
# The window's captions are laid out for Arial's metrics, which Liberation Sans has.
grep -q 'fonts-liberation2 | fonts-liberation' <<<"$depends" || fail "no dependency on Liberation Sans"
programs=$(dpkg-deb -c "$deb" | awk '$6 ~ /^\.\/usr\/bin\/./ {print $6}' | sort | tr '\n' ' ')
[ "$programs" = "./usr/bin/velmora ./usr/bin/velmora-explorer ./usr/bin/velmora-render " ] ||
    fail "the package's programs are $programs"

chmod 755 "$work" # apt's download user reads the package from here
installed=1
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null

help=$(/usr/bin/velmora-render --help) || fail "velmora-render --help failed"
grep -q '^Usage: ' <<<"$help" || fail "velmora-render --help printed no usage"
mkdir "$work/render"
(cd "$work/render" && /usr/bin/velmora-render --client 200x150 --picture 20x10 small.bmp) ||
    fail "the installed velmora-render failed"
picture=$work/render/small.bmp
[ -f "$picture" ] || fail "velmora-render wrote no file"
[ "$(head -c 2 "$picture")" = BM ] && [ "$(stat -c %s "$picture")" -eq $((54 + 200 * 150 * 3)) ] ||
    fail "velmora-render did not write a 200 x 150 bitmap"
# Debian's python3 imports the package and computes the default picture.
found=$(cd "$work" && env -u PYTHONPATH /usr/bin/python3 -c \
    'import velmora; print(velmora.__file__, velmora.basins(velmora.Parameters()).outcome.shape)') ||
    fail "python3 could not import velmora or compute with it"
[ "$found" = "/usr/lib/python3/dist-packages/velmora/__init__.py (80, 100)" ] ||
    fail "python3 found velmora as $found"
# The window starts and keeps running until it is ended.
status=0
timeout 3 env QT_QPA_PLATFORM=offscreen /usr/bin/velmora >/dev/null 2>&1 || status=$?
[ "$status" -eq 124 ] || fail "the installed velmora ended with status $status at start"
status=0
timeout 3 env QT_QPA_PLATFORM=offscreen HOME="$work" /usr/bin/velmora-explorer >/dev/null 2>&1 ||
    status=$?
[ "$status" -eq 124 ] || fail "the installed velmora-explorer ended with status $status at start"

files=$(dpkg -L velmora)
desktops=$(grep '^/usr/share/applications/.*\.desktop$' <<<"$files") || fail "no desktop entry"
[ "$(wc -l <<<"$desktops")" -eq 2 ] || fail "the desktop entries are $desktops"
for desktop in $desktops; do
    id=$(basename "$desktop" .desktop)
    metainfo=/usr/share/metainfo/$id.metainfo.xml
    [ -f "$metainfo" ] || fail "no metadata for $id"
    validate ': (error|warning): ' desktop-file-validate "$desktop"
    validate '^[EW]: ' appstreamcli validate --no-net "$metainfo"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
        fail "the metadata does not launch $id.desktop"
    grep -qx "Icon=$id" "$desktop" || fail "the desktop entry's icon is not $id"
    for size in 32 64 128 256; do
        [ -f "/usr/share/icons/hicolor/${size}x${size}/apps/$id.png" ] || fail "no $size pixel icon"
    done
done
grep -qx 'Name=Velmora Explorer' $desktops || fail "no desktop entry named Velmora Explorer"
page=/usr/share/man/man1/velmora-render.1.gz
zgrep -q '^\.SH EXAMPLES' "$page" && zgrep -q 'client' "$page" || fail "$page lacks options or examples"
explorer_page=/usr/share/man/man1/velmora-explorer.1.gz
zgrep -q 'view\\-file' "$explorer_page" || fail "$explorer_page lacks the view files"
if command -v man >/dev/null; then
    for p in "$page" "$explorer_page"; do
        warnings=$(MANWIDTH=80 man --warnings -l "$p" 2>&1 >/dev/null) || fail "man -l $p"
        [ -z "$warnings" ] || fail "man -l $p warns: $warnings"
    done
fi
echo "package-check: every check passed; removing the package"
