#!/usr/bin/env bash
# Sets up a fresh machine, builds and runs the whole test suite.
# SANITIZE=1 builds into build-sanitize/ with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
if [ "${SANITIZE:-0}" = 1 ]; then
    export BUILD_DIR=build-sanitize
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
    export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    tools/build.sh -DVELMORA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
else
    export BUILD_DIR=build
    tools/build.sh
fi
ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$(nproc)"
