#!/usr/bin/env bash
# Runs the Python of doc/python.md as written, block after block as in a notebook, with the module
# of BUILD_DIR (default build/), in doc/python/, and so draws doc/python/basins.png again. Needs matplotlib
# (python3-matplotlib).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$(realpath "${BUILD_DIR:-build}")
code=$(awk '/^```python$/ {inside = 1; next} /^```$/ {inside = 0} inside' doc/python.md)
cd doc/python
PYTHONPATH="$build_dir/python" MPLBACKEND=Agg /usr/bin/python3 -c "$code"
