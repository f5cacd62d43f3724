#!/usr/bin/env bash
# Runs the tests labelled "permissions" once more as the user nobody, so that the rules which hold
# only for a user without privileges (another user's file in a sticky folder, ownership kept)
# run too when the suite runs as the superuser, as in CI. Each test gets a fresh home of its own.
# Usage (as root): tools/test-as-user.sh [BUILD_DIR]   (default build/)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
[ "$(id -u)" -eq 0 ] || { echo "run as root: as a normal user the suite itself runs unprivileged" >&2; exit 2; }

# nobody must reach the tests and the sources they read; search permission is enough.
for dir in "$build" "$PWD"; do
    while [ "$dir" != / ]; do
        setpriv --reuid=nobody --regid=nogroup --clear-groups test -x "$dir" || chmod o+x "$dir"
        dir=$(dirname "$dir")
    done
done

homes=$(mktemp -d)
trap 'rm -rf "$homes"' EXIT
chmod 755 "$homes"
ctest --test-dir "$build" -L permissions --show-only=json-v1 >"$homes/tests.json"
/usr/bin/python3 - "$homes" <<'PY'
import json, os, subprocess, sys, time

homes = sys.argv[1]
tests = json.load(open(os.path.join(homes, "tests.json")))["tests"]
failed = []
for test in tests:
    props = {p["name"]: p["value"] for p in test.get("properties", [])}
    env = {k: v for k, v in os.environ.items() if k in ("PATH", "LANG", "LC_ALL", "ASAN_OPTIONS",
                                                       "LSAN_OPTIONS", "UBSAN_OPTIONS")}
    home = os.path.join(homes, test["name"])
    for entry in props.get("ENVIRONMENT", []):
        name, _, value = entry.partition("=")
        env[name] = value
    old_home = env.get("HOME")
    for name, value in list(env.items()):
        if old_home and value.startswith(old_home):
            env[name] = home + value[len(old_home):]
    for sub in ("config", "data", "cache", "state", "runtime"):
        os.makedirs(os.path.join(home, sub), mode=0o700, exist_ok=True)
    subprocess.run(["chown", "-R", "nobody:nogroup", home], check=True)
    started = time.monotonic()
    result = subprocess.run(["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups",
                             *test["command"]], env=env, cwd=home, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, timeout=600)
    seconds = time.monotonic() - started
    verdict = "Passed" if result.returncode == 0 else "***Failed"
    print(f"as nobody: {test['name']:<30} {verdict} {seconds:6.2f} s")
    if result.returncode != 0:
        sys.stdout.write(result.stdout.decode(errors="replace"))
        failed.append(test["name"])
if not tests:
    sys.exit("no test is labelled permissions")
if failed:
    sys.exit("failed as nobody: " + " ".join(failed))
PY
