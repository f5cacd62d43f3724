#!/usr/bin/env bash
# Sets up a fresh machine, builds and starts Velmora (tools/start.sh explorer: Velmora Explorer).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh
[ "${1:-}" = explorer ] && shift && exec build/explorer/velmora-explorer "$@"
exec build/app/velmora "$@"
