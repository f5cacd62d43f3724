#!/usr/bin/env bash
# Sets up a fresh machine, builds the window's program (nothing else) and starts it; with
# 'explorer' first, Velmora Explorer instead. Other arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
# Qt ends in an abort without a display; say what is needed before anything is built.
asks=" $* "
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ] &&
    [[ $asks != *" --help "* && $asks != *" -h "* && $asks != *" --version "* ]]; then
    echo "start.sh: the window needs a display: run it in an X11 or Wayland session, or as xvfb-run tools/start.sh" >&2
    exit 1
fi
tools/setup.sh
# A configured tree reconfigures itself when it needs to.
[ -f "$build_dir/CMakeCache.txt" ] || cmake -S . -B "$build_dir" >/dev/null
target=velmora program=app/velmora
if [ "${1:-}" = explorer ]; then
    shift
    target=velmora-explorer program=explorer/velmora-explorer
fi
cmake --build "$build_dir" -j"$(nproc)" --target "$target"
exec "$build_dir/$program" "$@"
