#!/usr/bin/env bash
# Sets up a fresh machine, builds and starts Velmora.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh
exec build/app/velmora "$@"
