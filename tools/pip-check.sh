#!/usr/bin/env bash
# Installs the Python module as its page describes: pip install --no-build-isolation . into a
# fresh virtual environment that sees Debian's packages, with no package registry; then imports
# it there, away from the source and build folders, and computes the default picture.
set -euo pipefail
cd "$(dirname "$0")/.."
python=${PYTHON:-/usr/bin/python3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$python" -m venv --system-site-packages "$work/venv"
PIP_NO_INDEX=1 "$work/venv/bin/pip" install --quiet --no-build-isolation .
cd "$work"
"$work/venv/bin/python" - <<'PY'
import sys
import velmora

assert velmora.__file__.startswith(sys.prefix), velmora.__file__
shape = velmora.basins(velmora.Parameters()).outcome.shape
assert shape == (80, 100), shape
print("pip-check: velmora imported from", velmora.__file__)
PY
# mypy, Debian's, finds the installed package's types.
printf 'import velmora\nn: int = velmora.basins(velmora.Parameters()).kernel\n' >typed.py
found=$("$work/venv/bin/python" -m mypy --no-incremental typed.py || true)
grep -q 'typed.py:2: error: Incompatible types' <<<"$found" ||
    { echo "pip-check: mypy did not find the package's types: $found" >&2; exit 1; }
